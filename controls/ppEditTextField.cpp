#include "controls/ppEditTextField.h"

#include <vector>

#include "controls/ControlsDrawing.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/ProcessServices.h"
#include "framework/FontCache.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppDC.h"
#include "framework/ppFrameAdorner.h"
#include "framework/ppRegion.h"
#include "platform/Controls.h"
#include "platform/Cursors.h"
#include "platform/Gdi.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

constexpr int32_t kFramePicture = 1100;
// The windows are made this high and take their real height at the first layout, pixels.
constexpr int32_t kInitialHeight = 120;
constexpr UINT kUtf16 = 1200;
// The edit control's own procedure, kept on the control.
constexpr const char* kPreviousProc = "textfield.editproc";
// Application colours of the caption band and the value area, focused and not.
constexpr int32_t kCaptionFillFocused = 1000, kCaptionTextFocused = 1001;
constexpr int32_t kCaptionFill = 1002, kCaptionText = 1003;
constexpr int32_t kValueFillFocused = 1004, kValueTextFocused = 1005;
constexpr int32_t kValueFill = 1006, kValueText = 1007;

HINSTANCE Instance() { return static_cast<HINSTANCE>(const_cast<void*>(gInstance)); }

// Registered again after a desktop reset forgot it.
void RegisterTextFieldClass() {
  WNDCLASSA info;
  if (GetClassInfoA(Instance(), ppEditTextField::kClassName, &info)) return;
  info = WNDCLASSA{};
  info.lpfnWndProc = ppEditTextField::TextFieldWndProc;
  info.hInstance = Instance();
  info.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_ARROW));
  info.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  info.lpszClassName = ppEditTextField::kClassName;
  RegisterClassA(&info);
}

bool ControlHeld() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

COLORREF Ref(const ppRGBColor& bytes) {
  return RGB(uint8_t(bytes.red), uint8_t(bytes.green), uint8_t(bytes.blue));
}

}  // namespace

ppEditTextField::ppEditTextField(ppView* parent, ppDataUnit* unit, const std::string& names,
                                 int32_t lineCount, bool framed)
    : ppInputField(parent, unit, names), lineCount_(lineCount) {
  RegisterTextFieldClass();
  plat::RECT frame{0, 0, 0, 0};
  if (parent != nullptr) parent->GetWindowFrame(&frame);
  SetFrame(frame);
  const int32_t width = frame.right - frame.left;
  HWND host = parent != nullptr ? parent->GetHWND() : nullptr;
  container_ = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_TABSTOP, frame.left, frame.top, width,
                               kInitialHeight, host, reinterpret_cast<HMENU>(1), Instance(), this);
  const DWORD style = lineCount == 1 ? WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL
                                     : WS_CHILD | ES_WANTRETURN | ES_AUTOVSCROLL | ES_MULTILINE;
  if (container_ != nullptr) {
    edit_ = CreateWindowExA(0, "RichEdit20A", "", style, 0, 0, width, kInitialHeight, container_,
                            reinterpret_cast<HMENU>(1), Instance(), nullptr);
  }
  if (IsWidePlatform()) SendMessageA(edit_, CCM_SETUNICODEFORMAT, 1, 0);
  ShowWindow(edit_, SW_HIDE);
  ShowWindow(container_, SW_HIDE);
  if (container_ != nullptr) SetPropA(container_, kProperty, this);
  font_ = GetCachedFont(kDefaultFaceName, controls::kDefaultFontHeight, 0, 0.0f);
  SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
  SendMessageA(edit_, EM_SETEVENTMASK, 0, ENM_KEYEVENTS);
  if (edit_ != nullptr) {
    const auto previous = SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditProc));
    SetPropA(edit_, kPreviousProc, reinterpret_cast<void*>(previous));
  }
  AddFocusable(this);
  SendMessageA(edit_, EM_EXLIMITTEXT, 0, 0);
  if (framed) {
    // Owned by the view; drawn unclipped, as it reaches over the caption band's edge.
    auto* adorner = new ppFrameAdorner(this, kFramePicture, ppFrameAdorner::kInside);
    adorner->SetUnclipped(true);
  }
}

ppEditTextField::~ppEditTextField() {
  // The container's procedure must not reach a half-destroyed field.
  if (container_ != nullptr && IsWindow(container_)) RemovePropA(container_, kProperty);
  if (edit_ != nullptr && IsWindow(edit_)) DestroyWindow(edit_);
  if (container_ != nullptr && IsWindow(container_)) DestroyWindow(container_);
}

// ---- Control operations.

void ppEditTextField::SetMaxLength(int32_t length) {
  maxLength_ = length;
  SendMessageA(edit_, EM_EXLIMITTEXT, 0, length);
}

void ppEditTextField::MakeEditable() { SendMessageA(edit_, EM_SETREADONLY, 0, -1); }
void ppEditTextField::MakeReadOnly() { SendMessageA(edit_, EM_SETREADONLY, 1, -1); }
void ppEditTextField::SetPasswordMode() { SendMessageA(edit_, EM_SETPASSWORDCHAR, '*', 0); }
void ppEditTextField::SelectAllNoScroll() { SendMessageA(edit_, EM_SETSEL, 0, -1); }

