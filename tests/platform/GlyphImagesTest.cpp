// Text copied from kept glyph images against the same text drawn by cairo, pixel for pixel.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/FontObject.h"
#include "platform/GdiInternal.h"
#include "platform/GlyphImages.h"
#include "platform/TextRenderer.h"
#include "tests/platform/RasterTest.h"
#include "tests/platform/RendererScaledFont.h"

namespace plat {
namespace {

struct Face {
  const char* name;
  int32_t weight;
  bool italic;
};

LOGFONTA Described(const Face& face, int32_t height) {
  LOGFONTA log{};
  log.lfHeight = height;
  log.lfWeight = face.weight;
  log.lfItalic = face.italic ? 1 : 0;
  std::strncpy(log.lfFaceName, face.name, LF_FACESIZE - 1);
  return log;
}

// A mask of the given size with `text` shown by cairo from the pen (x, y).
std::vector<uint8_t> DrawnByCairo(cairo_scaled_font_t* scaled, std::u16string_view text, int32_t width,
                                  int32_t height, int32_t x, int32_t y) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_scaled_font(cr, scaled);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, Utf16ToUtf8(text).c_str());
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  std::vector<uint8_t> out(size_t(width) * size_t(height));
  const int32_t stride = cairo_image_surface_get_stride(surface);
  for (int32_t row = 0; row < height; ++row)
    std::memcpy(out.data() + size_t(row) * size_t(width),
                cairo_image_surface_get_data(surface) + size_t(row) * size_t(stride), size_t(width));
  cairo_surface_destroy(surface);
  return out;
}

cairo_scaled_font_t* ScaledFont(FontObject& font, bool antialias) {
  return testing::RendererScaledFont(font, 1.0, antialias);
}

// The blending tests' text, its colour and where it stands on their 300x40 canvas.
constexpr char16_t kBlendedText[] = u"Wavy fjord, quiet kitchen 1470";
constexpr uint32_t kInk = 0xC81E5A;  // RGB(200, 30, 90) as a pixel
constexpr int32_t kTextX = 7, kTextY = 9;

// The blending tests' text drawn transparently in `font` (selected only while drawing).
void DrawBlendedText(testing::Canvas& canvas, HFONT font) {
  SelectObject(canvas.dc, font);
  SetBkMode(canvas.dc, TRANSPARENT);
  SetTextColor(canvas.dc, RGB(200, 30, 90));
  TextOutW(canvas.dc, kTextX, kTextY, kBlendedText,
           int32_t(std::char_traits<char16_t>::length(kBlendedText)));
  SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
}

// Cairo's antialiased coverage (0-255) of the blending tests' text, a byte a pixel of the canvas.
std::vector<uint8_t> BlendedTextCoverage(FontObject& font) {
  TextRenderer renderer(font, 1.0);
  cairo_scaled_font_t* scaled = ScaledFont(font, true);
  std::vector<uint8_t> coverage =
      DrawnByCairo(scaled, kBlendedText, 300, 40, kTextX, kTextY + renderer.Ascent());
  cairo_scaled_font_destroy(scaled);
  return coverage;
}

// `under` moved towards kInk by coverage `a` in each colour; its unused byte cleared.
uint32_t BlendedTowardsInk(uint32_t under, uint32_t a) {
  uint32_t want = 0;
  for (int shift = 0; shift < 24; shift += 8)
    want |= ((((kInk >> shift) & 0xFF) * a + ((under >> shift) & 0xFF) * (255 - a) + 127) / 255) << shift;
  return want;
}

