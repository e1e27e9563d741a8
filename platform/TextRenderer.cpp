#include "platform/TextRenderer.h"

#include <cairo.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/Gdi.h"
#include "platform/GlyphImages.h"
#include "platform/ResetList.h"

namespace plat {

namespace {

// Set on the user-interface thread, read by any thread that draws text.
std::atomic<bool> gAntialias{true};
[[maybe_unused]] const bool kReset = ResetList::Add("text antialiasing", [] { gAntialias = true; });

cairo_font_options_t* MakeOptions(bool antialias) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  if (antialias) {
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  } else {
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
  }
  return options;
}

#ifdef __SSE2__
// Two pixels (in 16-bit lanes) blended towards `ink` (the same lanes) by their coverages `a` (each
// pixel's coverage in its four lanes): (ink * a + pixel * (255 - a) + 127) / 255, the division done
// exactly as a multiply and a shift.
inline __m128i BlendTwo(__m128i pixels, __m128i a, __m128i ink) {
  const __m128i full = _mm_set1_epi16(255), half = _mm_set1_epi16(127);
  const __m128i divide = _mm_set1_epi16(int16_t(0x8081));
  __m128i sum = _mm_add_epi16(_mm_mullo_epi16(ink, a), _mm_mullo_epi16(pixels, _mm_sub_epi16(full, a)));
  sum = _mm_add_epi16(sum, half);
  return _mm_srli_epi16(_mm_mulhi_epu16(sum, divide), 7);
}

// Four pixels blended towards `ink` by the four coverages in the low 32 bits of `coverage`; the
// unused byte is kept. A coverage of 0 leaves the pixel as it was, 255 gives the ink.
inline void BlendFour(uint32_t* pixels, __m128i coverage, __m128i ink) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i unused = _mm_set1_epi32(int32_t(0xFF000000));
  const __m128i a = _mm_unpacklo_epi8(coverage, zero);  // a0 a1 a2 a3 in 16-bit lanes
  const __m128i pairs = _mm_unpacklo_epi16(a, a);       // a0 a0 a1 a1 a2 a2 a3 a3
  const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
  const __m128i low = BlendTwo(_mm_unpacklo_epi8(before, zero), _mm_unpacklo_epi32(pairs, pairs), ink);
  const __m128i high = BlendTwo(_mm_unpackhi_epi8(before, zero), _mm_unpackhi_epi32(pairs, pairs), ink);
  const __m128i packed = _mm_packus_epi16(low, high);
  const __m128i after = _mm_or_si128(_mm_andnot_si128(unused, packed), _mm_and_si128(unused, before));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), after);
}

// Eight pixels blended towards `ink` by their coverages, four at a time; four blank coverages leave
// their pixels untouched.
void BlendEight(uint32_t* pixels, const uint8_t* coverage, uint32_t ink) {
  const __m128i inkLanes = _mm_unpacklo_epi8(_mm_set1_epi32(int32_t(ink & 0xFFFFFF)), _mm_setzero_si128());
  const __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(coverage));
  if (_mm_cvtsi128_si32(eight) != 0) BlendFour(pixels, eight, inkLanes);
  const __m128i upper = _mm_srli_epi64(eight, 32);
  if (_mm_cvtsi128_si32(upper) != 0) BlendFour(pixels + 4, upper, inkLanes);
}
#endif

}  // namespace

void SetTextAntialias(bool on) { gAntialias = on; }
bool TextAntialias() { return gAntialias; }

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

char32_t NextCodePoint(std::u16string_view text, size_t& i) {
  const char32_t c = text[i++];
  if (c >= 0xD800 && c <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF)
    return 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
  return c >= 0xD800 && c <= 0xDFFF ? char32_t(0xFFFD) : c;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) AppendUtf8(out, NextCodePoint(text, i));
  return out;
}

TextRenderer::TextRenderer(FontObject& font, double scale)
    : font_(font), em_(font.EmSize(scale)), antialias_(gAntialias) {
  cairo_matrix_t size, identity;
  cairo_matrix_init_scale(&size, em_, em_);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = MakeOptions(antialias_);
  scaled_ = cairo_scaled_font_create(font.Face(), &size, &identity, options);
  cairo_font_options_destroy(options);
  cairo_font_extents_t extents;
  cairo_scaled_font_extents(scaled_, &extents);
  if (font.Log().lfHeight > 0) {
    // A positive height asks for this cell height exactly; the ascent takes its share of it.
    height_ = std::max(1, int32_t(std::lround(font.Log().lfHeight * scale)));
    double cell = extents.ascent + extents.descent;
    ascent_ = cell > 0 ? int32_t(std::lround(height_ * extents.ascent / cell)) : height_;
  } else {
    ascent_ = int32_t(std::ceil(extents.ascent - 1e-6));
    height_ = ascent_ + int32_t(std::ceil(extents.descent - 1e-6));
  }
}

