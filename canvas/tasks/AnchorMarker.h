// The snap anchor's marker of the door and wall tasks: a square framed in red 50 % exclusive-or
// about a pixel, clipped to what the canvas shows. A recorded band does not keep colours, so the
// marker is drawn straight and erased by the same drawing at the same place.
//
// Ownership: the canvas passed in is not owned. User-interface thread only.
#pragma once

#include <cstdint>

#include "platform/WindowTypes.h"

class ppView;

class AnchorMarker {
 public:
  static constexpr int32_t kHalf = 3;  // pixels either side of the anchor
  static constexpr int32_t kRed = 50;  // percent

  // Draws the marker at `at` on `canvas` when `shown`; remembers what it drew.
  void Show(ppView& canvas, bool shown, plat::POINT at);
  // Erases what the last Show drew.
  void Erase(ppView* canvas);

 private:
  bool shown_ = false;
  plat::POINT at_{};
};
