#include "canvas/editor/zelvproHorisontalRuler.h"

zelvproHorisontalRuler::zelvproHorisontalRuler(ppView* supervisor, const plat::RECT& frame)
    : zelvproRuler(supervisor, frame, kStretch, kStay) {}

void zelvproHorisontalRuler::DrawContent(ppDC& dc) { DrawScale(dc, true); }

void zelvproHorisontalRuler::DrawMarker(int32_t x, int32_t y, ppDC& dc) { DrawMarkLine(dc, true, x, y); }