TextRenderer::~TextRenderer() { cairo_scaled_font_destroy(scaled_); }

int32_t TextRenderer::Width(std::u16string_view text) const {
  if (text.empty()) return 0;
  return int32_t(std::lround(font_.TextAdvance(text, scaled_, em_, antialias_)));
}

std::vector<TextRenderer::LineRect> TextRenderer::Lines(std::u16string_view text, double width,
                                                        int32_t marked) const {
  const double thickness = std::max(1.0, std::round(em_ / 14));
  const double underline = ascent_ + std::round(em_ / 10);
  std::vector<LineRect> lines;
  if (font_.Log().lfUnderline) lines.push_back({0, underline, width, thickness});
  if (font_.Log().lfStrikeOut) lines.push_back({0, std::round(ascent_ * 0.65), width, thickness});
  if (marked >= 0) {
    const double from = Width(text.substr(0, size_t(marked))), to = Width(text.substr(0, size_t(marked) + 1));
    lines.push_back({from, underline, to - from, thickness});
  }
  return lines;
}

void TextRenderer::FillLines(const GlyphImages::Mask& mask, int32_t x, int32_t y, std::u16string_view text,
                             int32_t width, int32_t marked, GlyphImages::Inked& inked) const {
  // Every line lies on whole pixels here (a whole width, whole advances): cairo covers it fully.
  for (const LineRect& line : Lines(text, width, marked)) {
    const int64_t left = x + std::llround(line.x), top = y + std::llround(line.y);
    const int64_t x0 = std::max<int64_t>(0, left),
                  x1 = std::min<int64_t>(mask.width, left + std::llround(line.width));
    const int64_t y0 = std::max<int64_t>(0, top),
                  y1 = std::min<int64_t>(mask.height, top + std::llround(line.height));
    inked.Add(int32_t(x0), int32_t(y0), int32_t(x1), int32_t(y1));
    for (int64_t row = y0; row < y1; ++row)
      if (x1 > x0) std::memset(mask.bits + row * mask.stride + x0, 255, size_t(x1 - x0));
  }
}

