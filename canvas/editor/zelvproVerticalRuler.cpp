#include "canvas/editor/zelvproVerticalRuler.h"

zelvproVerticalRuler::zelvproVerticalRuler(ppView* supervisor, const plat::RECT& frame)
    : zelvproRuler(supervisor, frame, kStay, kStretch) {}

void zelvproVerticalRuler::DrawContent(ppDC& dc) { DrawScale(dc, false); }

void zelvproVerticalRuler::DrawMarker(int32_t x, int32_t y, ppDC& dc) { DrawMarkLine(dc, false, x, y); }
