// The plan ruler along the left of the plan: numbers and ticks along its right edge, the mark a horizontal
// line. It stretches with its supervisor's height. User-interface thread only.
#pragma once

#include "canvas/editor/zelvproRuler.h"

class zelvproVerticalRuler : public zelvproRuler {
 public:
  zelvproVerticalRuler(ppView* supervisor, const plat::RECT& frame);

  void DrawContent(ppDC& dc) override;
  void DrawMarker(int32_t x, int32_t y, ppDC& dc) override;
};