// Compares the copy with cairo's drawing; answers whether the copy was made at all.
bool SameAsCairo(FontObject& font, bool antialias, std::u16string_view text, int32_t width, int32_t height,
                 int32_t x, int32_t y) {
  const double em = font.EmSize(1.0);
  cairo_scaled_font_t* scaled = ScaledFont(font, antialias);
  std::vector<uint8_t> copied(size_t(width) * size_t(height), 0);
  GlyphImages::Inked inked;
  const bool drawn =
      GlyphImages::DrawWith(scaled, text, em, {copied.data(), width, height, width}, x, y, &inked);
  if (drawn) {
    const std::vector<uint8_t> expected = DrawnByCairo(scaled, text, width, height, x, y);
    size_t differ = 0, outside = 0;
    for (int32_t row = 0; row < height; ++row) {
      for (int32_t column = 0; column < width; ++column) {
        const size_t i = size_t(row) * size_t(width) + size_t(column);
        differ += copied[i] != expected[i];
        // The part reported written holds every covered pixel (the painter blends only that part).
        outside += copied[i] != 0 &&
                   (column < inked.left || column >= inked.right || row < inked.top || row >= inked.bottom);
      }
    }
    EXPECT_EQ(differ, 0u) << Utf16ToUtf8(text) << " in " << font.Family() << " at " << em
                          << (antialias ? " antialiased" : " plain") << " from " << x << "," << y;
    EXPECT_EQ(outside, 0u) << Utf16ToUtf8(text) << " covers pixels outside the part reported written";
  }
  cairo_scaled_font_destroy(scaled);
  return drawn;
}

class GlyphImagesTest : public ::testing::Test {};

// Random strings of characters that overhang their neighbours (italics, W, f, j, quotes), accents,
// the ellipsis and blanks, in several faces, sizes and both antialiasings: the copies cairo's
// compositing would lay down, where glyph boxes overlap and where they do not.
TEST_F(GlyphImagesTest, CopiesMatchCairoAcrossFacesSizesAndNeighbours) {
  const Face faces[] = {{"MS Sans Serif", 400, false},
                        {"Arial", 700, false},
                        {"Times New Roman", 400, true},
                        {"Courier New", 400, false}};
  const std::u16string alphabet = u"WAVTfjy.,'\"ffiLo rtvwx1470éÅ…ÆgQ_-|/\\()";
  std::mt19937 random(20261208);
  int32_t tried = 0, copied = 0;
  for (const Face& face : faces) {
    for (int32_t height : {-7, -9, -11, -13, -17, -24, 16}) {
      FontObject font(Described(face, height));
      for (bool antialias : {true, false}) {
        for (int32_t n = 0; n < 40; ++n) {
          std::u16string text;
          const size_t length = 1 + random() % 12;
          for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
          ++tried;
          copied += SameAsCairo(font, antialias, text, 400, 60, 5 + int32_t(random() % 3), 40);
        }
      }
    }
  }
  // The copy is the rule, cairo the exception.
  EXPECT_GT(copied, tried * 9 / 10);
}

// Glyphs cut by the mask's edges, pens outside it, and text running far past it.
TEST_F(GlyphImagesTest, CopiesMatchCairoWhereTheMaskCutsTheText) {
  FontObject font(Described({"Times New Roman", 400, true}, -15));
  const std::u16string longLine = u"ffffWWWW jjjj ffffWWWW jjjj ffffWWWW jjjj ffffWWWW jjjj ffff";
  for (bool antialias : {true, false}) {
    EXPECT_TRUE(SameAsCairo(font, antialias, longLine, 60, 20, -40, 14));
    EXPECT_TRUE(SameAsCairo(font, antialias, longLine, 30, 20, -400, 14));
    EXPECT_TRUE(SameAsCairo(font, antialias, u"fW", 12, 8, 3, 4));
    EXPECT_TRUE(SameAsCairo(font, antialias, u"W.W", 40, 30, 10, 200));
    EXPECT_TRUE(SameAsCairo(font, antialias, u"Wff", 40, 30, 10, -170));
  }
}

// A line of hundreds of large characters met for the first time, wider together than any one cairo
// surface may be: their images are made in several drawings, and every one of them is copied as
// cairo draws it.
TEST_F(GlyphImagesTest, ManyNewCharactersAtOnceAreAllMadeAndCopied) {
  FontObject font(Described({"MS Sans Serif", 400, false}, -200));
  std::u16string text;
  for (char16_t c = 0x100; c < 0x250; ++c) text += c;  // Latin Extended
  for (char16_t c = 0x410; c < 0x450; ++c) text += c;  // Cyrillic
  EXPECT_TRUE(SameAsCairo(font, true, text, 400, 300, 4, 220));
  EXPECT_TRUE(SameAsCairo(font, true, text.substr(300), 400, 300, 4, 220));
}

