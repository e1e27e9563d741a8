// Packed DIBs drawn onto a context without a device bitmap between.
#pragma once

#include <cstdint>

#include "platform/GdiTypes.h"

namespace plat {

// A whole packed DIB of 24 bits, or 32 bits of 8-8-8, copied one to one onto a colour context at
// (x, y), within its clip, as a copy through a bitmap made by CreateDIBitmap would draw it, but
// without making that bitmap: each row is converted straight onto the destination. False, having
// drawn nothing, for other formats, a monochrome context, or a mapping that scales.
bool CopyDibUnscaled(HDC dc, int32_t x, int32_t y, const void* bits, const BITMAPINFO* info);

}  // namespace plat