Vcon::WString ppEditTextField::GetControlText() {
  if (edit_ == nullptr) return {};
  GETTEXTLENGTHEX length;
  length.flags = GTL_NUMBYTES;
  length.codepage = kUtf16;
  const auto bytes = DWORD(SendMessageA(edit_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
  std::vector<char16_t> buffer(bytes / 2 + 2, 0);
  GETTEXTEX how;
  how.cb = DWORD(buffer.size() * 2);
  how.flags = GT_DEFAULT;
  how.codepage = kUtf16;
  SendMessageA(edit_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(buffer.data()));
  return Vcon::WString(buffer.data());
}

ppParameter ppEditTextField::GetControlValue() { return ppParameter(GetControlText()); }

void ppEditTextField::SetControlText(const Vcon::WString& text) {
  if (edit_ == nullptr) return;
  SendMessageA(edit_, EM_SETSEL, 0, -1);
  SETTEXTEX how;
  how.flags = ST_SELECTION;
  how.codepage = kUtf16;
  const std::u16string wide(text);
  SendMessageA(edit_, CCM_SETUNICODEFORMAT, 1, 0);
  SendMessageA(edit_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(wide.c_str()));
  SendMessageA(edit_, CCM_SETUNICODEFORMAT, 1, 0);
  SendMessageA(edit_, EM_SETSEL, 0, -1);
}

void ppEditTextField::ShowValue(const ppParameter& value) {
  // A property without a value shows an empty field, not the parameter's name of its empty type.
  if (value.Type() == ppParameter::kNone) {
    SetControlText({});
    return;
  }
  SetControlText(value.ToWString(-1, -1, 0, 0, ",.", 0));
}

// ---- Input.

bool ppEditTextField::CommitInput() {
  if (!edited_) return true;
  const ppParameter value = GetControlValue();
  // Cleared first: the write may redraw the field, which must show the new value.
  edited_ = false;
  SetValue(value);
  return true;
}

void ppEditTextField::TakeFocus() {
  focused_ = true;
  ppInputField::TakeFocus();
  SendMessageA(edit_, EM_SETSEL, 0, -1);
  if (edit_ != nullptr && GetFocus() != edit_) SetFocus(edit_);
  Invalidate();
}

void ppEditTextField::LoseFocus() {
  CommitInput();
  focused_ = false;
  ppInputField::LoseFocus();
  if (edit_ != nullptr && GetFocus() == edit_) SetFocus(nullptr);
  Invalidate();
}

bool ppEditTextField::IsDoubleClick(int32_t, int32_t) {
  if (edit_ != nullptr) SetFocus(edit_);
  return false;
}

LRESULT ppEditTextField::FilterKey(int32_t key) {
  if ((key == VK_RETURN && !ControlHeld()) || key == VK_TAB) {
    Invalidate();
    if (CommitInput()) {
      if (auto* supervisor = dynamic_cast<ppField*>(GetSupervisor())) {
        if (IsShiftKeyDown()) {
          supervisor->FocusPrevious(this);
        } else {
          supervisor->FocusNext(this);
        }
      }
    }
    return 1;
  }
  const bool printable =
      key >= 0x20 && key <= 0x7F && !(key >= VK_LEFT && key <= VK_LEFT + 3) && key != VK_DELETE;
  if (printable && maxLength_ > 0 && int32_t(GetControlText().size()) >= maxLength_) {
    MessageBeep(0xFFFFFFFF);  // the simple beep
    return 1;
  }
  edited_ = true;
  return 0;
}

bool ppEditTextField::KeepsInDialog(int32_t key) const { return key == VK_TAB; }

LRESULT ppEditTextField::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProc));
  if (previous == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    RemovePropA(window, kPreviousProc);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    return CallWindowProcA(previous, window, message, wParam, lParam);
  }
  LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
  if (message == WM_GETDLGCODE) {
    // The field is the container's; a field being destroyed has left it.
    const auto* field = static_cast<const ppEditTextField*>(GetPropA(GetParent(window), kProperty));
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (field != nullptr && msg != nullptr && msg->message == WM_KEYDOWN &&
        field->KeepsInDialog(int32_t(msg->wParam)))
      result |= DLGC_WANTALLKEYS;
  }
  return result;
}

LRESULT ppEditTextField::FilterChar(WPARAM character) {
  if (character == '\r' || character == '\t') return 1;
  // The character of a key refused at the maximum length: its key-down beeped already, and the
  // control would beep a second time.
  if (character >= 0x20 && maxLength_ > 0 && int32_t(GetControlText().size()) >= maxLength_) return 1;
  return 0;
}

