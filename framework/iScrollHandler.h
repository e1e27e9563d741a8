#pragma once
// What a native scroll bar control carries in its window property "scrollbar": the object that turns
// its scroll messages into scrolling. The window that receives WM_HSCROLL or WM_VSCROLL hands them on.

#include <cstdint>

class iScrollHandler {
 public:
  static constexpr const char* kProperty = "scrollbar";
  virtual ~iScrollHandler() = default;
  // `code` is the scroll request (SB_ value), `position` the thumb position it carries.
  virtual void HandleScroll(int32_t code, int32_t position) = 0;
};
