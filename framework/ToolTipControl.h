#pragma once
// A tool-tip control over one view's window: tools are rectangles of a view's window with a text,
// and mouse messages relayed to the control make it show the text of the tool under the resting
// pointer. The control window belongs to this object and is destroyed with it. Every operation on
// a control whose window is gone does nothing. User-interface thread only.

#include <cstdint>

#include "foundation/VconString.h"
#include "platform/WindowTypes.h"

class ppView;

class ToolTipControl {
 public:
  // A control whose parent is the owner's window.
  explicit ToolTipControl(ppView* owner);
  virtual ~ToolTipControl();
  ToolTipControl(const ToolTipControl&) = delete;
  ToolTipControl& operator=(const ToolTipControl&) = delete;

  // A tool `id` over `rect` (client pixels of the view's window) showing `text`.
  void AddTool(ppView* view, int32_t id, const plat::RECT& rect, const Vcon::WString& text);
  // The same with text `textId` in the current language, or string `index` of the string list
  // `list` when the language has no such text.
  void AddToolByTextId(ppView* view, int32_t id, const plat::RECT& rect, int32_t list, int32_t index,
                       int32_t textId);
  void RemoveTool(ppView* view, int32_t id);
  // Hands a mouse message to the control so that it can time and place its tip.
  void RelayEvent(plat::MSG* msg);

  plat::HWND Handle() const { return window_; }

  // The document window's control, with which the views of its editors register their tips; null
  // while there is none. Set by the document window (user-interface thread); not owned, and cleared
  // when that control goes.
  static ToolTipControl* DocumentTips();
  static void SetDocumentTips(ToolTipControl* tips);

 private:
  plat::HWND window_ = nullptr;
};