LRESULT ppEditTextField::TextFieldWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* field = static_cast<ppEditTextField*>(GetPropA(window, kProperty));
  if (field == nullptr || message == WM_CREATE) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_DESTROY:
      RemovePropA(window, kProperty);
      break;
    case WM_NOTIFY: {
      const auto* filter = reinterpret_cast<const MSGFILTER*>(lParam);
      if (filter == nullptr || filter->nmhdr.code != EN_MSGFILTER) break;
      if (filter->msg == WM_CHAR) return field->FilterChar(filter->wParam);
      if (filter->msg == WM_KEYDOWN) return field->FilterKey(int32_t(filter->wParam & 0xFF));
      break;
    }
    case WM_CHAR:
      if (wParam == '\t') break;
      field->CommitInput();
      return 1;
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_SETFOCUS) {
        field->SetFocusTo(field);
        field->TakeFocus();
      } else if (HIWORD(wParam) == EN_KILLFOCUS) {
        field->LoseFocus();
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// ---- Layout and showing.

void ppEditTextField::MoveContainer(const plat::RECT& area) {
  const int32_t width = area.right - area.left, height = area.bottom - area.top;
  MoveWindow(container_, area.left, area.top, width, height, 0);
  MoveWindow(edit_, 0, 0, width, height, 0);
}

plat::RECT ppEditTextField::ValueArea() {
  plat::RECT w;
  GetWindowFrame(&w);
  const int32_t c = CaptionColumn();
  return {w.left + c + 2, w.top + 2, w.right - 2, w.bottom - 2};
}

int32_t ppEditTextField::LayoutAt(int32_t top) {
  if (!IsShown()) return top;
  plat::RECT r{};
  GetPanelFrame(&r);
  r.top = top + margins_[1];
  r.bottom = r.top + kLineHeight * lineCount_ + 4;
  r.left += margins_[0];
  r.right -= margins_[2];
  SetFrame(r);
  const plat::RECT area = ValueArea();
  MoveContainer(area);
  Invalidate();
  return top + margins_[1] + (area.bottom - area.top) + margins_[3] + 4;
}

void ppEditTextField::SupervisorResized(int32_t dx, int32_t dy) {
  // The container's own visibility: a field shown inside a window that is not on screen yet (a
  // dialog being built) must stay shown.
  const bool visible = container_ != nullptr && (GetWindowLongPtrA(container_, GWL_STYLE) & WS_VISIBLE) != 0;
  ShowWindow(container_, SW_HIDE);
  ppInputField::SupervisorResized(dx, dy);
  // The container goes where the layout puts it, inside the frame's 2-pixel border, so that it never
  // covers the frame picture or the caption band's edge.
  MoveContainer(ValueArea());
  if (visible) ShowWindow(container_, SW_SHOW);
}

void ppEditTextField::Show() {
  ShowWindow(container_, SW_SHOW);
  ShowWindow(edit_, SW_SHOW);
  ppInputField::Show();
  SupervisorResized(0, 0);
}

void ppEditTextField::Hide() {
  // Hiding the panel drops what was typed; it is not committed.
  edited_ = false;
  ShowWindow(edit_, SW_HIDE);
  ShowWindow(container_, SW_HIDE);
  ppInputField::Hide();
}

// ---- Drawing.

void ppEditTextField::DrawContent(ppDC& dc) {
  if (!IsShown()) return;
  // Text typed and not yet committed stays in the control; the value comes back after the commit.
  if (!edited_) ShowValue(GetValue());
  std::unique_ptr<ppRegion> savedClip = dc.GetClipRegion();
  {
    ppBrushSaver brushes(dc);
    if (ppView* supervisor = GetSupervisor()) {
      plat::RECT clip;
      supervisor->GetWindowFrame(&clip);
      dc.ClipToRect(clip);
    }
    dc.SetNormalPen();
    plat::RECT frame;
    GetWindowFrame(&frame);
    const int32_t c = CaptionColumn();
    const int32_t bandLeft = frame.left + CaptionIndent();
    const plat::RECT band{bandLeft, frame.top, bandLeft + c, frame.bottom + 1};
    dc.SetColorBytes(controls::ApplicationColor(focused_ ? kCaptionFillFocused : kCaptionFill));
    dc.FillRect(band);
    const plat::RECT caption{band.left + 4, frame.top + 2, band.right, frame.bottom};
    controls::DrawDefaultText(dc, Caption(), caption,
                              controls::ApplicationColor(focused_ ? kCaptionTextFocused : kCaptionText));
    const ppRGBColor back = controls::ApplicationColor(focused_ ? kValueFillFocused : kValueFill);
    const ppRGBColor text = controls::ApplicationColor(focused_ ? kValueTextFocused : kValueText);
    dc.SetColorBytes(back);
    dc.FillRect({frame.left + c - 1, frame.top, frame.right, frame.bottom});
    SendMessageA(edit_, EM_SETBKGNDCOLOR, 0, LPARAM(Ref(back)));
    CHARFORMATA format;
    format.dwMask = CFM_COLOR;
    format.crTextColor = Ref(text);
    SendMessageA(edit_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(edit_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  }
  dc.SetClipRegion(savedClip.get());
}
