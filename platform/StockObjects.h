#pragma once
// The shared stock objects: made on first use, marked stock, never freed.

#include "platform/BitmapObject.h"
#include "platform/GdiObject.h"

namespace plat {

// WHITE_BRUSH ... DEFAULT_GUI_FONT (GetStockObject's indexes); null for an unknown index.
GdiObject* StockObject(int32_t index);
// The 1 by 1 monochrome bitmap of fresh memory contexts.
BitmapObject* StockBitmap();
PaletteObject* StockPalette();

}  // namespace plat
