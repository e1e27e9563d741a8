#pragma once
// A view that owns a native "SCROLLBAR" child control and turns its movements into scroll commands
// to its supervisor (401 for a vertical bar, 402 for a horizontal one, the amount in steps). The
// control carries this object in its window property "scrollbar"; its window procedure is subclassed
// so the property goes with the control. Position, range and page are steps of the scrolled content.

#include <cstdint>

#include "framework/iScrollHandler.h"
#include "framework/ppPane.h"

class ppScrollBar : public ppPane, public iScrollHandler {
 public:
  // `frame` in the supervisor's coordinates; the control lies one pixel inside it.
  ppScrollBar(ppView* supervisor, const plat::RECT& frame, bool vertical, int32_t extent, int32_t step,
              int8_t horizontal, int8_t verticalBinding);
  ~ppScrollBar() override;

  // Below 1: range 0..0 and disabled; else range 0..max and enabled.
  void SetRange(int32_t max);
  int32_t GetRange() const;
  int32_t GetPosition() const;
  void SetPosition(int32_t position);
  void SetPageSize(int32_t steps);
  void Enable();
  void Disable();

  bool IsEnabled() const { return enabled_; }
  bool IsVertical() const { return vertical_; }
  int32_t PageSize() const { return page_; }
  int32_t KeptPosition() const { return position_; }
  plat::HWND Control() const { return control_; }

  // ---- View operations.
  void Show() override;
  void Hide() override;
  void Activate() override;
  void Deactivate() override;
  void FrameChanged() override;
  void DrawContent(ppDC& dc) override;
  bool MouseDown(int32_t x, int32_t y) override;

  // A WM_HSCROLL or WM_VSCROLL of the control, handed on by its parent window.
  void HandleScroll(int32_t code, int32_t position) override;

  // The object a native control carries, or null.
  static ppScrollBar* GetScrollBarOf(plat::HWND control);

 private:
  static plat::LRESULT ControlProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                   plat::LPARAM lParam);
  // The control's rectangle: the frame in window coordinates shrunk by one pixel on every side.
  plat::RECT ControlRect();
  void SetInfo(plat::UINT mask);

  plat::HWND control_ = nullptr;  // owned
  bool vertical_ = false;
  int32_t step_ = 1;
  int32_t page_ = 0;
  int32_t position_ = 0;
  int32_t max_ = 0;
  bool enabled_ = false;
  plat::WNDPROC previousProc_ = nullptr;
};
