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
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c == 0) break;
    size_t units = 1;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      units = 2;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // as the UTF-8 conversion shows an unpaired surrogate
    }
    x += OfCharacter(c, text.substr(i, units), scaled);
    i += units - 1;
  }
  return x;
}

}  // namespace plat