// Text ends at its first NUL as cairo's C strings do; blanks alone draw nothing.
TEST_F(GlyphImagesTest, TextEndsAtItsFirstNulAndBlanksDrawNothing) {
  FontObject font(Described({"MS Sans Serif", 400, false}, -12));
  const double em = font.EmSize(1.0);
  cairo_scaled_font_t* scaled = ScaledFont(font, true);
  std::vector<uint8_t> whole(100 * 20, 0), cut(100 * 20, 0), blank(100 * 20, 0);
  ASSERT_TRUE(GlyphImages::DrawWith(scaled, u"Ab", em, {whole.data(), 100, 20, 100}, 2, 15));
  ASSERT_TRUE(GlyphImages::DrawWith(scaled, std::u16string_view(u"Ab\0cd", 5), em, {cut.data(), 100, 20, 100},
                                    2, 15));
  ASSERT_TRUE(GlyphImages::DrawWith(scaled, u"   ", em, {blank.data(), 100, 20, 100}, 2, 15));
  EXPECT_EQ(cut, whole);
  EXPECT_EQ(blank, std::vector<uint8_t>(100 * 20, 0));
  cairo_scaled_font_destroy(scaled);
}

// Antialiased text in a colour over a patterned background: every pixel is the background blended
// towards the ink by the coverage cairo draws for it, (ink * a + pixel * (255 - a) + 127) / 255 in
// each colour, whether eight pixels are blended at once or one by one.
TEST_F(GlyphImagesTest, TextBlendsEveryPixelTowardsTheInkByItsCoverage) {
  SetTextAntialias(true);
  OwnedFont handle(CreateFontA(-15, 0, 0, 0, 400, 1, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Times New Roman"));
  auto& font = *static_cast<FontObject*>(GdiObject::FromHandle(handle.get()));
  testing::Canvas canvas(300, 40);
  canvas.FillPattern();
  const std::vector<uint32_t> before = canvas.Snapshot();
  DrawBlendedText(canvas, handle.get());

  const std::vector<uint8_t> coverage = BlendedTextCoverage(font);
  int32_t blended = 0;
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 300; ++x) {
      const uint32_t a = coverage[size_t(y) * 300 + size_t(x)], under = before[size_t(y) * 300 + size_t(x)];
      ASSERT_EQ(canvas.At(x, y), BlendedTowardsInk(under, a)) << x << ", " << y << " at coverage " << a;
      blended += a > 0 && a < 255;
    }
  }
  EXPECT_GT(blended, 100);
}

