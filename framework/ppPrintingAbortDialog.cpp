#include "framework/ppPrintingAbortDialog.h"

#include "foundation/LocaleNumbers.h"
#include "foundation/TextsById.h"
#include "framework/ppDialog.h"
#include "platform/Controls.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {
// The one dialog's window went with the desktop; forget it, any abort the user asked for and any
// close that waited for the job.
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("printing abort dialog", [] { ppPrintingAbortDialog::Instance().Reset(); });
// The top-level window `window` stands in: the frame of a document window.
HWND TopLevelOf(HWND window) {
  while (window && (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) && GetParent(window))
    window = GetParent(window);
  return window;
}

// Disables `window` when it is enabled; answers the window to enable again, or null.
HWND Hold(HWND window) {
  if (!window || !IsWindowEnabled(window)) return nullptr;
  EnableWindow(window, 0);
  return window;
}

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
  // The whole window is held, its frame's menus and keys too: a command run between two pages
  // (opening another plan, say) would change the document under the job.
  const HWND frame = TopLevelOf(owner_);
  heldFrame_ = frame != owner_ ? Hold(frame) : nullptr;
  heldOwner_ = Hold(owner_);
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
  // The window is enabled before the dialog goes, so that it takes the activation and the keys back.
  if (heldOwner_ && IsWindow(heldOwner_)) EnableWindow(heldOwner_, 1);
  if (heldFrame_ && IsWindow(heldFrame_)) EnableWindow(heldFrame_, 1);
  heldOwner_ = heldFrame_ = nullptr;
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
  userAbort_ = false;
}

void ppPrintingAbortDialog::Reset() {
  heldClose_ = heldOwner_ = heldFrame_ = nullptr;
  Close();
}

bool ppPrintingAbortDialog::HoldClose(HWND frame) {
  if (!window_ || !frame) return false;
  heldClose_ = frame;
  return true;
}

void ppPrintingAbortDialog::AskHeldClose() {
  const HWND held = heldClose_;
  heldClose_ = nullptr;
  // Posted: the job's caller returns to the program's loop before the close is weighed.
  if (held && IsWindow(held)) PostMessageW(held, WM_CLOSE, 0, 0);
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
    if (msg.message == WM_QUIT) {
      // The program is ending (its frame went, or the system asked it to stop): the job runs to
      // its end and the program's own loop, not this one, ends on the quit.
      PostQuitMessage(static_cast<int32_t>(msg.wParam));
      break;
    }
    if (self.window_ && IsDialogMessageA(self.window_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return self.userAbort_ ? 0 : 1;
}
