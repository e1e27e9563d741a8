#include "controls/ppGridEditField.h"

#include "controls/ppValidator.h"
#include "platform/Controls.h"
#include "platform/WindowApi.h"

namespace {

// The edit control's own procedure, kept on the control.
constexpr const char* kPreviousProc = "grideditproc";

}  // namespace

ppGridEditField::ppGridEditField(ppView* panel, ppDataUnit* unit, ppValidator* validator)
    : ppEditTextField(panel, unit, std::string(), 1, false), validator_(validator) {
  if (plat::HWND edit = EditControl()) {
    const auto previous =
        plat::SetWindowLongPtrA(edit, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(&EditProc));
    plat::SetPropA(edit, kPreviousProc, reinterpret_cast<void*>(previous));
  }
}

plat::LRESULT ppGridEditField::EditProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                        plat::LPARAM lParam) {
  auto previous = reinterpret_cast<plat::WNDPROC>(plat::GetPropA(window, kPreviousProc));
  if (previous == nullptr) return plat::DefWindowProcA(window, message, wParam, lParam);
  if (message == plat::WM_NCDESTROY) {
    plat::RemovePropA(window, kPreviousProc);
    plat::SetWindowLongPtrA(window, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(previous));
    return plat::CallWindowProcA(previous, window, message, wParam, lParam);
  }
  plat::LRESULT result = plat::CallWindowProcA(previous, window, message, wParam, lParam);
  if (message == plat::WM_GETDLGCODE) {
    const auto* msg = reinterpret_cast<const plat::MSG*>(lParam);
    if (msg != nullptr && msg->message == plat::WM_KEYDOWN &&
        (msg->wParam == plat::VK_TAB || msg->wParam == plat::VK_RETURN))
      result |= plat::DLGC_WANTALLKEYS;
  }
  return result;
}

bool ppGridEditField::CommitInput() {
  if (!IsEdited()) return true;
  if (validator_ == nullptr) return ppEditTextField::CommitInput();
  // The pick list a validator opens takes the focus; that loss must not validate a second time.
  if (committing_ || losingFocus_) return true;
  committing_ = true;
  ppParameter value = GetControlValue();
  const bool accepted = validator_->Validate(value, this);
  if (accepted) {
    ShowValue(value);
    ppEditTextField::CommitInput();
  } else if (EditControl() != nullptr && plat::GetFocus() != EditControl()) {
    // A cancelled pick list handed the focus back to its owner window: the user goes on typing here.
    plat::SetFocus(EditControl());
  }
  committing_ = false;
  return accepted;
}

void ppGridEditField::LoseFocus() {
  losingFocus_ = true;
  ppEditTextField::LoseFocus();
  losingFocus_ = false;
}
