// Choosing and setting the OpenGL pixel format of a device context (windows and off-screen pictures).
#pragma once

#include <cstdint>

#include "platform/GdiTypes.h"

// Process-wide: prefer double-buffered hardware formats when software rendering is not asked for.
extern bool gPreferHardwarePixelFormats;

// Picks an RGBA format with draw-to-window, GDI and OpenGL support (and the generic software flag when
// `software`) of `colorBits`, preferring exactly `depthBits` and otherwise the deepest, and sets it on
// the context. Returns the index chosen, 0 when none matched.
int32_t ChoosePixelFormat(plat::HDC dc, int32_t colorBits, int32_t depthBits, bool software);