cairo_surface_t* TextRenderer::DrawnMask(std::u16string_view text, double x, double y, double width,
                                         int32_t marked, int32_t w, int32_t h) const {
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  cairo_t* cr = cairo_create(mask);
  cairo_set_scaled_font(cr, scaled_);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, -font_.Angle());
  cairo_move_to(cr, 0, ascent_);
  std::string utf8 = Utf16ToUtf8(text);
  cairo_show_text(cr, utf8.c_str());
  const std::vector<LineRect> lines = Lines(text, width, marked);
  if (!lines.empty()) {
    cairo_set_antialias(cr, gAntialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    for (const LineRect& line : lines) cairo_rectangle(cr, line.x, line.y, line.width, line.height);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  cairo_surface_flush(mask);
  return mask;
}

void TextRenderer::Paint(DeviceContext& dc, double x, double y, std::u16string_view text, const RECT* bounds,
                         int32_t marked, int32_t knownWidth) const {
  Surface* target = dc.Target();
  if (!target || text.empty()) return;
  const double angle = font_.Angle();
  const double width = knownWidth >= 0 ? knownWidth : Width(text), height = height_;
  const double c = std::cos(angle), s = std::sin(angle);
  // Corners of the cell turned counter-clockwise on the screen (y grows downwards).
  auto corner = [&](double u, double v) { return PointF{x + u * c + v * s, y - u * s + v * c}; };
  const std::array<PointF, 4> cell{corner(0, 0), corner(width, 0), corner(width, height), corner(0, height)};

  Region area = dc.ClipArea();
  if (bounds) area = Region::Combine(area, Region(*bounds), Region::Op::And);
  if (dc.bkMode == OPAQUE) {
    RECT rows = area.Box();
    Region background =
        Region::FromFigures({std::vector<PointF>(cell.begin(), cell.end())}, ALTERNATE, &rows);
    background = Region::Combine(background, area, Region::Op::And);
    dc.PaintRegion(background, dc.bkColor, R2_COPYPEN);
  }

  double minX = cell[0].x, maxX = minX, minY = cell[0].y, maxY = minY;
  for (const PointF& p : cell) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  // Glyphs may overhang their cell (italics, accents): a margin of half an em.
  const int32_t margin = int32_t(std::ceil(em_ / 2)) + 2;
  // Only the part of the text the clip area shows is rasterised.
  const RECT visible = area.Box();
  const int32_t left = int32_t(std::max<double>(std::floor(minX) - margin, visible.left));
  const int32_t top = int32_t(std::max<double>(std::floor(minY) - margin, visible.top));
  const int32_t w = int32_t(std::min<double>(std::ceil(maxX) + margin, visible.right)) - left;
  const int32_t h = int32_t(std::min<double>(std::ceil(maxY) + margin, visible.bottom)) - top;
  if (w <= 0 || h <= 0) return;
  const bool mark = marked >= 0 && size_t(marked) < text.size();
  const bool lines = font_.Log().lfUnderline || font_.Log().lfStrikeOut || mark;
  // Level text on whole pixels is copied from the font's kept glyph images, its lines (whole pixels
  // too) filled in; the rest, and text those cannot show as cairo would, cairo draws.
  std::vector<uint8_t> copied;
  const uint8_t* data = nullptr;
  int32_t stride = w;
  cairo_surface_t* mask = nullptr;
  // The part of the mask that may hold coverage, mask pixels: all of it unless the copy says less.
  GlyphImages::Inked inked{0, 0, w, h};
  if (angle == 0 && x == std::floor(x) && y == std::floor(y) && std::fabs(x) < 1e9 && std::fabs(y) < 1e9 &&
      width == std::floor(width)) {
    copied.assign(size_t(w) * size_t(h), 0);
    const GlyphImages::Mask view{copied.data(), w, h, w};
    const int32_t penX = int32_t(x) - left, cellTop = int32_t(y) - top;
    if (GlyphImages::DrawWith(scaled_, text, em_, view, penX, cellTop + ascent_, &inked)) {
      data = copied.data();
      if (lines) FillLines(view, penX, cellTop, text, int32_t(width), mark ? marked : -1, inked);
    } else {
      inked = {0, 0, w, h};
    }
  }
  if (data == nullptr) {
    mask = DrawnMask(text, x - left, y - top, width, mark ? marked : -1, w, h);
    data = cairo_image_surface_get_data(mask);
    stride = cairo_image_surface_get_stride(mask);
  }

  const uint32_t ink = dc.DevicePixel(dc.textColor);
  const POINT o = dc.Origin();
  // Pixels without coverage are left as they are: only the inked part is blended.
  if (inked.left >= inked.right) {
    if (mask) cairo_surface_destroy(mask);
    dc.TargetChanged();
    return;
  }
  Region box = Region::Combine(
      area, Region(RECT{left + inked.left, top + inked.top, left + inked.right, top + inked.bottom}),
      Region::Op::And);
  const bool monochrome = dc.IsMonochrome();
  // Most of a mask is blank (the margins, the gaps between strokes): eight blank bytes are passed over
  // at once.
  auto blend = [&](uint32_t& d, uint32_t a) {
    if (a == 255 || monochrome) {
      if (a >= 128) d = (d & 0xFF000000) | ink;
      return;
    }
    uint32_t out = d & 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
      uint32_t fg = (ink >> shift) & 0xFF, bg = (d >> shift) & 0xFF;
      out |= ((fg * a + bg * (255 - a) + 127) / 255) << shift;
    }
    d = out;
  };
  box.ForEachRect([&](int32_t y0, int32_t y1, int32_t x0, int32_t x1) {
    for (int32_t py = y0; py < y1; ++py) {
      uint32_t* row = target->ColorRow32(py + o.y);
      const uint8_t* coverage = data + size_t(py - top) * stride;
      for (int32_t px = x0; px < x1;) {
        const int32_t n = std::min(8, x1 - px);
        if (n == 8) {
          uint64_t eight;
          std::memcpy(&eight, coverage + (px - left), sizeof eight);
          if (eight == 0) {
            px += 8;
            continue;
          }
        }
#ifdef __SSE2__
        if (n == 8 && !monochrome) {
          BlendEight(row + px + o.x, coverage + (px - left), ink);
          px += 8;
          continue;
        }
        if (n > 1 && !monochrome) {
          // The row's last few pixels, blended in a copy padded to eight with blank coverage.
          uint32_t pixels[8] = {};
          uint8_t covered[8] = {};
          std::memcpy(pixels, row + px + o.x, size_t(n) * sizeof(uint32_t));
          std::memcpy(covered, coverage + (px - left), size_t(n));
          BlendEight(pixels, covered, ink);
          std::memcpy(row + px + o.x, pixels, size_t(n) * sizeof(uint32_t));
          px += n;
          continue;
        }
#endif
        for (const int32_t end = px + n; px < end; ++px)
          if (const uint32_t a = coverage[px - left]; a != 0) blend(row[px + o.x], a);
      }
    }
  });
  if (mask) cairo_surface_destroy(mask);
  dc.TargetChanged();
}

}  // namespace plat
