// Plan millimetres and top-view pixels. The plan scale is the layer palette's (millimetres per pixel;
// the palette's start value without one); the pixel origin is where the main canvas' scrolled view
// puts its own origin in the window, its scrolling included ((0, 0) without one). Plan x maps to
// pixel x, plan z to pixel y.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "foundation/ppVector3.h"
#include "platform/GdiTypes.h"

double PlanScale();
// The scrolled view's content origin, in window pixels.
plat::POINT PlanPixelOrigin();
// out = ((x, 0, y) - origin) times the scale.
void ScreenToPlanPoint(int32_t x, int32_t y, ppVector3& out);
// p divided by the scale plus the origin; x and z truncated toward zero (12.9 gives 12, -12.9 -12),
// held within 1e6 pixels; a coordinate that is not a number gives 0.
void PlanPointToScreen(const ppVector3& p, plat::POINT& out);
