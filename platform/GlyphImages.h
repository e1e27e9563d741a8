#pragma once
// The coverage images of the characters of one cairo scaled font (one face at one em size and
// hinting), each rasterised by cairo the first time it is met and kept, so that a line of text is
// drawn into a coverage mask by copying kept images instead of a trip through cairo's text set-up,
// glyph lookups and compositing for every string. A table hangs on its scaled font as cairo user
// data and lives as long as cairo keeps the font, beside cairo's own cache of the same glyphs: the
// fonts are the process's, so their images are too, and a desktop reset leaves them.
//
// The images are copied the way cairo 1.16's image compositor lays glyphs down on an 8-bit mask:
// each at its origin rounded to whole pixels, every glyph whose origin lies more than ten ems off
// the mask left out, and, when some glyph's ink box (in cairo's 24.8 fixed point) reaches into the
// box of the glyphs before it, the coverages added (saturating), else each laid over the mask
// before it (the OVER operator with pixman's rounding). A character whose advance is not a whole
// pixel, or whose image cairo's rendering may not fit, makes `Draw` decline: the caller then draws
// with cairo.

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace plat {

class GlyphImages {
 public:
  // A coverage mask (8 bits a pixel, 0 = none) that `Draw` writes into.
  struct Mask {
    uint8_t* bits;
    int32_t width;
    int32_t height;
    int32_t stride;  // bytes from one row to the next
  };
  // The part of a mask `Draw` wrote coverage into, mask pixels, right and bottom exclusive; empty
  // (left >= right) when it wrote none. Every pixel outside it stays 0.
  struct Inked {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    void Add(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  };

  GlyphImages();
  ~GlyphImages();
  GlyphImages(const GlyphImages&) = delete;
  GlyphImages& operator=(const GlyphImages&) = delete;

  // Draw with the table of `scaled` (made on first use). Any thread: one lock guards every table.
  static bool DrawWith(cairo_scaled_font_t* scaled, std::u16string_view text, double em, const Mask& mask,
                       int32_t penX, int32_t penY, Inked* inked = nullptr);

  // Writes the coverage of `text` (UTF-16, unpaired surrogates shown as U+FFFD, ending at its first
  // NUL as cairo's C strings do) with its first glyph's origin at the mask pixel (penX, penY), as
  // cairo_show_text with `scaled` (the scaled font this table was made for, identity transformation)
  // would write it into a cleared mask. `mask` must be all zeros. False when the copy cannot give
  // cairo's pixels (see above): the mask then holds some glyphs and must be cleared before reuse.
  // `em` is the scaled font's em size in pixels. `inked` (when given) receives the part of the mask
  // written.
  bool Draw(std::u16string_view text, cairo_scaled_font_t* scaled, double em, const Mask& mask, int32_t penX,
            int32_t penY, Inked* inked = nullptr);

 private:
  struct Glyph {
    bool drawable = false;  // whole-pixel advance and an image cairo's rendering fits into
    int32_t advance = 0;    // device pixels
    // The ink box relative to the origin in 1/256 pixels, as cairo keeps it; empty (no ink) when
    // cairo measures no ink.
    int32_t boxLeft = 0, boxTop = 0, boxRight = 0, boxBottom = 0;
    int32_t left = 0;  // the image's top-left relative to the glyph's origin
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;             // bytes from one row of the image to the next: width rounded up to 8
    std::vector<uint8_t> coverage;  // stride * height bytes, 0 past each row's width
  };

  // The characters of `text` as cairo reads them (stopping at a NUL).
  static void Characters(std::u16string_view text, std::vector<char32_t>& out);
  const Glyph* Find(char32_t c) const;
  // Rasterises the characters not yet kept, as few cairo drawings as the surfaces' width allows.
  void Make(const std::vector<char32_t>& missing, cairo_scaled_font_t* scaled);
  // One drawing of `slots` (glyph, position, columns), `right` pixels wide, the ink reaching `above`
  // and `below` the baseline; keeps each glyph's image that the drawing shows whole.
  template <class Slots>
  static void DrawSlots(Slots& slots, int32_t right, double above, double below, cairo_scaled_font_t* scaled);
  // Lays the glyph's image over the mask with its origin at (x, y); `add`: coverages added. Notes the
  // pixels it wrote in `inked`.
  static void Copy(const Glyph& glyph, const Mask& mask, int32_t x, int32_t y, bool add, Inked& inked);

  // Latin characters in an array (null: not yet made), the rest in a map.
  std::array<std::unique_ptr<Glyph>, 0x250> low_;
  std::unordered_map<char32_t, std::unique_ptr<Glyph>> other_;
  std::vector<char32_t> characters_;  // scratch of Draw
  std::vector<const Glyph*> glyphs_;  // scratch of Draw
};

}  // namespace plat
