#include "framework/ToolTipControl.h"

#include "foundation/ProcessServices.h"
#include "foundation/ResourceAccess.h"
#include "foundation/TextsById.h"
#include "framework/ppView.h"
#include "platform/ResetList.h"
#include "platform/Tooltip.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {

// The document window's control (user-interface thread); not owned.
ToolTipControl* gDocumentTips = nullptr;
[[maybe_unused]] const bool kReset = ResetList::Add("document tool tips", [] { gDocumentTips = nullptr; });

HINSTANCE ApplicationInstance() { return static_cast<HINSTANCE>(const_cast<void*>(gInstance)); }

template <class Char>
ToolInfoOf<Char> ToolRecord(ppView* view, int32_t id) {
  ToolInfoOf<Char> info;
  info.cbSize = kToolInfoSize;
  info.uFlags = 0;
  info.hwnd = view ? view->GetHWND() : nullptr;
  info.uId = static_cast<uintptr_t>(id);
  return info;
}

}  // namespace

ToolTipControl::ToolTipControl(ppView* owner) {
  RegisterToolTipClass();
  HWND parent = owner ? owner->GetHWND() : nullptr;
  window_ = CreateWindowExA(0, kToolTipClass, nullptr, 0, 0, 0, 0, 0, parent, nullptr, ApplicationInstance(),
                            nullptr);
}

ToolTipControl::~ToolTipControl() {
  if (gDocumentTips == this) gDocumentTips = nullptr;
  if (IsWindow(window_)) DestroyWindow(window_);
}

// Texts go through the wide message: this program always runs on the wide-character platform.
void ToolTipControl::AddTool(ppView* view, int32_t id, const RECT& rect, const Vcon::WString& text) {
  if (!IsWindow(window_)) return;
  TOOLINFOW info = ToolRecord<char16_t>(view, id);
  info.rect = rect;
  Vcon::WString copy = text;  // the record takes a writable pointer
  info.lpszText = copy.data();
  SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTipControl::AddToolByTextId(ppView* view, int32_t id, const RECT& rect, int32_t list, int32_t index,
                                     int32_t textId) {
  Vcon::WString text;
  if (!GetTextById(textId, text)) GetStringArrayText(text, static_cast<uint16_t>(list), index);
  AddTool(view, id, rect, text);
}

void ToolTipControl::RemoveTool(ppView* view, int32_t id) {
  if (!IsWindow(window_)) return;
  TOOLINFOA info = ToolRecord<char>(view, id);
  SendMessageA(window_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTipControl::RelayEvent(MSG* msg) {
  if (IsWindow(window_)) SendMessageA(window_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

ToolTipControl* ToolTipControl::DocumentTips() { return gDocumentTips; }

void ToolTipControl::SetDocumentTips(ToolTipControl* tips) { gDocumentTips = tips; }
