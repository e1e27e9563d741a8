#include "controls/ppPopupSelector.h"

#include "controls/ChoicePicture.h"
#include "controls/ControlsDrawing.h"
#include "controls/ppPopupSelectorDialog.h"
#include "controls/ppTreeViewSelectorDialog.h"
#include "foundation/ProcessServices.h"
#include "foundation/TextReference.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppButton.h"
#include "framework/ppDC.h"
#include "framework/ppFrameAdorner.h"
#include "framework/ppSelectorQuery.h"
#include "platform/Cursors.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {

constexpr int32_t kFramePicture = 1100;
constexpr int32_t kCaptionFill = 1002, kCaptionText = 1003, kCaptionFillFocused = 1000,
                  kCaptionTextFocused = 1001;
constexpr int32_t kBoxFill = 1006, kBoxText = 1007, kBoxFillFocused = 1004, kBoxTextFocused = 1005;
constexpr int32_t kLargePictureMode = 5;
constexpr int32_t kDropCommand = ppButton::kPressedCommand;
constexpr int32_t kDropFocusOff = 5001;

HINSTANCE Instance() { return static_cast<HINSTANCE>(const_cast<void*>(gInstance)); }

// The value as text: numbers with the ",." format, text references in the current language.
Vcon::WString ColumnText(const ppParameter& value) {
  if (value.Type() == ppParameter::kNone) return {};
  return ResolveTextRef(Vcon::WString(value.ToString(-1, -1, 0, 0, ",.", 0)));
}

}  // namespace

ppPopupSelector::ppPopupSelector(ppView* supervisor, ppSelectorQuery* query, const Vcon::WString& caption,
                                 int32_t mode, bool captionAbove, bool notify, bool selectFirst,
                                 bool largePicture)
    : ppInputField(supervisor, query, std::string()),
      query_(query),
      listMode_(mode),
      captionAbove_(captionAbove),
      notify_(notify),
      selectFirst_(false),
      largePicture_(largePicture) {
  WNDCLASSA info;
  if (!GetClassInfoA(Instance(), kClassName, &info)) {
    info = WNDCLASSA();
    info.lpfnWndProc = &ppPopupSelector::Proc;
    info.hInstance = Instance();
    info.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_ARROW));
    info.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    info.lpszClassName = kClassName;
    RegisterClassA(&info);
  }
  captionOffset_ = captionAbove ? 15 : (mode == 1 ? -4 : 0);
  mode_ = largePicture ? kLargePictureMode : mode;
  if (query_ == nullptr || query_->GetItemCount() != 1) {
    const RECT frame{0, 0, 17, mode_ * 15 + 8 + captionOffset_};
    int32_t picture = kButtonOther;
    if (mode_ == 1 && !captionAbove) {
      picture = kButtonOneLineLeft;
    } else if (mode_ == 2 && captionAbove) {
      picture = kButtonTwoLinesAbove;
    } else if (largePicture) {
      picture = kButtonLargePicture;
    }
    button_ = new ppButton(this, &frame, picture, kStay, kStay, ppButton::kPush);
  }
  SetText(caption, 0);
  SetFrame({0, 0, 0, 0});
  current_ = FindCurrent();
  fieldHeight_ = mode_ * 15 + 10 + captionOffset_;
  AddFocusable(this);
  RECT window{};
  GetWindowFrame(&window);
  keyWindow_ = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, window.left, window.top,
                               0, 0, ppView::GetHWND(), reinterpret_cast<HMENU>(1), Instance(), this);
  if (keyWindow_ != nullptr) SetPropA(keyWindow_, kProperty, this);
  // The frame is drawn whole, not clipped to its own region.
  (new ppFrameAdorner(this, kFramePicture, 0))->SetUnclipped(true);
  selectFirst_ = selectFirst;
}

ppPopupSelector::~ppPopupSelector() {
  DeletePopup();
  if (keyWindow_ != nullptr && IsWindow(keyWindow_)) {
    RemovePropA(keyWindow_, kProperty);
    DestroyWindow(keyWindow_);
  }
  keyWindow_ = nullptr;
}

void ppPopupSelector::DeletePopup() {
  ppSelectorDialog* popup = popup_;
  popup_ = nullptr;
  if (popup == nullptr) return;
  // Detached first: the pop-up's end reports nothing into this field.
  popup->DetachOwner();
  delete popup;
}

