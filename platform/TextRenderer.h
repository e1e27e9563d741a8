#pragma once
// Measures and paints one line of text in a font at a context's scale, through cairo.
// Metrics are whole device pixels (hinted advances), like the platform's text metrics.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DeviceContext.h"
#include "platform/FontObject.h"
#include "platform/GlyphImages.h"

typedef struct _cairo_scaled_font cairo_scaled_font_t;
typedef struct _cairo_surface cairo_surface_t;

namespace plat {

class TextRenderer {
 public:
  TextRenderer(FontObject& font, double scale);
  ~TextRenderer();
  TextRenderer(const TextRenderer&) = delete;
  TextRenderer& operator=(const TextRenderer&) = delete;

  int32_t Ascent() const { return ascent_; }
  int32_t Height() const { return height_; }  // ascent + descent
  int32_t Width(std::u16string_view text) const;

  // Paints the text with the top-left of its cell at device point (x, y), turned by the font's
  // escapement about that point. The context's text colour; its background colour fills the cell
  // first when the background mode is OPAQUE. Clipped to the context's clip area and to `bounds`
  // (device pixels) when given.
  // `marked` is the index of a character to underline (a keyboard mnemonic), or -1. `width` is the
  // text's Width when the caller has it already, -1 to have it measured.
  void Paint(DeviceContext& dc, double x, double y, std::u16string_view text, const RECT* bounds,
             int32_t marked = -1, int32_t width = -1) const;

 private:
  // A line under, through or under one character of the text, relative to the top-left of its cell,
  // device pixels.
  struct LineRect {
    double x, y, width, height;
  };
  // The text's lines: the font's underline and strike-out, and the mark under character `marked`
  // (none when negative); `width` is the text's Width.
  std::vector<LineRect> Lines(std::u16string_view text, double width, int32_t marked) const;
  // The text's lines filled into the mask at full coverage, as cairo fills them on whole pixels, the
  // top-left of its cell at mask point (x, y); `width` and `marked` as for Lines. The pixels filled
  // join `inked`.
  void FillLines(const GlyphImages::Mask& mask, int32_t x, int32_t y, std::u16string_view text, int32_t width,
                 int32_t marked, GlyphImages::Inked& inked) const;
  // The text's coverage drawn by cairo into a new w x h mask (8 bits a pixel; the caller destroys
  // it), the top-left of its cell at mask point (x, y), with its lines (`marked` as in Paint).
  cairo_surface_t* DrawnMask(std::u16string_view text, double x, double y, double width, int32_t marked,
                             int32_t w, int32_t h) const;

  FontObject& font_;
  double em_;
  bool antialias_;  // the antialiasing (and so the hinting) the scaled font was made with
  cairo_scaled_font_t* scaled_ = nullptr;
  int32_t ascent_ = 0;
  int32_t height_ = 0;
};

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// The character (code point) at text[i], from a surrogate pair or one unit (an unpaired surrogate
// reads as U+FFFD, as the UTF-8 conversion shows it); `i` moves past its units. i < text.size().
char32_t NextCodePoint(std::u16string_view text, size_t& i);
// One character (a code point) appended to `out` in UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace plat
