// The closing of the warning window, posted by its wait thread as a plain 0x8100 message to the
// warning window and run by that window's procedure, again and again. Unlike the framework's
// sweepers it is never counted among the pending ones (autosave does not wait on it) and the message
// does not delete it: the warning window owns it. User-interface thread (Sweep).
#pragma once

class qxWarningWindow;

class qxFadeSweeper {
 public:
  explicit qxFadeSweeper(qxWarningWindow* window) : window_(window) {}
  virtual ~qxFadeSweeper() = default;
  qxFadeSweeper(const qxFadeSweeper&) = delete;
  qxFadeSweeper& operator=(const qxFadeSweeper&) = delete;

  // Hides the warning window; hiding a hidden window does nothing.
  virtual void Sweep();

 private:
  qxWarningWindow* window_;  // not owned
};
