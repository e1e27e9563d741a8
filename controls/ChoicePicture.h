// The picture of a selector choice (its column 4: a memory handle holding a picture file's bytes),
// drawn into a box of the field or of a list row. User-interface thread only.
#pragma once

#include <cstdint>

#include "foundation/ppParameter.h"
#include "platform/GdiTypes.h"

class ppDC;

namespace controls {

// Draws the picture of `value` in `area` (window pixels): a box as high as `area`, as wide as the
// picture's aspect asks, inset by `inset`; stretched into it, or with `centred` in a square box at its
// own size, clipped. Answers the box's right edge, or `area.left` when there is no picture.
int32_t DrawChoicePicture(ppDC& dc, const ppParameter& value, const plat::RECT& area, int32_t inset,
                          bool centred);

}  // namespace controls
