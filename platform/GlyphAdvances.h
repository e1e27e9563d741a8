#pragma once
// The advances of the characters of one cairo scaled font (one face at one em size and hinting), in
// device pixels, each asked of cairo the first time it is met and kept. Measuring a string is then a
// sum of kept advances instead of a trip through cairo's glyph lookups for every character of every
// string; start-up measures the same few strings many times over (menu titles, fitting searches for
// names that must be cut, word wrapping).
//
// The sum is the one cairo's text extents make: the advances added in order from 0, in doubles, so
// the width is the very number cairo would give. Not thread-safe: its owner locks.

#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>

typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace plat {

class GlyphAdvances {
 public:
  GlyphAdvances();

  // The advance of `text` (UTF-16, unpaired surrogates shown as U+FFFD) as cairo measures it with
  // `scaled`, which must be the scaled font this table was made for. Like cairo's own measuring of a
  // C string, the text ends at its first NUL.
  double Of(std::u16string_view text, cairo_scaled_font_t* scaled);

 private:
  // `units`: the character's one or two UTF-16 units as they stand in the text.
  double OfCharacter(char32_t c, std::u16string_view units, cairo_scaled_font_t* scaled);

  // Latin characters in an array (not yet measured: a negative number), the rest in a map.
  std::array<double, 0x250> low_;
  std::unordered_map<char32_t, double> other_;
};

}  // namespace plat