int32_t ppPopupSelector::FindCurrent() {
  if (query_ == nullptr) return -1;
  ppParameter value = GetValue();
  const int32_t count = query_->GetItemCount();
  for (int32_t i = 0; i < count; ++i) {
    ppParameter item;
    query_->GetColumn1(i, item);
    if (value.Type() != ppParameter::kNone && !Differ(item, value)) return i;
  }
  return -1;
}

int32_t ppPopupSelector::LayoutAt(int32_t y) {
  if (!IsShown()) return y;
  RECT panel{};
  GetPanelFrame(&panel);
  const int32_t* m = Margins();
  const RECT frame{panel.left + m[0], y + m[1], panel.right - m[2], y + m[1] + fieldHeight_};
  SetFrame(frame);
  if (button_ != nullptr) {
    const int32_t h = mode_ * 15 + 8 + captionOffset_;
    const int32_t dx = (frame.right - frame.left) - 19,
                  dy = (frame.bottom - frame.top) - (mode_ * 15 + 9) - captionOffset_;
    button_->SetFrame({dx, dy, dx + 17, dy + h});
  }
  if (keyWindow_ != nullptr) {
    RECT window{};
    GetWindowFrame(&window);
    MoveWindow(keyWindow_, window.left, window.top, 0, 0, 0);
  }
  return fieldHeight_ + y + m[3] + m[1];
}

void ppPopupSelector::TakeFocus() {
  if (button_ == nullptr) return;
  focused_ = true;
  if (keyWindow_ != nullptr) SetFocus(keyWindow_);
  Invalidate();
}

void ppPopupSelector::LoseFocus() {
  focused_ = false;
  Invalidate();
}

void ppPopupSelector::BecomeCurrent() {
  SetFocusTo(this);
  TakeFocus();
}

bool ppPopupSelector::IsDoubleClick(int32_t, int32_t) {
  if (button_ == nullptr || !focused_) return true;
  BusyScope busy(this);
  button_->SetState(ppButton::kPressed);
  DeletePopup();
  DoCommand(kDropCommand, reinterpret_cast<intptr_t>(button_));
  return true;
}

void ppPopupSelector::DoCommand(int32_t command, intptr_t parameter) {
  if (command == kDropCommand && button_ != nullptr && parameter == reinterpret_cast<intptr_t>(button_)) {
    BusyScope busy(this);
    button_->SetState(ppButton::kNormal);
    BecomeCurrent();
    OpenPopup();
  } else if (command == kDropFocusOff) {
    LoseFocus();
  }
}

void ppPopupSelector::OpenPopup() {
  HWND host = ppView::GetHWND();
  RECT outer{}, client{};
  GetWindowRect(host, &outer);
  GetClientRect(host, &client);
  const int32_t b = ((outer.right - outer.left) - client.right) / 2;
  const int32_t c = ((outer.bottom - outer.top) - client.bottom) - b - 4;
  RECT frame{};
  GetWindowFrame(&frame);
  RECT rect{frame.left + b, frame.bottom + c + b, frame.right - 2 + b, 0};
  rect.bottom = rect.top + kDropHeight;
  // The host's client bottom, measured from its outer top-left like the rectangle.
  POINT clientBottom{0, client.bottom};
  ClientToScreen(host, &clientBottom);
  popupLimit_ = clientBottom.y - outer.top;
  LoseFocus();
  const int32_t kind = largePicture_ ? 2 : (listMode_ > 1 ? 1 : 0);
  DeletePopup();
  ppSelectorDialog* popup = nullptr;
  if (!tree_) {
    popup = new ppPopupSelectorDialog(this, rect, query_, kind);
  } else {
    popup = new ppTreeViewSelectorDialog(this, rect, query_, listMode_ > 1);
  }
  popup_ = popup;
  popup->Show();
}

void ppPopupSelector::Step(int32_t step) {
  if (query_ == nullptr) return;
  const int32_t count = query_->GetItemCount();
  if (count <= 0) return;
  current_ = FindCurrent();
  int32_t next = current_ + step;
  if (step > 0 && next >= count) next = 0;
  if (step < 0 && next < 0) next = count - 1;
  ppParameter value;
  query_->GetColumn1(next, value);
  SetValue(value);
  current_ = next;
  Invalidate();
}

