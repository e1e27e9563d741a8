#pragma once
// The one "Printing" dialog of the program: shown modeless over the printing window while a job
// runs (which disables that window and its frame), with a message and a Cancel button. The job's abort
// procedure keeps the user interface alive between pages and stops the job once Cancel was pressed. A close
// of the program asked for while the job runs waits for the job's end, and a quit message the job's procedure
// meets is left for the program's own loop. User-interface thread only.

#include <cstdint>

#include "foundation/VconString.h"
#include "platform/Dialog.h"
#include "platform/WindowTypes.h"

class ppPrintingAbortDialog {
 public:
  static constexpr int32_t kTemplate = 201;
  static constexpr int32_t kMessageItem = 1009;
  static constexpr int32_t kPrintingText = 6243;  // "Printing"
  static constexpr int32_t kCaptionText = 6244;   // "Print"

  // The program-wide dialog.
  static ppPrintingAbortDialog& Instance();

  // Shows the dialog over `owner` saying "Printing <title>", and disables the owner and its frame.
  void Open(plat::HWND owner, const Vcon::WString& title);
  void SetMessage(const Vcon::WString& text);
  // Destroys the dialog and enables again what Open disabled.
  void Close();
  // The desktop's reset: the dialog and any held close are forgotten.
  void Reset();

  // A close of the program's `frame` asked for while the dialog is open: true when the close waits
  // for the job. The job draws the open documents between its pages, so they must not be closed
  // under it; once it has ended (its failure told, its printer released) it calls AskHeldClose.
  bool HoldClose(plat::HWND frame);
  // Asks the held frame, if it is still there, to close again (a posted WM_CLOSE), and forgets it.
  void AskHeldClose();

  bool UserAborted() const { return userAbort_; }
  plat::HWND Window() const { return window_; }
  plat::HWND Owner() const { return owner_; }

  // The job's abort procedure: dispatches every queued message (the dialog's own through the dialog
  // keyboard) and answers whether the job goes on, that is, false once Cancel was pressed. A quit
  // message ends the dispatching and is posted again: the loop that runs the program must see it.
  static plat::BOOL AbortProc(plat::HDC dc, int32_t error);

 private:
  static plat::INT_PTR Proc(plat::HWND dialog, plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);

  plat::HWND owner_ = nullptr;
  plat::HWND window_ = nullptr;
  plat::HWND heldClose_ = nullptr;  // the frame whose close waits for the job; not owned
  // What Open disabled and Close enables again: the owner and, for a child window, its frame.
  plat::HWND heldOwner_ = nullptr;
  plat::HWND heldFrame_ = nullptr;
  bool userAbort_ = false;
};
