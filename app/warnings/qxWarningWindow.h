// The placement-warning window: a small bordered pop-up that shows the picture of one warning number
// (settings\warnings\<number>.png of the program folder) beside a unit's information panel. Each show
// blinks it once (the next paint inverts it twice, 50 ms a step on the layer's clock) and starts its
// wait thread, whose fade sweeper hides it 5,000 ms later; a key or a left or right click in it hides
// it at once. There is one per run (ShowWarning makes it).
//
// The window has a class and procedure of its own and is bound to its object by the window property
// "qxWarningWindow". Ownership: the object owns its picture, the fade sweeper and (until Stop) the
// wait thread; deleting it destroys the platform window. User-interface thread.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/ppWindow.h"

class ppPicture;
class qxFadeSweeper;
class qxWaitThread;

class qxWarningWindow : public ppWindow {
 public:
  static constexpr const char* kClassName = "qxWarningWindow";
  static constexpr const char* kProperty = "qxWarningWindow";
  static constexpr const char* kTitle = "Warning";
  static constexpr plat::DWORD kStyle = 0x80880000;  // pop-up, border, system menu
  static constexpr uint32_t kBlinkStepMs = 50;

  // Around `window` (already made with kClassName); `frame` moved to the origin becomes the view frame.
  qxWarningWindow(plat::HWND window, const plat::RECT& frame);
  ~qxWarningWindow() override;

  // Registers the window class (a repeated registration fails harmlessly).
  static void RegisterClass();
  static plat::LRESULT WindowProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                  plat::LPARAM lParam);

  // Loads the picture of `number` unless it is the one loaded, places the window at (anchor right +
  // width - 40, anchor bottom + 10) in the picture's size (2 pixels taller), shows it and, with
  // `blink`, starts the closing wait. A picture that cannot be loaded leaves the window hidden and
  // its number 0, so that a later show tries again.
  void ShowAt(const plat::RECT& anchor, int32_t number, bool blink);
  void DrawContent(ppDC& dc) override;

  int32_t WarningNumber() const { return warningNumber_; }
  const ppPicture* Picture() const { return picture_.get(); }
  bool BlinkPending() const { return blinkPending_; }
  qxFadeSweeper* FadeSweeper() const { return sweeper_.get(); }
  qxWaitThread* WaitThread() const { return waitThread_; }
  // Pictures loaded so far (tests).
  uint32_t PicturesLoaded() const { return picturesLoaded_; }

 private:
  bool blinkPending_ = false;
  int32_t warningNumber_ = 0;
  std::unique_ptr<ppPicture> picture_;
  std::unique_ptr<qxFadeSweeper> sweeper_;
  qxWaitThread* waitThread_ = nullptr;  // deletes itself once stopped
  uint32_t picturesLoaded_ = 0;
};