void ppPopupSelector::HandleKey(WPARAM key, bool alt) {
  BusyScope busy(this);
  if (key == VK_DOWN || key == VK_UP) {
    if (alt) {
      OpenPopup();
    } else {
      Step(key == VK_DOWN ? 1 : -1);
    }
  }
}

LRESULT ppPopupSelector::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<ppPopupSelector*>(GetPropA(window, kProperty));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_DESTROY:
      RemovePropA(window, kProperty);
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_CLICKACTIVE) self->TakeFocus();
      if (LOWORD(wParam) == WA_INACTIVE) self->LoseFocus();
      return 1;
    case WM_KILLFOCUS:
      self->LoseFocus();
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      const bool alt = message == WM_SYSKEYDOWN || GetKeyState(VK_MENU) < 0;
      if (wParam == VK_RETURN || wParam == VK_TAB) {
        // Return walks on as Tab does.
        if (GetKeyState(VK_SHIFT) < 0) {
          self->MoveToPrevious();
        } else {
          self->MoveToNext();
        }
        self->Invalidate();
        return 1;
      }
      self->HandleKey(wParam, alt);
      break;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == 4) self->LoseFocus();
      return 1;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void ppPopupSelector::DrawContent(ppDC& dc) {
  ppBrushSaver saved(dc);
  current_ = FindCurrent();
  int32_t shown = current_;
  const int32_t count = query_ != nullptr ? query_->GetItemCount() : 0;
  if (selectFirst_ && shown == -1 && count > 0) shown = 0;
  RECT frame{};
  GetWindowFrame(&frame);
  RECT box = frame;
  RECT captionArea = frame;
  if (!captionAbove_) {
    captionArea.right = frame.left + CaptionWidth() + 5;
    box.left = frame.left + CaptionWidth() + 5;
  }
  const ppRGBColor captionFill = controls::ApplicationColor(focused_ ? kCaptionFillFocused : kCaptionFill);
  const ppRGBColor captionText = controls::ApplicationColor(focused_ ? kCaptionTextFocused : kCaptionText);
  dc.SetColorBytes(captionFill);
  if (!captionAbove_) {
    dc.FillRect(captionArea);
    controls::DrawDefaultText(
        dc, Caption(),
        {captionArea.left + 5, captionArea.top + 3, captionArea.right + 5, captionArea.bottom + 3},
        captionText);
  } else {
    if (!focused_) dc.FillRect({box.left + 2, box.top + 2, box.right - 2, box.top + 2 + captionOffset_ + 2});
    controls::DrawDefaultText(dc, Caption(), {box.left + 5, box.top + 5 - 3, box.right - 5, box.bottom - 5},
                              captionText);
  }
  RECT valueArea = box;
  if (!captionAbove_) {
    valueArea.left = frame.left + CaptionWidth() + 4;
  } else {
    valueArea.top += captionOffset_;
  }
  dc.SetColorBytes(controls::ApplicationColor(focused_ ? kBoxFillFocused : kBoxFill));
  dc.FillRect(valueArea);
  RECT text = box;
  if (captionOffset_ > 0) text.top += captionOffset_;
  text = {text.left + 5, text.top + 5, text.right - 5, text.bottom - 5};
  if (shown >= 0 && query_ != nullptr && !hidePicture_) {
    ppParameter picture;
    query_->GetColumn4(shown, picture);
    RECT area = box;
    if (captionOffset_ > 0) area.top += captionOffset_;
    const int32_t right = controls::DrawChoicePicture(dc, picture, area, mode_ <= 1 ? 3 : 5, largePicture_);
    if (right != area.left) text.left = right + 10;
  }
  if (shown >= 0 && query_ != nullptr) {
    ppParameter first, second;
    query_->GetColumn2(shown, first);
    query_->GetColumn3(shown, second);
    const ppRGBColor ink = controls::ApplicationColor(focused_ ? kBoxTextFocused : kBoxText);
    if (mode_ == 1) {
      controls::DrawDefaultText(dc, ColumnText(first) + u" " + ColumnText(second),
                                {text.left, text.top + 2, text.right, text.bottom + 2}, ink);
    } else {
      controls::DrawDefaultText(dc, ColumnText(first), text, ink);
      controls::DrawDefaultText(dc, ColumnText(second),
                                {text.left, text.top + 18, text.right, text.bottom + 18}, ink);
    }
  }
  dc.SetNormalPen();
}
