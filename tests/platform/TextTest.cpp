// Fonts, text measurement, DrawText layout and placement, rotated TextOut.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>

#include "platform/FontObject.h"
#include "platform/TextLayout.h"
#include "platform/TextRenderer.h"
#include "tests/platform/RasterTest.h"
#include "tests/platform/RendererScaledFont.h"

namespace plat {
namespace {

using testing::Canvas;

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override { SetTextAntialias(false); }
  void TearDown() override { SetTextAntialias(true); }
  static HFONT Font(int32_t height, const char* face, int32_t escapement = 0, int32_t weight = FW_NORMAL) {
    return CreateFontA(height, 0, escapement, escapement, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
  }
};

TEST_F(TextTest, FaceNamesMapToInstalledFonts) {
  OwnedFont arial(Font(-12, "Arial"));
  OwnedFont sans(Font(-12, "MS Sans Serif"));
  auto family = [](HFONT font) { return static_cast<FontObject*>(GdiObject::FromHandle(font))->Family(); };
  EXPECT_EQ(family(arial.get()), "Liberation Sans");
  EXPECT_EQ(family(sans.get()), "DejaVu Sans");
  LOGFONTA described;
  EXPECT_EQ(GetObject(arial.get(), sizeof described, &described), 60);
  EXPECT_STREQ(described.lfFaceName, "Arial");
  EXPECT_EQ(described.lfHeight, -12);
}

TEST_F(TextTest, ExtentsFollowTheHeightRuleAndTheText) {
  Canvas c(10, 10);
  OwnedFont character(Font(-20, "Arial")), cell(Font(20, "Arial"));
  SIZE a, b, wide, empty;
  SelectObject(c.dc, character.get());
  ASSERT_TRUE(GetTextExtentPoint32W(c.dc, u"Hello", 5, &a));
  GetTextExtentPoint32W(c.dc, u"Hello, world", 12, &wide);
  GetTextExtentPoint32W(c.dc, u"", 0, &empty);
  SelectObject(c.dc, cell.get());
  GetTextExtentPoint32W(c.dc, u"Hello", 5, &b);
  EXPECT_GT(a.cy, 20);  // a character height of 20 makes a taller cell
  EXPECT_EQ(b.cy, 20);  // a cell height of 20 is the cell
  EXPECT_GT(a.cx, b.cx);
  EXPECT_GT(wide.cx, a.cx);
  EXPECT_EQ(empty.cx, 0);
  EXPECT_EQ(empty.cy, a.cy);
  // The narrow form reads Windows-1252: 0x80 is the euro sign.
  SIZE narrow, euro;
  GetTextExtentPoint32A(c.dc, "\x80", 1, &narrow);
  GetTextExtentPoint32W(c.dc, u"\u20AC", 1, &euro);
  EXPECT_EQ(narrow, euro);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
}

TEST_F(TextTest, WordBreakCalcRectReportsLinesAndTheWidestLine) {
  Canvas c(10, 10);
  OwnedFont font(Font(-13, "MS Sans Serif"));
  SelectObject(c.dc, font.get());
  SIZE first, second, line;
  GetTextExtentPoint32W(c.dc, u"Planner", 7, &first);
  GetTextExtentPoint32W(c.dc, u"kitchens", 8, &second);
  GetTextExtentPoint32W(c.dc, u"x", 1, &line);
  RECT r{5, 7, 5 + std::min(first.cx, second.cx) - 1, 8};
  int32_t height = DrawTextW(c.dc, u"Planner kitchens", -1, &r, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(height, 2 * line.cy);
  EXPECT_EQ(r.bottom - r.top, 2 * line.cy);
  EXPECT_EQ(r.right - r.left, std::max(first.cx, second.cx));
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(c.InkBox(), (RECT{}));  // measuring draws nothing
  // Single line: one line whatever the width.
  RECT s{0, 0, 1, 1};
  EXPECT_EQ(DrawTextW(c.dc, u"Planner kitchens", -1, &s, DT_CALCRECT | DT_SINGLELINE), line.cy);
  SIZE whole;
  GetTextExtentPoint32W(c.dc, u"Planner kitchens", 16, &whole);
  EXPECT_EQ(s.right, whole.cx);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
}

TEST_F(TextTest, LayoutBreaksParagraphsWordsAndPrefixes) {
  auto measure = [](std::u16string_view s) { return int32_t(s.size()) * 10; };
  auto texts = [&](std::u16string_view text, UINT format, int32_t width) {
    std::vector<std::u16string> out;
    for (const TextLine& line : LayoutText(text, format, width, measure)) out.push_back(line.text);
    return out;
  };
  using Lines = std::vector<std::u16string>;
  EXPECT_EQ(texts(u"one two three", DT_WORDBREAK, 75), (Lines{u"one two", u"three"}));
  EXPECT_EQ(texts(u"one two three", DT_WORDBREAK, 30), (Lines{u"one", u"two", u"three"}));
  EXPECT_EQ(texts(u"extraordinary", DT_WORDBREAK, 30), (Lines{u"extraordinary"}));  // never split a word
  EXPECT_EQ(texts(u"a\r\nb\nc\rd", 0, 100), (Lines{u"a", u"b", u"c", u"d"}));
  EXPECT_EQ(texts(u"a\r\nb", DT_SINGLELINE, 100), (Lines{u"ab"}));
  EXPECT_EQ(texts(u"&Save && exit", DT_SINGLELINE, 100), (Lines{u"Save & exit"}));
  EXPECT_EQ(texts(u"&Save", DT_SINGLELINE | DT_NOPREFIX, 100), (Lines{u"&Save"}));
  EXPECT_EQ(texts(u"", 0, 100), (Lines{u""}));
  // The first marked character is found on its line, whatever was dropped before it.
  auto marks = [&](std::u16string_view text, UINT format, int32_t width) {
    std::vector<int32_t> out;
    for (const TextLine& line : LayoutText(text, format, width, measure)) out.push_back(line.marked);
    return out;
  };
  using Marks = std::vector<int32_t>;
  EXPECT_EQ(marks(u"one  t&wo &three", DT_WORDBREAK, 30), (Marks{-1, 1, -1}));
  EXPECT_EQ(marks(u"a\r\n&b", DT_SINGLELINE, 100), (Marks{1}));
  EXPECT_EQ(marks(u"&&a &b", 0, 100), (Marks{3}));
  EXPECT_EQ(marks(u"&b", DT_NOPREFIX, 100), (Marks{-1}));
  // Each broken line carries the measure of its own text, whether its last word was measured while
  // it grew or was taken without measuring (a first word, trailing blanks), with runs of spaces.
  auto uneven = [](std::u16string_view s) {
    int32_t w = 0;
    for (char16_t c : s) w += c == u' ' ? 3 : (c == u'w' ? 17 : 9);
    return w;
  };
  for (std::u16string_view text :
       {u"  wide  ww   a bb ccc w  ", u"w", u"ww  www wwww", u"a b c d e f g h i j"}) {
    for (int32_t width : {0, 20, 45, 80, 1000}) {
      for (const TextLine& line : LayoutText(text, DT_WORDBREAK, width, uneven))
        EXPECT_EQ(line.width, uneven(line.text))
            << "\"" << std::string(line.text.begin(), line.text.end()) << "\" at " << width;
    }
  }
}

TEST_F(TextTest, WidthsAreTheAdvancesCairoMeasuresForTheWholeString) {
  // Widths come from advances kept per character; they must be the very numbers cairo's own
  // measuring of the whole string gives, in faces and sizes whose advances are fractional or hinted
  // to whole pixels, with antialiasing (which changes the hinting) switched between measurements of
  // one font, for Latin, other scripts, characters beyond 16 bits, unpaired surrogates, and text
  // cut at a NUL as a C string is.
  const std::u16string texts[] = {u"Interior door 90 cm",
                                  u"Interior door 9\u2026",
                                  u"WWWWiiii....",
                                  u"\u00c5ngstr\u00f6m \u0141\u00f3d\u017a \u0219",
                                  u"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac \u0420\u0443\u0441",
                                  u"\u4e2d\u6587 \u2192 \U0001F600x",
                                  std::u16string(u"a\xD800"
                                                 u"b\xDC00"
                                                 u"c"),
                                  std::u16string(u"kept\0lost", 9),
                                  u"a"};
  struct Face {
    int32_t height;
    const char* name;
    int32_t weight;
    double scale;
  };
  for (const Face& face :
       {Face{-11, "MS Sans Serif", FW_NORMAL, 1.0}, Face{12, "Arial", FW_BOLD, 1.0},
        Face{-37, "Times New Roman", FW_NORMAL, 0.37}, Face{-13, "Courier New", FW_NORMAL, 2.5}}) {
    OwnedFont handle(Font(face.height, face.name, 0, face.weight));
    auto& font = *static_cast<FontObject*>(GdiObject::FromHandle(handle.get()));
    for (bool antialias : {false, true, false, true}) {
      SetTextAntialias(antialias);
      // The scaled font cairo measures with, made as the renderer makes its own.
      cairo_scaled_font_t* scaled = testing::RendererScaledFont(font, face.scale, antialias);
      for (const std::u16string& text : texts) {
        cairo_text_extents_t extents;
        cairo_scaled_font_text_extents(scaled, Utf16ToUtf8(text).c_str(), &extents);
        const TextRenderer renderer(font, face.scale);
        EXPECT_EQ(renderer.Width(text), int32_t(std::lround(extents.x_advance)))
            << face.name << " " << face.height << " antialias " << antialias << " " << Utf16ToUtf8(text);
      }
      cairo_scaled_font_destroy(scaled);
    }
  }
}

TEST_F(TextTest, DrawTextPlacesLinesByTheFormatAndClips) {
  OwnedFont font(Font(-16, "Arial"));
  RECT area{10, 10, 190, 50};
  auto draw = [&](UINT format) {
    auto c = std::make_unique<Canvas>(200, 60);
    SelectObject(c->dc, font.get());
    SetBkMode(c->dc, TRANSPARENT);
    RECT r = area;
    DrawTextW(c->dc, u"Wall", -1, &r, format);
    SelectObject(c->dc, GetStockObject(SYSTEM_FONT));
    return c->InkBox();
  };
  RECT left = draw(DT_SINGLELINE), centred = draw(DT_SINGLELINE | DT_CENTER | DT_VCENTER),
       right = draw(DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
  EXPECT_GE(left.left, 10);
  EXPECT_LE(left.left, 13);
  EXPECT_GE(left.top, 10);
  EXPECT_NEAR((centred.left + centred.right) / 2, 100, 3);
  EXPECT_NEAR((centred.top + centred.bottom) / 2, 30, 4);
  EXPECT_LE(right.right, 190);
  EXPECT_GE(right.right, 186);
  EXPECT_LE(right.bottom, 50);
  EXPECT_GT(right.top, centred.top);

  // Clipped to the rectangle unless NOCLIP; an opaque background fills the text cell.
  Canvas c(200, 60);
  SelectObject(c.dc, font.get());
  SetBkColor(c.dc, RGB(255, 255, 0));
  RECT tight{10, 10, 20, 50};
  DrawTextW(c.dc, u"Wall", -1, &tight, DT_SINGLELINE);
  RECT ink = c.InkBox();
  EXPECT_EQ(ink.left, 10);
  EXPECT_EQ(ink.right, 20);
  EXPECT_EQ(c.At(10, 10), 0xFFFF00u);
  Canvas free(200, 60);
  SelectObject(free.dc, font.get());
  DrawTextW(free.dc, u"Wall", -1, &tight, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(free.InkBox().right, 20);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  SelectObject(free.dc, GetStockObject(SYSTEM_FONT));
}

TEST_F(TextTest, DrawingAtAPointShowsWhatMeasuringThenDrawingInTheRectangleFoundShows) {
  // The same pixels as DT_CALCRECT from the point and then DrawText into that rectangle: on a plain
  // and a scaled context, opaque and transparent, with an italic face whose letters overhang the
  // rectangle (so the clip to it shows), for one and several lines, prefixes and broken words.
  OwnedFont italic(CreateFontA(-15, 0, 0, 0, FW_NORMAL, 1, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
  struct Case {
    const char16_t* text;
    UINT format;
  };
  const Case cases[] = {{u"125", DT_NOPREFIX},
                        {u"Wall &fjord\nsecond line", 0},
                        {u"right & centre", DT_NOPREFIX | DT_CENTER},
                        {u"a few words to break", DT_WORDBREAK}};
  for (const bool scaled : {false, true}) {
    for (const int32_t background : {TRANSPARENT, OPAQUE}) {
      for (const Case& one : cases) {
        auto draw = [&](bool atPoint) {
          auto c = std::make_unique<Canvas>(170, 90);
          if (scaled) {
            SetMapMode(c->dc, MM_ISOTROPIC);
            SetWindowExtEx(c->dc, 2, 2, nullptr);
            SetViewportExtEx(c->dc, 3, 3, nullptr);
          }
          SelectObject(c->dc, italic.get());
          SetBkMode(c->dc, background);
          SetBkColor(c->dc, RGB(255, 255, 0));
          if (atPoint) {
            DrawTextAtW(c->dc, 7, 5, one.text, -1, one.format);
          } else {
            RECT r{0, 0, 0, 0};
            DrawTextW(c->dc, one.text, -1, &r, one.format | DT_CALCRECT);
            RECT at{7, 5, 7 + (r.right - r.left), 5 + (r.bottom - r.top)};
            DrawTextW(c->dc, one.text, -1, &at, one.format);
          }
          SelectObject(c->dc, GetStockObject(SYSTEM_FONT));
          return c;
        };
        const auto twice = draw(false), once = draw(true);
        EXPECT_NE(twice->InkBox(), RECT{});
        EXPECT_TRUE(twice->Snapshot() == once->Snapshot())
            << (scaled ? "scaled " : "plain ") << (background == OPAQUE ? "opaque " : "transparent ")
            << "format " << one.format << " ink " << once->InkBox().right << " against "
            << twice->InkBox().right;
      }
    }
  }
}

TEST_F(TextTest, TextOutTurnsAboutItsStartByTheEscapement) {
  OwnedFont flat(Font(-16, "Arial")), up(Font(-16, "Arial", 900));
  Canvas a(120, 120), b(120, 120);
  SetBkMode(a.dc, TRANSPARENT);
  SetBkMode(b.dc, TRANSPARENT);
  SelectObject(a.dc, flat.get());
  SelectObject(b.dc, up.get());
  SIZE size;
  GetTextExtentPoint32W(a.dc, u"Corner", 6, &size);
  TextOutW(a.dc, 60, 60, u"Corner", 6);
  TextOutW(b.dc, 60, 60, u"Corner", 6);
  RECT h = a.InkBox(), v = b.InkBox();
  // Level text runs right and down from its start; turned a quarter counter-clockwise it runs up,
  // its cell lying to the right of the start.
  EXPECT_GE(h.left, 60);
  EXPECT_GE(h.top, 60);
  EXPECT_NEAR(h.right - h.left, size.cx, 3);
  EXPECT_LE(v.bottom, 61);
  EXPECT_GE(v.left, 60);
  EXPECT_NEAR(v.bottom - v.top, size.cx, 3);
  EXPECT_NEAR(v.right - v.left, h.bottom - h.top, 2);
  SelectObject(a.dc, GetStockObject(SYSTEM_FONT));
  SelectObject(b.dc, GetStockObject(SYSTEM_FONT));
}

}  // namespace
}  // namespace plat
