// The process-wide font cache: every font the drawing contexts use is made once and kept until the
// process ends. The cache owns the fonts; callers never delete them.
#pragma once

#include <cstdint>

#include "platform/Gdi.h"

// Face names of the user interface, set at start-up: the default context font and the plain face.
extern const char* const kDefaultFaceName;  // "MS Sans Serif"
extern const char* const kPlainFaceName;    // "Arial"

// The font of `face` with `height` (negative: character height, positive: cell height, pixels),
// `style` bits (1 bold, 2 italic, 4 underline) and `angle` (degrees, counter-clockwise). The same
// arguments give the same font; an unknown combination makes a new one.
plat::HFONT GetCachedFont(const char* face, int32_t height, int32_t style, float angle);
// The font described by `font`, made once for every equal description.
plat::HFONT GetCachedFontIndirect(const plat::LOGFONTA& font);
// Number of fonts in the cache.
int32_t CachedFontCount();
