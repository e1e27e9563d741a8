#pragma once
// A view tree inside a native child window, such as an item of a dialog: the window class
// "vcControlView" makes a ppControlView for each window of the class when it is created and deletes
// it when the window is destroyed, so the window owns its object. The view's frame is the window's
// client area at (0, 0). It wants every key of its dialog and keeps the focus handling to itself.

#include "framework/ppWindow.h"

class ppControlView : public ppWindow {
 public:
  static constexpr const char* kClassName = "vcControlView";

  explicit ppControlView(plat::HWND window);

  int32_t HandleMessage(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) override;
  void FrameChanged() override { ppView::FrameChanged(); }
};

// Registers the window class of control views (once per desktop; a second call changes nothing).
void RegisterControlViewClass();
// The object of a control-view window, or null.
ppControlView* GetControlView(plat::HWND window);
// The window procedure of the class.
plat::LRESULT ControlViewProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                              plat::LPARAM lParam);
