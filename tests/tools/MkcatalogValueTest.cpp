// The demo settings builder's value parsers and blob notation read cell by cell, and small source
// folders built whole: what each notation accepts, where each range ends, and that every refusal
// names its file, line and the reason.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/mkcatalog/BlobNotation.h"
#include "tools/mkcatalog/Mkcatalog.h"
#include "tools/mkcatalog/TabSource.h"
#include "tools/mkcatalog/ValueText.h"

namespace {

namespace fs = std::filesystem;
using mkcatalog::Blob;
using mkcatalog::ParseBlob;

TEST(MkcatalogValues, WordsTakeTheWholeThirtyTwoBitRangeAndNothingBeyond) {
  struct Case {
    const char* text;
    std::optional<int32_t> word;
  };
  const Case cases[] = {
      {"0", 0},
      {"12", 12},
      {"-3", -3},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"-2147483649", std::nullopt},
      // Large decimals and hexadecimals are bit patterns up to 32 bits.
      {"4294967295", -1},
      {"2147483648", INT32_MIN},
      {"4294967296", std::nullopt},
      {"0xFFFFFFFF", -1},
      {"0x80000000", INT32_MIN},
      {"0X1f", 31},
      {"0x100000000", std::nullopt},
      {"-0x1", std::nullopt},
      {"0x", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"+5", std::nullopt},
      {" 5", std::nullopt},
      {"5 ", std::nullopt},
      {"12a", std::nullopt},
      {"1.0", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(mkcatalog::ParseWord(c.text), c.word) << "'" << c.text << "'";
}

TEST(MkcatalogValues, MoneyIsReadInTenThousandthsWithItsSign) {
  struct Case {
    const char* text;
    std::optional<int64_t> raw;
  };
  const Case cases[] = {
      {"1695.00", 16950000},
      {"12.5", 125000},
      {"-3.25", -32500},
      // The sign of the whole part carries to the decimals even when the whole part is zero.
      {"-0.5", -5000},
      {"-0.0001", -1},
      {"0.0001", 1},
      {"7", 70000},
      {"-7", -70000},
      {"100000000000000", 1'000'000'000'000'000'000},
      {"-100000000000000.9999", -1'000'000'000'000'009'999},
      {"100000000000001", std::nullopt},
      {"1.23456", std::nullopt},
      {"1.", std::nullopt},
      {".5", std::nullopt},
      {"-", std::nullopt},
      {"-.5", std::nullopt},
      {"", std::nullopt},
      {"1.-5", std::nullopt},
      {"1.5x", std::nullopt},
      {"16.95.00", std::nullopt},
      {"1e3", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(mkcatalog::ParseMoney(c.text), c.raw) << "'" << c.text << "'";
}

TEST(MkcatalogValues, ColourPercentagesGoToTheirBytesAndStopAtOneHundred) {
  struct Case {
    const char* text;
    bool accepted;
    uint32_t rgb;  // red, green, blue as the top three bytes; the low byte is not looked at here
  };
  const Case cases[] = {
      {"rgb:100,0,0", true, 0x640000}, {"rgb:0,100,0", true, 0x006400},
      {"rgb:0,0,100", true, 0x000064}, {"rgb:96,95,93", true, 0x605F5D},
      {"rgb:0,0,0", true, 0},          {"rgb:101,0,0", false, 0},
      {"rgb:0,101,0", false, 0},       {"rgb:0,0,101", false, 0},
      {"rgb:-1,0,0", false, 0},        {"rgb:1,2", false, 0},
      {"rgb:1,,2", false, 0},          {"rgb:", false, 0},
      {"RGB:1,2,3", false, 0},         {"1,2,3", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<int32_t> packed = mkcatalog::ParsePercentColour(c.text);
    ASSERT_EQ(packed.has_value(), c.accepted);
    if (packed) {
      EXPECT_EQ(uint32_t(*packed) >> 8, c.rgb);
    }
  }
}

TEST(MkcatalogValues, RealsAndFourCharacterCodes) {
  EXPECT_EQ(mkcatalog::ParseReal("720.0"), 720.0);
  EXPECT_EQ(mkcatalog::ParseReal("-2e3"), -2000.0);
  for (const char* bad : {"", "72O.0", "1.5x", " 1"})
    EXPECT_EQ(mkcatalog::ParseReal(bad), std::nullopt) << bad;
  EXPECT_EQ(mkcatalog::ParseFourCharCode("VHKT"), 0x56484B54u);
  EXPECT_EQ(mkcatalog::ParseFourCharCode("\xff\x01\x02\x03"), 0xFF010203u);
  for (const char* bad : {"", "VHK", "VHKTX"})
    EXPECT_EQ(mkcatalog::ParseFourCharCode(bad), std::nullopt) << bad;
}

// Record ids by layout and name, as the database being built would give them.
class Names : public mkcatalog::BlobContext {
 public:
  int32_t RecordId(const std::string& layout, const std::string& name) override {
    const auto found = ids.find(layout + ":" + name);
    if (found == ids.end()) throw std::invalid_argument("no " + layout + " record named '" + name + "'");
    return found->second;
  }
  std::vector<uint8_t> EmbeddedTable(const std::string& path) override { return {uint8_t(path.size())}; }
  std::vector<uint8_t> FileBytes(const std::string& path) override { return {path.begin(), path.end()}; }

  std::map<std::string, int32_t> ids{{"qxShape:rect", 7}, {"qxUnit:big", 2000000000}};
};

template <typename T>
std::vector<uint8_t> BytesOf(std::initializer_list<T> values) {
  std::vector<uint8_t> out;
  for (T v : values) {
    uint8_t b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T));
    out.insert(out.end(), b, b + sizeof(T));
  }
  return out;
}

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(MkcatalogBlobs, EveryWordFormWritesItsBytesAndEntries) {
  struct Case {
    const char* cell;
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> sizes;
    int32_t firstWord, secondWord;
    const char* firstLayout;
  };
  const Case cases[] = {
      {"words: 12 -3 0x100000", BytesOf<int32_t>({12, -3, 0x100000}), {12}, 12, -3, ""},
      {"words: 2147483647 -2147483648 0xFFFFFFFF",
       BytesOf<int32_t>({INT32_MAX, INT32_MIN, -1}),
       {12},
       INT32_MAX,
       INT32_MIN,
       ""},
      {"words: 1.5 2e3 600f", BytesOf<float>({1.5f, 2000.0f, 600.0f}), {12}, 1, 2000, ""},
      {"words: -2.5d 4", Concat(BytesOf<double>({-2.5}), BytesOf<int32_t>({4})), {12}, -2, 4, ""},
      {"words: qxShape:rect 1; qxShape:rect*3+2; 5",
       BytesOf<int32_t>({7, 1, 23, 5}),
       {8, 4, 4},
       7,
       1,
       "qxShape"},
      {"words: -2147483647.0", BytesOf<float>({-2147483647.0f}), {4}, INT32_MIN, 0, ""},
      {"points: 1 2; 3.5 -4", BytesOf<float>({1, 2, 3.5f, -4}), {8, 8}, 1, 2, ""},
      {"points:1 2;3 4 ", BytesOf<float>({1, 2, 3, 4}), {8, 8}, 1, 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cell);
    Names names;
    const Blob blob = ParseBlob(c.cell, names);
    EXPECT_EQ(blob.bytes, c.bytes);
    ASSERT_EQ(blob.entries.size(), c.sizes.size());
    for (size_t i = 0; i < c.sizes.size(); ++i) EXPECT_EQ(blob.entries[i].size, c.sizes[i]) << i;
    EXPECT_EQ(blob.entries[0].firstWord, c.firstWord);
    EXPECT_EQ(blob.entries[0].secondWord, c.secondWord);
    EXPECT_EQ(blob.entries[0].firstLayout, c.firstLayout);
  }
  Names names;
  EXPECT_TRUE(ParseBlob("", names).bytes.empty());
  EXPECT_EQ(ParseBlob("file: ab", names).bytes, (std::vector<uint8_t>{'a', 'b'}));
  EXPECT_TRUE(ParseBlob("file: ab", names).entries.empty());
}

// Values whose 32-bit word (or float) cannot be formed are refused with a reason, never converted.
TEST(MkcatalogBlobs, WordsAndPointsOutsideTheirRangeAreRefused) {
  struct Case {
    const char* cell;
    const char* reason;
  };
  const Case cases[] = {
      {"words: 1e30", "'1e30' lies outside the 32-bit range"},
      {"words: 1e10", "'1e10' lies outside the 32-bit range"},
      {"words: 2147483648.0", "outside the 32-bit range"},
      {"words: 2147483600.0", "outside the 32-bit range"},  // rounds up to 2^31 as a float
      {"words: -2147483904.0", "outside the 32-bit range"},
      {"words: nan", "'nan' is not a number"},
      {"words: nanf", "'nan' is not a finite number"},
      {"words: -infinity", "not a finite number"},
      {"words: 1e400", "not a number"},
      {"words: 1e10d", "'1e10d' lies outside the 32-bit range"},
      {"words: nand", "'nand' is not a finite number"},
      {"words: 3 -2147483649.5d", "outside the 32-bit range"},
      {"words: 4294967296", "'4294967296' is not a number"},
      {"words: -2147483649", "is not a number"},
      {"points: 1e30 0", "'1e30' lies outside the 32-bit range"},
      {"points: 0 nan", "'nan' is not a finite number"},
      {"points: 0 0; 1e10 5", "'1e10' lies outside the 32-bit range"},
      {"words: qxUnit:big*2", "'qxUnit:big*2' is out of range"},
      {"words: qxUnit:big+2000000000", "out of range"},
      {"words: qxShape:none", "no qxShape record named 'none'"},
      {"words: qxShape:rect*x", "bad factor after '*'"},
      {"words: 1;;2", "an empty entry between ';'"},
      {"words:", "no entries"},
      {"words 1", "a blob is \"<kind>: ...\""},
      {"word: 1", "unknown blob kind 'word'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cell);
    Names names;
    try {
      ParseBlob(c.cell, names);
      ADD_FAILURE() << "accepted";
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
  }
}

// A generated picture decoded to 0xRRGGBB pixels, row by row from the top.
struct Decoded {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

Decoded Decode(const std::vector<uint8_t>& png) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Decoded out;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return out;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return out;
  out.width = int32_t(image.width), out.height = int32_t(image.height);
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    out.pixels.push_back(uint32_t(rgb[i]) << 16 | uint32_t(rgb[i + 1]) << 8 | rgb[i + 2]);
  return out;
}

// The button pictures: a one-pixel border and a symbol in the colour on the lighter field, the same
// bytes for the same description.
TEST(MkcatalogBlobs, ButtonPicturesDrawTheirSymbolInsideAFrame) {
  constexpr uint32_t kColour = 0x204080, kField = 0x8F9FBF;  // the field: halfway to white
  struct Case {
    const char* kind;
    std::vector<std::pair<int32_t, int32_t>> onSymbol, offSymbol;  // (x, y) from the top left
  } cases[] = {
      {"plus", {{12, 12}, {5, 11}, {11, 5}, {18, 12}}, {{6, 6}, {17, 17}, {2, 12}}},
      {"minus", {{12, 12}, {5, 11}, {18, 12}}, {{11, 5}, {12, 18}, {2, 12}}},
      {"turn", {{5, 12}, {12, 18}, {17, 13}, {13, 2}}, {{12, 12}, {18, 4}, {2, 2}}},
      // The turn mirrored about the middle column (x to 23 - x).
      {"back", {{18, 12}, {11, 18}, {6, 13}, {10, 2}}, {{11, 12}, {5, 4}, {21, 2}}},
      {"home", {{11, 5}, {5, 11}, {7, 17}, {15, 17}}, {{4, 14}, {11, 16}, {12, 3}}},
      {"lines", {{5, 6}, {18, 7}, {12, 11}, {12, 17}}, {{12, 9}, {12, 14}, {2, 11}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    Names names;
    const std::string cell = std::string("png: ") + c.kind + " 24 #204080";
    const std::vector<uint8_t> bytes = ParseBlob(cell, names).bytes;
    EXPECT_EQ(ParseBlob(cell, names).bytes, bytes);
    const Decoded picture = Decode(bytes);
    ASSERT_EQ(picture.width, 24);
    ASSERT_EQ(picture.height, 24);
    for (int32_t i = 0; i < 24; ++i) {
      EXPECT_EQ(picture.At(i, 0), kColour);
      EXPECT_EQ(picture.At(0, i), kColour);
      EXPECT_EQ(picture.At(i, 23), kColour);
      EXPECT_EQ(picture.At(23, i), kColour);
    }
    for (auto [x, y] : c.onSymbol) EXPECT_EQ(picture.At(x, y), kColour) << x << "," << y;
    for (auto [x, y] : c.offSymbol) EXPECT_EQ(picture.At(x, y), kField) << x << "," << y;
  }
  Names names;
  try {
    ParseBlob("png: star 24 #204080", names);
    ADD_FAILURE() << "accepted";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("plus, minus, turn, back, home, lines"), std::string::npos)
        << e.what();
  }
}

// The drawn pictures (buttons, unit fronts, texts): the same bytes from run to run, each kind a
// picture of its own, a button's border in its colour, texts that are given or refused by kind, and a
// drawing of many colours stored as red, green and blue.
TEST(MkcatalogBlobs, DrawnPicturesAreTheirOwnAndTheSameEveryRun) {
  const auto make = [](const std::string& cell) {
    Names names;
    return ParseBlob(cell, names).bytes;
  };
  std::map<std::vector<uint32_t>, std::string> seen;
  const auto distinct = [&](const std::string& cell, const Decoded& picture) {
    const auto [at, added] = seen.emplace(picture.pixels, cell);
    EXPECT_TRUE(added) << cell << " looks like " << at->second;
  };
  for (const char* kind : {"room",   "cube",   "pricelist", "mail",     "globe",  "printer", "tag",
                           "select", "wall",   "fronts",    "nofronts", "up",     "down",    "left",
                           "right",  "tiltup", "tiltdown",  "target",   "parcel", "brush"}) {
    const std::string cell = std::string("png: ") + kind + " 24 #204080";
    SCOPED_TRACE(cell);
    const std::vector<uint8_t> bytes = make(cell);
    EXPECT_EQ(make(cell), bytes);
    const Decoded picture = Decode(bytes);
    ASSERT_EQ(picture.width, 24);
    for (int32_t i = 0; i < 24; ++i) {
      EXPECT_EQ(picture.At(i, 0), 0x204080u);
      EXPECT_EQ(picture.At(23, i), 0x204080u);
    }
    distinct(cell, picture);
  }
  for (const char* kind :
       {"base1",  "base2",       "basetop",       "drawers",    "sink",       "wall1",      "wall2",
        "tall",   "ovenhousing", "fridgehousing", "oven",       "hob",        "dishwasher", "fridge",
        "hood",   "worktop",     "plinth",        "bar",        "knob",       "door",       "glazeddoor",
        "window", "island",      "pillar",        "cornerbase", "cornerwall", "hinged"}) {
    const std::string cell = std::string("png: ") + kind + " 40x60 #ebe6dc";
    SCOPED_TRACE(cell);
    const std::vector<uint8_t> bytes = make(cell);
    EXPECT_EQ(make(cell), bytes);
    const Decoded picture = Decode(bytes);
    ASSERT_EQ(picture.width, 40);
    ASSERT_EQ(picture.height, 60);
    distinct(cell, picture);
  }
  // Texts: drawn in the glyph, logo and about kinds, refused elsewhere or when missing.
  const Decoded percent = Decode(make("png: glyph 24 #204080 \"%\""));
  distinct("glyph %", percent);
  distinct("glyph T", Decode(make("png: glyph 24 #204080 \"T\"")));
  const std::vector<uint8_t> about = make("png: about 300x200 #6b5a45 \"Planner\" \"Version 1.0\"");
  EXPECT_EQ(about[25], PNG_COLOR_TYPE_PALETTE) << "text edges in steps over two fills";
  EXPECT_EQ(Decode(about).width, 300);
  for (const auto& [cell, reason] : std::vector<std::pair<std::string, std::string>>{
           {"png: about 300x200 #6b5a45 \"Planner\"", "wants 2 quoted text"},
           {"png: logo 200x40 #6b5a45", "wants 1 quoted text"},
           {"png: plus 24 #204080 \"+\"", "only glyph, logo and about take texts"},
           {"png: glyph 24 #204080 \"open", "closing quote"},
           {"png: glyph 24 #204080 \"\xff\"", "UTF-8"}}) {
    SCOPED_TRACE(cell);
    Names names;
    try {
      ParseBlob(cell, names);
      ADD_FAILURE() << "accepted";
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
    }
  }
}

// A cabinet's front is drawn from its 3D bodies' millimetres, the picture as high as its carcase and
// the plinth under it (820 mm for a base unit): the plinth's 100 mm a graphite band along the bottom,
// each handle bar where the unit's 3D handle is: across a drawer's or door's top, 30 mm under it.
TEST(MkcatalogBlobs, CabinetFrontsShowTheirPlinthAndTheHandlesOfTheirBodies) {
  constexpr uint32_t kGraphite = 0x414347;
  const auto handleLike = [](uint32_t p) {
    const int32_t r = int32_t(p >> 16), g = int32_t((p >> 8) & 0xFF), b = int32_t(p & 0xFF);
    return std::abs(r - 0x5A) + std::abs(g - 0x5A) + std::abs(b - 0x5C) < 60;
  };
  // Runs of handle pixels along a column (x) or a row (y), with the middle of each run.
  const auto runs = [&](const Decoded& d, bool column, int32_t at) {
    std::vector<int32_t> middles;
    const int32_t n = column ? d.height : d.width;
    for (int32_t i = 0, start = -1; i <= n; ++i) {
      const bool on = i < n && handleLike(column ? d.At(at, i) : d.At(i, at));
      if (on && start < 0) start = i;
      if (!on && start >= 0) middles.push_back((start + i - 1) / 2), start = -1;
    }
    return middles;
  };
  const struct {
    const char* cell;
    bool column;                // handles counted down the middle column, else along the row of the first bar
    std::vector<int32_t> bars;  // millimetres above the carcase's foot
  } fronts[] = {
      {"png: drawers 56x76 #ebe6dc", true, {690, 542, 290}},  // three drawers
      {"png: base2 76x69 #ebe6dc", false, {690, 690}},        // two doors
      {"png: base1 28x76 #ebe6dc", true, {690}},
      {"png: sink 56x76 #ebe6dc", false, {542, 542}},  // two doors under a fixed front
  };
  for (const auto& f : fronts) {
    SCOPED_TRACE(f.cell);
    Names names;
    const Decoded d = Decode(ParseBlob(f.cell, names).bytes);
    ASSERT_GT(d.height, 0);
    const double mm = d.height / 820.0;
    const auto row = [&](double above) { return int32_t(std::lround(d.height - (above + 100) * mm)); };
    // The plinth: exactly its 100 mm of rows in graphite, the carcase's foot above it in the finish.
    for (int32_t y = row(0); y < d.height; ++y) EXPECT_EQ(d.At(d.width / 2, y), kGraphite) << y;
    EXPECT_NE(d.At(d.width / 2, row(0) - 2), kGraphite);
    const std::vector<int32_t> found = runs(d, f.column, f.column ? d.width / 2 : row(f.bars[0]));
    ASSERT_EQ(found.size(), f.bars.size());
    if (f.column)
      for (size_t i = 0; i < found.size(); ++i) EXPECT_NEAR(found[i], row(f.bars[i]), 1) << i;
  }
}

// The demo's about box, which the program shows as it starts: stored as palette indices in one image
// data chunk, its fills and its border exactly in their colours, its texts drawn whole (the title in
// white on the band, the lines below it dark on the ground), each text edge pixel between its text's
// colour and the ground.
TEST(MkcatalogBlobs, TheDemosAboutBoxFitsAPaletteWithItsFillsExact) {
  std::ifstream table(fs::path(PLANNER_SOURCE_DIR) / "data/demo/skin/qxBitmap.tsv");
  std::string line, cell;
  while (std::getline(table, line))
    if (line.rfind("2004\t", 0) == 0) cell = line.substr(line.find("png: "));
  ASSERT_NE(cell, "") << "the demo's picture 2004";
  Names names;
  const std::vector<uint8_t> png = ParseBlob(cell, names).bytes;
  EXPECT_EQ(png[25], PNG_COLOR_TYPE_PALETTE);
  int imageChunks = 0;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t length =
        uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 | uint32_t(png[at + 2]) << 8 | png[at + 3];
    imageChunks += std::memcmp(&png[at + 4], "IDAT", 4) == 0;
    at += size_t(length) + 12;
  }
  EXPECT_EQ(imageChunks, 1);
  const Decoded box = Decode(png);
  ASSERT_EQ(box.width, 360);
  ASSERT_EQ(box.height, 220);
  constexpr uint32_t kBand = 0x6B5A45, kGround = 0xF3F2F0, kInk = 0x30281F, kWhite = 0xFFFFFF;
  const int32_t band = 66;  // 30 % of the height
  int32_t white = 0, ink = 0;
  for (int32_t y = 0; y < box.height; ++y) {
    for (int32_t x = 0; x < box.width; ++x) {
      const uint32_t p = box.At(x, y);
      if (x == 0 || y == 0 || x == box.width - 1 || y == box.height - 1) {
        ASSERT_EQ(p, kBand) << "the border at " << x << "," << y;
        continue;
      }
      if (y < band) {
        white += p == kWhite;
        // Between the band's colour and white: every channel at least the band's.
        for (int shift : {16, 8, 0}) ASSERT_GE((p >> shift) & 0xFF, (kBand >> shift) & 0xFF) << x << "," << y;
      } else {
        ink += p == kInk;
        if (x < 20 || y < band + 20 || y > box.height - 20) ASSERT_EQ(p, kGround) << x << "," << y;
      }
    }
  }
  EXPECT_GT(white, 300) << "the title";
  EXPECT_GT(ink, 300) << "the lines";
}

// The start decodes these pictures before its first frame: every row is stored unfiltered (filter
// byte 0 before each row of the inflated image data) as palette indices, whatever the kind, deflated
// with the fixed codes whose tables the program's inflater keeps from picture to picture.
TEST(MkcatalogBlobs, PictureRowsAreStoredUnfiltered) {
  for (const char* cell : {"png: grain 64 #d9d2c3", "png: frame 40x30 #8a7357", "png: checker 16 #8a7357",
                           "png: plus 24 #204080"}) {
    SCOPED_TRACE(cell);
    Names names;
    const std::vector<uint8_t> png = ParseBlob(cell, names).bytes;
    const Decoded picture = Decode(png);
    ASSERT_GT(picture.width, 0);
    std::vector<uint8_t> compressed;
    for (size_t at = 8; at + 12 <= png.size();) {
      const uint32_t length =
          uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 | uint32_t(png[at + 2]) << 8 | png[at + 3];
      if (std::memcmp(&png[at + 4], "IDAT", 4) == 0)
        compressed.insert(compressed.end(), png.begin() + long(at + 8), png.begin() + long(at + 8 + length));
      at += size_t(length) + 12;
    }
    EXPECT_EQ(png[25], PNG_COLOR_TYPE_PALETTE);  // the header's colour type: a row holds one byte a pixel
    ASSERT_GT(compressed.size(), 2u);
    EXPECT_EQ((compressed[2] >> 1) & 3, 1) << "the first block's codes: fixed";
    const size_t rowBytes = 1 + size_t(picture.width);
    std::vector<uint8_t> rows(rowBytes * size_t(picture.height));
    uLongf size = uLongf(rows.size());
    ASSERT_EQ(uncompress(rows.data(), &size, compressed.data(), uLong(compressed.size())), Z_OK);
    ASSERT_EQ(size, rows.size());
    for (int32_t y = 0; y < picture.height; ++y) ASSERT_EQ(rows[size_t(y) * rowBytes], 0) << "row " << y;
  }
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// One database folder "db" of small tables under a sources folder, built by the tool itself.
class MkcatalogSourcesTest : public ::testing::Test {
 protected:
  // Writes `lines` as the file, each ended by `end`.
  static void Write(const fs::path& path, const std::vector<std::string>& lines, const char* end = "\n") {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << end;
  }
  // Builds sources/db from `tables` (file name to lines) into `settings`; 0 on success.
  int Build(const std::string& name, const std::map<std::string, std::vector<std::string>>& tables,
            const char* end = "\n") {
    const fs::path folder = Root() / name / "db";
    fs::remove_all(folder.parent_path());
    Write(folder / "database.txt", {"# The test database", "file\ttest.cdb"}, end);
    for (const auto& [file, lines] : tables) Write(folder / file, lines, end);
    out_.str(""), err_.str("");
    return mkcatalog::RunMkcatalog({(Root() / name).string(), Settings(name).string()}, out_, err_);
  }
  fs::path Root() const { return root_; }
  fs::path Settings(const std::string& name) const { return Root() / (name + "-settings"); }
  fs::path Source(const std::string& name, const std::string& file) const {
    return Root() / name / "db" / file;
  }

  MkcatalogSourcesTest() { fs::create_directories(root_); }
  ~MkcatalogSourcesTest() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  const fs::path root_ =
      fs::temp_directory_path() / ("planner_mkcatalog_values_" + std::to_string(::getpid()));
  std::ostringstream out_, err_;
};

const std::vector<std::string> kShapes = {
    "# Shapes with their outline points and attribute words.",
    "id\tname\tpoints\tattributes",
    "",
    "1\tsquare\tpoints: 0 0; 600 0; 600 600; 0 600\twords: 0; 0; 0; 0",
    "2\tbar\tpoints: 0.5 0.25; 1e9 -1e9\twords: 0x10; -5",
};
const std::vector<std::string> kColours = {"id\tname\trgba", "1\tred\trgb:100,0,0", "2\tgrey\trgb:50,50,50"};
const std::vector<std::string> kPrices = {"id\tname\tprice", "1\tcheap\t-3.25", "2\tdear\t1695.0001"};

TEST_F(MkcatalogSourcesTest, CrlfAndLfSourcesBuildTheSameBytes) {
  const std::map<std::string, std::vector<std::string>> tables = {
      {"qxShape.tsv", kShapes}, {"qxColor.tsv", kColours}, {"qxPrice.tsv", kPrices}};
  ASSERT_EQ(Build("lf", tables, "\n"), 0) << err_.str();
  ASSERT_EQ(Build("crlf", tables, "\r\n"), 0) << err_.str();
  const std::string lf = ReadBytes(Settings("lf") / "test.cdb"),
                    crlf = ReadBytes(Settings("crlf") / "test.cdb");
  ASSERT_FALSE(lf.empty());
  EXPECT_TRUE(lf == crlf);

  // The table reader itself: same header, cells and line numbers, and no CR left in a last cell.
  const mkcatalog::TabSource a(Source("lf", "qxShape.tsv")), b(Source("crlf", "qxShape.tsv"));
  EXPECT_EQ(a.Header(), b.Header());
  EXPECT_EQ(b.Header().back(), "attributes");
  EXPECT_EQ(b.HeaderLine(), 2);
  ASSERT_EQ(a.Rows().size(), 2u);
  ASSERT_EQ(b.Rows().size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(a.Rows()[i].cells, b.Rows()[i].cells);
    EXPECT_EQ(a.Rows()[i].line, b.Rows()[i].line);
  }
  EXPECT_EQ(b.Rows()[1].line, 5);
  EXPECT_EQ(b.Rows()[1].cells.back(), "words: 0x10; -5");
}

// Each fault, in LF and in CR LF sources, stops the build with "file:line: field 'name': reason" and
// leaves no settings folder.
TEST_F(MkcatalogSourcesTest, EveryRefusalNamesFileLineAndReason) {
  struct Case {
    const char* file;
    std::vector<std::string> lines;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"qxShape.tsv",
       {"id\tname\tpoints", "1\ta\tpoints: 0 0; 1e30 0"},
       2,
       "field 'points': '1e30' lies outside the 32-bit range"},
      {"qxShape.tsv",
       {"id\tname\tpoints", "", "# nan", "1\ta\tpoints: nan 0"},
       4,
       "field 'points': 'nan' is not a finite number"},
      {"qxShape.tsv",
       {"id\tname\tattributes", "1\ta\twords: 1", "2\tb\twords: 1e10"},
       3,
       "field 'attributes': '1e10' lies outside the 32-bit range"},
      {"qxShape.tsv",
       {"id\tname\tattributes", "1\ta\twords: 4294967296"},
       2,
       "field 'attributes': '4294967296' is not a number"},
      {"qxShape.tsv",
       {"id\tname\ttextureDirection", "1\ta\tnan"},
       2,
       "field 'textureDirection': 'nan' is not a number"},
      {"qxPoint2D.tsv", {"X\tY", "1\tinf"}, 2, "field 'Y': 'inf' is not a number"},
      {"qxPoint2D.tsv", {"X\tY", "0\t0", "1e39\t0"}, 3, "field 'X': '1e39' is too large for a 32-bit float"},
      {"qxShape.tsv",
       {"id\tname\tflags", "1\ta\t2147483648x"},
       2,
       "field 'flags': '2147483648x' is not a whole number"},
      {"qxShape.tsv",
       {"id\tname", "1\ta", "4294967296\tb"},
       3,
       "field 'id': '4294967296' is not a whole number"},
      {"qxPrice.tsv",
       {"id\tname\tprice", "1\ta\t-3.25", "2\tb\t-3.25001"},
       3,
       "field 'price': '-3.25001' is not an amount"},
      {"qxColor.tsv", {"id\tname\trgba", "1\ta\trgb:100,100,101"}, 2, "field 'rgba': "},
      {"qxColor.tsv", {"id\tname\trgba", "1\ta\t1\t2"}, 2, "the row has 4 cells, the header 3"},
  };
  for (const char* end : {"\n", "\r\n"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.message) + (end[0] == '\r' ? " (CR LF)" : " (LF)"));
      EXPECT_EQ(Build("fault", {{c.file, c.lines}}, end), 1);
      const std::string expected =
          Source("fault", c.file).string() + ":" + std::to_string(c.line) + ": " + c.message;
      EXPECT_EQ(err_.str().rfind(expected, 0), 0u) << err_.str();
      EXPECT_EQ(err_.str().find('\r'), std::string::npos);
      EXPECT_FALSE(fs::exists(Settings("fault")));
    }
  }
}

}  // namespace
