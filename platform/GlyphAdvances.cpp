#include "platform/GlyphAdvances.h"

#include <cairo.h>

#include <string>

#include "platform/TextRenderer.h"

namespace plat {

GlyphAdvances::GlyphAdvances() { low_.fill(-1); }

double GlyphAdvances::OfCharacter(char32_t c, std::u16string_view units, cairo_scaled_font_t* scaled) {
  double* kept = nullptr;
  if (c < low_.size()) {
    kept = &low_[c];
    if (*kept >= 0) return *kept;
  } else if (auto found = other_.find(c); found != other_.end()) {
    return found->second;
  }
  // One character alone: cairo's advance of it is the glyph's own advance (added to 0).
  const std::string utf8 = Utf16ToUtf8(units);
  cairo_text_extents_t extents;
  cairo_scaled_font_text_extents(scaled, utf8.c_str(), &extents);
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
  for (size_t i = 0; i < text.size() && text[i] != 0;) {
    // A Latin character already measured (one unit, never a surrogate) is the common case.
    if (const char16_t unit = text[i]; unit < low_.size() && low_[unit] >= 0) {
      x += low_[unit];
      ++i;
      continue;
    }
    const size_t first = i;
    const char32_t c = NextCodePoint(text, i);
    x += OfCharacter(c, text.substr(first, i - first), scaled);
  }
  return x;
}

}  // namespace plat
