#include "framework/ppPrintingAbortDialog.h"

#include "foundation/LocaleNumbers.h"
#include "foundation/TextsById.h"
#include "framework/ppDialog.h"
#include "platform/Controls.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {
// The one dialog's window went with the desktop; forget it and any abort the user asked for.
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("printing abort dialog", [] { ppPrintingAbortDialog::Instance().Close(); });
}  // namespace

ppPrintingAbortDialog& ppPrintingAbortDialog::Instance() {
  static ppPrintingAbortDialog dialog;
  return dialog;
}

void ppPrintingAbortDialog::Open(HWND owner, const Vcon::WString& title) {
  userAbort_ = false;
  owner_ = owner;
  window_ = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(kTemplate), owner, Proc, 0);
  Vcon::WString message(u"Printing");
  GetTextById(kPrintingText, message);
  message += u" ";
  message += title;
  SetMessage(message);
  Vcon::WString caption(u"Print");
  GetTextById(kCaptionText, caption);
  if (window_) SetWindowTextW(window_, caption.c_str());
  if (owner_) EnableWindow(owner_, 0);
}

void ppPrintingAbortDialog::SetMessage(const Vcon::WString& text) {
  if (!window_) return;
  if (IsWidePlatform()) {
    SetDlgItemTextW(window_, kMessageItem, text.c_str());
  } else {
    SetDlgItemTextA(window_, kMessageItem, text.Narrow().c_str());
  }
}

void ppPrintingAbortDialog::Close() {
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
  userAbort_ = false;
  if (owner_) EnableWindow(owner_, 1);
}

INT_PTR ppPrintingAbortDialog::Proc(HWND dialog, UINT message, WPARAM, LPARAM) {
  ppPrintingAbortDialog& self = Instance();
  if (message == WM_INITDIALOG) {
    ppDialog::CenterOn(dialog, self.owner_);
    return 1;
  }
  if (message == WM_COMMAND) {
    self.userAbort_ = true;
    return 1;
  }
  return 0;
}

BOOL ppPrintingAbortDialog::AbortProc(HDC, int32_t) {
  ppPrintingAbortDialog& self = Instance();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (self.window_ && IsDialogMessageA(self.window_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return self.userAbort_ ? 0 : 1;
}
