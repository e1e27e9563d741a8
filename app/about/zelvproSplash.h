// The about window with a progress strip: a 20-pixel white band below the picture in which one line
// tells what start-up is doing ("Starting", then each catalogue being opened). Start-up shows it
// once the frame is placed and hides it when the document window exists; hiding the first time
// takes the strip away, and the object stays the about window for the rest of the run.
//
// Progress lines are drawn at once on the window: start-up keeps the message loop from running.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "app/about/zelvproAboutDialog.h"

class zelvproSplash : public zelvproAboutDialog {
 public:
  static constexpr int32_t kStripHeight = 20;     // pixels
  static constexpr uint32_t kLeastShowing = 180;  // ticks of 1/60 second before a waiting hide

  // The window is made with the strip's room already (start-up shows the strip at once).
  zelvproSplash(const plat::RECT& rect, int32_t pictureId);

  void DrawContent(ppDC& dc) override;
  void Show() override;
  // The first hide in progress mode also shrinks the window by the strip.
  void Hide() override;
  // Keeps the text and draws the strip at once.
  void SetProgressText(const Vcon::WString& text) override;

  // Grows the window by the strip, shows "Starting" and shows the window.
  void StartProgress();
  bool InProgressMode() const { return progressMode_; }
  const Vcon::WString& ProgressText() const { return progressText_; }
  uint32_t ShownAt() const { return shownAt_; }
  // The strip in client pixels.
  const plat::RECT& Strip() const { return strip_; }

 private:
  void DrawStrip(ppDC& dc);

  uint32_t shownAt_ = 0;
  plat::RECT strip_{};
  bool progressMode_ = false;
  bool stripRoom_ = true;  // the window is the strip taller than the picture
  Vcon::WString progressText_;
};

// Start-up: makes the splash as the about window (picture 2004) in progress mode, or only shows the
// about window when one exists.
void ShowSplash();
// With `wait`, first lets the splash stay at least 3 seconds after it was shown; then hides the
// about window when there is one.
void HideSplash(bool wait);
