// Drawing helpers the configurator's controls share: the default user-interface font, text in an
// application colour (bytes 0..255 per channel) and caption measuring. User-interface thread only.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"
#include "framework/ColorConversion.h"
#include "platform/GdiTypes.h"
#include "platform/WindowTypes.h"

class ppDC;

namespace controls {

// Height of the default user-interface font, pixels.
inline constexpr int32_t kDefaultFontHeight = 12;

// Selects the default user-interface font on `dc` (RestoreFont puts the previous one back).
void SelectDefaultFont(ppDC& dc);
// The width of `text` in the default font (a box of `boxWidth` x `boxHeight` pixels), measured on a
// memory context: text measures alike on every context of the screen, and a window's own would first
// work out the window's visible region, which measuring never needs.
int32_t MeasureDefaultText(const Vcon::WString& text, int32_t boxWidth, int32_t boxHeight);
// Draws `text` left aligned in `rect` (window pixels) in the default font and `colour` (bytes).
void DrawDefaultText(ppDC& dc, const Vcon::WString& text, const plat::RECT& rect, const ppRGBColor& colour);
// The application's colour of `id` in bytes; white without an application.
ppRGBColor ApplicationColor(int32_t id);

}  // namespace controls