// The same text through a clip of strips 1 to 9 pixels wide (so that rows end in every count of
// pixels short of eight) over pixels whose unused byte is set: inside the clip each pixel is blended
// as above, outside it nothing changes, and the unused byte of every pixel stays as it was.
TEST_F(GlyphImagesTest, ClippedTextBlendsEveryStripWidthAndKeepsTheUnusedByte) {
  SetTextAntialias(true);
  OwnedFont handle(CreateFontA(-15, 0, 0, 0, 400, 1, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Times New Roman"));
  auto& font = *static_cast<FontObject*>(GdiObject::FromHandle(handle.get()));
  testing::Canvas canvas(300, 40);
  canvas.FillPattern();
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 300; ++x) canvas.surface.Row32(y)[x] |= uint32_t((x * 7 + y * 13) & 0xFF) << 24;
  std::vector<uint32_t> before;
  for (int32_t y = 0; y < 40; ++y)
    before.insert(before.end(), canvas.surface.Row32(y), canvas.surface.Row32(y) + 300);
  // Strips of every width from 1 to 9 pixels, then one wide strip.
  std::vector<RECT> strips;
  for (int32_t width = 1, x = 8; width <= 9; x += width + 3, ++width) strips.push_back({x, 0, x + width, 40});
  strips.push_back({100, 0, 291, 40});
  OwnedRegion clip(CreateRectRgn(0, 0, 0, 0));
  for (const RECT& strip : strips) {
    OwnedRegion one(CreateRectRgn(strip.left, strip.top, strip.right, strip.bottom));
    CombineRgn(clip.get(), clip.get(), one.get(), RGN_OR);
  }
  SelectClipRgn(canvas.dc, clip.get());
  DrawBlendedText(canvas, handle.get());

  const std::vector<uint8_t> coverage = BlendedTextCoverage(font);
  auto inClip = [&](int32_t x) {
    return std::any_of(strips.begin(), strips.end(),
                       [&](const RECT& r) { return x >= r.left && x < r.right; });
  };
  int32_t blended = 0;
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 300; ++x) {
      const uint32_t under = before[size_t(y) * 300 + size_t(x)], now = canvas.surface.Row32(y)[x];
      const uint32_t a = inClip(x) ? coverage[size_t(y) * 300 + size_t(x)] : 0;
      const uint32_t want = (under & 0xFF000000) | BlendedTowardsInk(under, a);
      ASSERT_EQ(now, want) << x << ", " << y << " at coverage " << a;
      blended += a > 0 && x < 100;
    }
  }
  EXPECT_GT(blended, 20);  // the narrow strips do cut through the text
}

// Underlined, struck-out text with a mnemonic mark, laid from glyph images with its lines filled in:
// the same pixels as cairo filling the lines' rectangles over its own drawing of the text.
TEST_F(GlyphImagesTest, LinesAreFilledAsCairoFillsThem) {
  for (bool antialias : {true, false}) {
    SetTextAntialias(antialias);
    OwnedFont handle(CreateFontA(-17, 0, 0, 0, 400, 0, 1, 1, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    auto& font = *static_cast<FontObject*>(GdiObject::FromHandle(handle.get()));
    const std::u16string text = u"Plan of the kitchen";
    testing::Canvas canvas(240, 40);
    SelectObject(canvas.dc, handle.get());
    SetBkMode(canvas.dc, TRANSPARENT);
    TextRenderer renderer(font, 1.0);
    renderer.Paint(*LiveDc(canvas.dc), 6, 8, text, nullptr, 5);
    SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));

    cairo_scaled_font_t* scaled = ScaledFont(font, antialias);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 240, 40);
    cairo_t* cr = cairo_create(surface);
    cairo_set_scaled_font(cr, scaled);
    cairo_translate(cr, 6, 8);
    cairo_move_to(cr, 0, renderer.Ascent());
    cairo_show_text(cr, Utf16ToUtf8(text).c_str());
    const double em = font.EmSize(1.0), thickness = std::max(1.0, std::round(em / 14));
    const double underline = renderer.Ascent() + std::round(em / 10), width = renderer.Width(text);
    const double from = renderer.Width(text.substr(0, 5)), to = renderer.Width(text.substr(0, 6));
    cairo_set_antialias(cr, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_rectangle(cr, 0, underline, width, thickness);
    cairo_rectangle(cr, 0, std::round(renderer.Ascent() * 0.65), width, thickness);
    cairo_rectangle(cr, from, underline, to - from, thickness);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    for (int32_t y = 0; y < 40; ++y) {
      for (int32_t x = 0; x < 240; ++x) {
        const uint32_t a =
            cairo_image_surface_get_data(surface)[y * cairo_image_surface_get_stride(surface) + x];
        const uint32_t grey = 255 - (antialias ? a : (a >= 128 ? 255 : 0));
        ASSERT_EQ(canvas.At(x, y), grey * 0x010101u) << x << ", " << y << (antialias ? " antialiased" : "");
      }
    }
    cairo_surface_destroy(surface);
    cairo_scaled_font_destroy(scaled);
  }
  SetTextAntialias(true);
}

}  // namespace
}  // namespace plat
