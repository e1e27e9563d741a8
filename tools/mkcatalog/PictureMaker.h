#pragma once
// Pictures made from a short description instead of committed binaries: "<kind> <size> <colour>",
// for example "grain 64 #a0703c" or "frame 48x32 #808080".
//   kind    solid   the colour everywhere
//           grain   wood-like stripes: the colour darkened along a wavy grain
//           checker 8-pixel tiles of the colour and a lighter shade
//           frame   a lighter field inside a one-pixel border of the colour (previews, icons)
//           swatch  the colour inside a one-pixel mid-grey border (finishes, seen on any background)
//           plus    a frame with a symbol in the colour, for picture buttons: a plus sign,
//           minus   a minus sign,
//           turn    three quarters of a ring with a clockwise arrow head,
//           back    the same ring mirrored, its arrow head counterclockwise,
//           home    a house,
//           lines   three lines of a list
//   size    N or WxH, 1 to 1024 pixels a side
//   colour  #rrggbb
// The result is an 8-bit palette PNG (a picture has at most a dozen colours) without time or text
// chunks, so equal descriptions give equal bytes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mkcatalog {

// The PNG bytes for `description`; throws std::invalid_argument with a reason when it is malformed.
std::vector<uint8_t> MakePicture(const std::string& description);

// A `side` by `side` picture of a plan: each line {x1, z1, x2, z2} (millimetres) drawn 3 pixels wide
// in `colour` ("#rrggbb") on the lighter field of a "frame" picture, the lines scaled to fit inside
// a 4-pixel margin with x to the right and z down. Throws std::invalid_argument when there is no
// line, the side is out of 16 to 1024, or the colour is malformed.
std::vector<uint8_t> MakePlanPicture(int side, const std::string& colour,
                                     const std::vector<std::array<float, 4>>& lines);

}  // namespace mkcatalog
