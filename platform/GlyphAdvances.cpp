#include "platform/GlyphAdvances.h"

#include <cairo.h>

namespace plat {

namespace {

// The UTF-8 of one code point, NUL-terminated, as cairo takes text.
std::array<char, 5> Utf8Of(char32_t c) {
  std::array<char, 5> out{};
  if (c < 0x80) {
    out[0] = char(c);
  } else if (c < 0x800) {
    out[0] = char(0xC0 | (c >> 6));
    out[1] = char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out[0] = char(0xE0 | (c >> 12));
    out[1] = char(0x80 | ((c >> 6) & 0x3F));
    out[2] = char(0x80 | (c & 0x3F));
  } else {
    out[0] = char(0xF0 | (c >> 18));
    out[1] = char(0x80 | ((c >> 12) & 0x3F));
    out[2] = char(0x80 | ((c >> 6) & 0x3F));
    out[3] = char(0x80 | (c & 0x3F));
  }
  return out;
}

}  // namespace

GlyphAdvances::GlyphAdvances() { low_.fill(-1); }

double GlyphAdvances::OfCharacter(char32_t c, cairo_scaled_font_t* scaled) {
  double* kept = nullptr;
  if (c < low_.size()) {
    kept = &low_[c];
    if (*kept >= 0) return *kept;
  } else if (auto found = other_.find(c); found != other_.end()) {
    return found->second;
  }
  // One character alone: cairo's advance of it is the glyph's own advance (added to 0).
  const std::array<char, 5> utf8 = Utf8Of(c);
  cairo_text_extents_t extents;
  cairo_scaled_font_text_extents(scaled, utf8.data(), &extents);
  const double advance = extents.x_advance;
  // A negative advance (no font draws one leftwards, but a table must not take it for "unknown").
  if (kept && advance >= 0)
    *kept = advance;
  else if (!kept)
    other_.emplace(c, advance);
  return advance;
}

double GlyphAdvances::Of(std::u16string_view text, cairo_scaled_font_t* scaled) {
  double x = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c == 0) break;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    x += OfCharacter(c, scaled);
  }
  return x;
}

}  // namespace plat
