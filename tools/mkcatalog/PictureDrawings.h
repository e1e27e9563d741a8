#pragma once
// The picture kinds that are drawn with antialiased lines and text (cairo) rather than pixel by
// pixel: the faces of the demo's buttons, the fronts of its units for the palette's previews, its
// logo and its about box. Every drawing is a function of the description alone, so equal
// descriptions give equal pixels.
//
// Button faces ("<kind> <side> <#rrggbb>"): a lighter field inside a one-pixel border of the colour,
// with the symbol in the colour:
//   room     a room's walls with a door's swing        cube     a box seen from above a corner
//   pricelist a list with a column of prices          mail     an envelope
//   globe    a globe with its meridians                printer  a printer with a sheet
//   tag      a label with its hole                     select   a pointer arrow
//   wall     a thick wall turning a corner             fronts   two cabinet doors
//   nofronts the doors' outline, dashed                up, down, left, right   an arrow
//   target   a frame with a cross-hair                 parcel   a parcel with its tie
//   tiltup, tiltdown   an arrow away from a horizon line    brush    a brush over a plan's corner
//   glyph    the description's text (after the colour, in double quotes), bold
// Unit fronts ("<kind> <W>x<H> <#rrggbb>", the picture as large as the front is to be shown, the
// colour the finish, or the steel of an oven): base1 base2 basetop (two doors under a worktop) drawers sink
// wall1 wall2 tall ovenhousing fridgehousing oven hob dishwasher fridge hood worktop plinth bar knob door
// glazeddoor window island pillar cornerbase cornerwall hinged. Texts ("<kind> <W>x<H> <#rrggbb>
// \"line\"..."): logo (the first line large, the second below it) and about (a title band in the colour, then
// the lines).

#include <array>
#include <string>
#include <vector>

namespace mkcatalog {

using PictureRgb = std::array<int, 3>;

struct DrawnRecipe {
  std::string kind;
  int width = 0, height = 0;
  PictureRgb colour{};
  std::vector<std::string> texts;
};

// Whether `kind` is one of the drawn kinds above.
bool IsDrawnKind(const std::string& kind);
// Whether the kind takes quoted texts after its colour (and how many at least).
int TextsWanted(const std::string& kind);
// The picture's pixels row by row; throws std::invalid_argument when the description cannot be drawn
// (an unknown kind, texts missing, a text that is not UTF-8).
std::vector<PictureRgb> DrawPicture(const DrawnRecipe& recipe);

}  // namespace mkcatalog
