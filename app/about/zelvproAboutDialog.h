// A borderless popup (thin border, no caption) that shows one skin picture centred on the screen
// and hides at the first mouse press anywhere (it holds the mouse capture while shown) or key press.
// The about window shows picture 2004, the credits window picture 2005; each is made on first use
// and kept, hidden between uses. The first window of this class made (the splash, at start-up)
// becomes the about window and the start-up progress window for the rest of the run.
//
// Window class "ZelvAbout"; the object is bound to its window in the property "abut".
// User-interface thread only.
#pragma once

#include <cstdint>

#include "catalogue/databases/iStartupProgress.h"
#include "framework/ppWindow.h"
#include "platform/WindowTypes.h"

class ppPicture;

class zelvproAboutDialog : public ppWindow, public iStartupProgress {
 public:
  static constexpr const char* kClassName = "ZelvAbout";
  static constexpr const char* kProperty = "abut";
  static constexpr int32_t kAboutPicture = 2004;
  static constexpr int32_t kCreditsPicture = 2005;

  // `rect` gives the window's size when the picture is missing or empty (screen pixels); the
  // window is centred on the screen either way. Hidden until shown.
  zelvproAboutDialog(const plat::RECT& rect, int32_t pictureId);
  ~zelvproAboutDialog() override;

  bool MouseOver(int32_t x, int32_t y, int32_t flag) override;
  void KeyDown(signed char key, int32_t flags) override;
  void DrawContent(ppDC& dc) override;
  // A press no subview took: hides the window.
  bool IsDoubleClick(int32_t x, int32_t y) override;
  // Showing takes the mouse capture, hiding gives it back.
  void Show() override;
  void Hide() override;
  int32_t HandleMessage(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) override;
  // Start-up progress: ignored by a plain about window.
  void SetProgressText(const Vcon::WString& text) override;

  int32_t PictureId() const { return pictureId_; }

 protected:
  // As above with the window `extraHeight` pixels taller below the picture, centred as the picture
  // alone is.
  zelvproAboutDialog(const plat::RECT& rect, int32_t pictureId, int32_t extraHeight);
  // The application's picture of this window's id; null when there is none or it is empty.
  ppPicture* Picture() const;

 private:
  static plat::LRESULT WindowProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                  plat::LPARAM lParam);

  int32_t pictureId_;
};

// The about window (also the splash while start-up runs) and the credits window; null until made.
// Owned through DeleteAboutWindow and DeleteCreditsWindow. User-interface thread only.
extern zelvproAboutDialog* AboutWindow;
extern zelvproAboutDialog* CreditsWindow;

// Command 1: makes the about window on first use (picture 2004), then shows it.
void ShowAboutWindow();
// Command 2: the same for the credits window (picture 2005).
void ShowCreditsWindow();
// Each deletes its window once and clears the global; nothing when there is none.
void DeleteAboutWindow();
void DeleteCreditsWindow();
