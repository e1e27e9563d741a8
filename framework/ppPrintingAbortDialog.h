#pragma once
// The one "Printing" dialog of the program: shown modeless over the printing window while a job
// runs (which disables that window), with a message and a Cancel button. The job's abort procedure
// keeps the user interface alive between pages and stops the job once Cancel was pressed.
// User-interface thread only.

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

  // Shows the dialog over `owner` saying "Printing <title>", and disables the owner.
  void Open(plat::HWND owner, const Vcon::WString& title);
  void SetMessage(const Vcon::WString& text);
  // Destroys the dialog and enables the owner again.
  void Close();

  bool UserAborted() const { return userAbort_; }
  plat::HWND Window() const { return window_; }
  plat::HWND Owner() const { return owner_; }

  // The job's abort procedure: dispatches every queued message (the dialog's own through the dialog
  // keyboard) and answers whether the job goes on, that is, false once Cancel was pressed.
  static plat::BOOL AbortProc(plat::HDC dc, int32_t error);

 private:
  static plat::INT_PTR Proc(plat::HWND dialog, plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);

  plat::HWND owner_ = nullptr;
  plat::HWND window_ = nullptr;
  bool userAbort_ = false;
};
