// The plan ruler along the top of the plan: numbers and ticks along its bottom edge, the mark a vertical
// line. It stretches with its supervisor's width. User-interface thread only.
#pragma once

#include "canvas/editor/zelvproRuler.h"

class zelvproHorisontalRuler : public zelvproRuler {
 public:
  zelvproHorisontalRuler(ppView* supervisor, const plat::RECT& frame);

  void DrawContent(ppDC& dc) override;
  void DrawMarker(int32_t x, int32_t y, ppDC& dc) override;
};
