#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/PngLoader.h"
#include "framework/ppPicture.h"
#include "platform/HeadlessDriver.h"
#include "tests/framework/TestPng.h"

namespace {

// Recomputes every chunk's checksum, so that damage reaches the decoder instead of its CRC check.
void FixChunkCrcs(std::vector<uint8_t>& png) {
  size_t at = 8;
  while (at + 12 <= png.size()) {
    const uint32_t length =
        uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 | uint32_t(png[at + 2]) << 8 | png[at + 3];
    if (length > png.size() - at - 12) return;
    const uLong crc = crc32(crc32(0, nullptr, 0), png.data() + at + 4, uInt(length + 4));
    for (int i = 0; i < 4; ++i) png[at + 8 + length + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
    at += length + 12;
  }
}

// One decoded picture; frees its block.
struct Decoded {
  int32_t status = -1;
  PngBitmapDescriptor d;
  uint32_t transparent = 0xDEADBEEF;
  bool hasTransparent = false;

  explicit Decoded(const std::vector<uint8_t>& png) {
    PngMemorySource source{png.data(), png.size(), 0};
    status = loadPng(&source, &d, &transparent, &hasTransparent);
  }
  ~Decoded() {
    if (status == kPngOk) FreePngBlock(d.memory);
  }
  const plat::BITMAPV4HEADER& Header() const {
    return *reinterpret_cast<const plat::BITMAPV4HEADER*>(d.memory);
  }
  uint32_t Stride() const { return Header().bV4SizeImage / uint32_t(Header().bV4Height); }
  // Row y counted from the top of the image.
  const uint8_t* Row(int32_t y) const { return d.bits + size_t(Header().bV4Height - 1 - y) * Stride(); }
  uint8_t Grey(uint32_t entry) const { return d.colorTable[entry].rgbGreen; }
};

TEST(PngLoader, GreyImagesGetARampOfTheirBitCount) {
  TestPngImage two{4, 1, PNG_COLOR_TYPE_GRAY, 2};
  two.rows = {{0b00011011}};
  Decoded d2(EncodeTestPng(two));
  ASSERT_EQ(d2.status, kPngOk);
  EXPECT_EQ(d2.Header().bV4BitCount, 2);
  ASSERT_EQ(d2.d.colors, 4u);
  EXPECT_EQ(d2.Grey(0), 0);
  EXPECT_EQ(d2.Grey(1), 85);
  EXPECT_EQ(d2.Grey(2), 170);
  EXPECT_EQ(d2.Grey(3), 255);
  EXPECT_EQ(d2.Row(0)[0], 0b00011011);
  EXPECT_EQ(d2.d.totalSize, 108u + 4 * 4 + 4);
  EXPECT_EQ(d2.d.bitsOffset, 108u + 16);

  TestPngImage one{9, 1, PNG_COLOR_TYPE_GRAY, 1};
  one.rows = {{0x80, 0x80}};
  Decoded d1(EncodeTestPng(one));
  ASSERT_EQ(d1.status, kPngOk);
  EXPECT_EQ(d1.d.colors, 2u);
  EXPECT_EQ(d1.Grey(1), 255);
  EXPECT_EQ(d1.Row(0)[1], 0x80);

  TestPngImage eight{2, 2, PNG_COLOR_TYPE_GRAY, 8};
  eight.rows = {{10, 20}, {30, 40}};
  Decoded d8(EncodeTestPng(eight));
  ASSERT_EQ(d8.status, kPngOk);
  EXPECT_EQ(d8.d.colors, 256u);
  EXPECT_EQ(d8.Grey(128), 128);
  EXPECT_EQ(d8.d.colorTable[128].rgbReserved, 0);
  EXPECT_EQ(d8.Row(0)[1], 20);  // the first PNG row is the top row: stored last
  EXPECT_EQ(d8.d.bits[0], 30);
  EXPECT_FALSE(d8.hasTransparent);
}

TEST(PngLoader, GreyWithAlphaDropsTheAlphaSoRowsFit) {
  TestPngImage s{5, 2, PNG_COLOR_TYPE_GRAY_ALPHA, 8};
  s.rows = {{1, 255, 2, 0, 3, 9, 4, 9, 5, 9}, {6, 9, 7, 9, 8, 9, 9, 9, 10, 9}};
  Decoded d(EncodeTestPng(s));
  ASSERT_EQ(d.status, kPngOk);
  EXPECT_EQ(d.Header().bV4BitCount, 8);
  EXPECT_EQ(d.Stride(), 8u);
  EXPECT_EQ(std::vector<uint8_t>(d.Row(0), d.Row(0) + 5), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(std::vector<uint8_t>(d.Row(1), d.Row(1) + 5), (std::vector<uint8_t>{6, 7, 8, 9, 10}));
}

TEST(PngLoader, TransparentGreyIsReported) {
  TestPngImage s{1, 1, PNG_COLOR_TYPE_GRAY, 8};
  s.rows = {{7}};
  s.transparentGrey = 0x42;
  Decoded d(EncodeTestPng(s));
  ASSERT_EQ(d.status, kPngOk);
  EXPECT_TRUE(d.hasTransparent);
  EXPECT_EQ(d.transparent, 0x424242u);

  TestPngImage low{1, 1, PNG_COLOR_TYPE_GRAY, 2};  // index 1 of a 2-bit ramp is grey 85
  low.rows = {{0}};
  low.transparentGrey = 1;
  Decoded dl(EncodeTestPng(low));
  ASSERT_EQ(dl.status, kPngOk);
  EXPECT_EQ(dl.transparent, 85u * 0x10101);
}

TEST(PngLoader, ColourImagesInBlueGreenRedOrder) {
  TestPngImage rgb{2, 1, PNG_COLOR_TYPE_RGB, 16};
  rgb.rows = {{0x11, 0x99, 0x22, 0x99, 0x33, 0x99, 0x44, 0, 0x55, 0, 0x66, 0}};
  Decoded d(EncodeTestPng(rgb));
  ASSERT_EQ(d.status, kPngOk);
  EXPECT_EQ(d.Header().bV4BitCount, 24);
  EXPECT_EQ(d.d.colors, 0u);
  EXPECT_EQ(d.Header().bV4AlphaMask, 0u);
  EXPECT_EQ(std::vector<uint8_t>(d.Row(0), d.Row(0) + 8),
            (std::vector<uint8_t>{0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0, 0}));

  TestPngImage rgba{1, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8};
  rgba.rows = {{1, 2, 3, 255}, {4, 5, 6, 55}};
  rgba.pixelsPerMeter = 2835;
  Decoded da(EncodeTestPng(rgba));
  ASSERT_EQ(da.status, kPngOk);
  EXPECT_EQ(da.Header().bV4BitCount, 32);
  EXPECT_EQ(da.Header().bV4AlphaMask, 0xFF000000u);
  EXPECT_EQ(da.Header().bV4RedMask, 0x00FF0000u);
  EXPECT_EQ(da.Header().bV4XPelsPerMeter, 2835);
  EXPECT_EQ(std::vector<uint8_t>(da.Row(0), da.Row(0) + 4), (std::vector<uint8_t>{3, 2, 1, 0}));
  EXPECT_EQ(std::vector<uint8_t>(da.Row(1), da.Row(1) + 4), (std::vector<uint8_t>{6, 5, 4, 200}));
}

TEST(PngLoader, PaletteImagesAreExpanded) {
  TestPngImage s{2, 1, PNG_COLOR_TYPE_PALETTE, 8};
  s.rows = {{1, 0}};
  s.paletteRGB = {10, 20, 30, 40, 50, 60};
  Decoded plain(EncodeTestPng(s));
  ASSERT_EQ(plain.status, kPngOk);
  EXPECT_EQ(plain.Header().bV4BitCount, 24);
  EXPECT_EQ(std::vector<uint8_t>(plain.Row(0), plain.Row(0) + 6),
            (std::vector<uint8_t>{60, 50, 40, 30, 20, 10}));

  s.paletteAlpha = {255, 100};
  Decoded alpha(EncodeTestPng(s));
  ASSERT_EQ(alpha.status, kPngOk);
  EXPECT_EQ(alpha.Header().bV4BitCount, 32);
  EXPECT_EQ(std::vector<uint8_t>(alpha.Row(0), alpha.Row(0) + 8),
            (std::vector<uint8_t>{60, 50, 40, 155, 30, 20, 10, 0}));
}

TEST(PngLoader, InterlacedImagesDecodeLikePlainOnes) {
  TestPngImage s{9, 9, PNG_COLOR_TYPE_RGB, 8};
  for (uint8_t y = 0; y < 9; ++y) {
    std::vector<uint8_t> row;
    for (uint8_t x = 0; x < 27; ++x) row.push_back(uint8_t(x * 7 + y * 13));
    s.rows.push_back(row);
  }
  Decoded plain(EncodeTestPng(s));
  s.interlaced = true;
  Decoded laced(EncodeTestPng(s));
  ASSERT_EQ(plain.status, kPngOk);
  ASSERT_EQ(laced.status, kPngOk);
  ASSERT_EQ(plain.d.totalSize, laced.d.totalSize);
  EXPECT_EQ(std::memcmp(plain.d.memory, laced.d.memory, plain.d.totalSize), 0);
}

TEST(PngLoader, BadCallsAndDamagedData) {
  TestPngImage s{3, 3, PNG_COLOR_TYPE_RGB_ALPHA, 8};
  s.rows.assign(3, std::vector<uint8_t>(12, 0x5A));
  const std::vector<uint8_t> good = EncodeTestPng(s);

  PngMemorySource source{good.data(), good.size(), 0};
  PngBitmapDescriptor d;
  d.size = 0;
  EXPECT_EQ(loadPng(&source, &d, nullptr, nullptr), kPngBadDescriptor);
  EXPECT_EQ(source.cursor, 0u);  // the data was not touched

  for (size_t cut : {size_t(0), size_t(8), size_t(30), good.size() - 13}) {
    std::vector<uint8_t> shortened(good.begin(), good.begin() + long(cut));
    Decoded t(shortened);
    EXPECT_EQ(t.status, kPngDamaged) << "cut at " << cut;
  }

  // Random damage of a few bytes at a time must never crash or read out of bounds.
  std::mt19937 random(20261206);
  int decoded = 0;
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> damaged = good;
    const int changes = 1 + int(random() % 4);
    for (int i = 0; i < changes; ++i) damaged[random() % damaged.size()] = uint8_t(random());
    if (round % 2 == 0) FixChunkCrcs(damaged);
    if (random() % 4 == 0) damaged.resize(random() % damaged.size());
    Decoded t(damaged);
    ASSERT_TRUE(t.status == kPngOk || t.status == kPngDamaged || t.status == kPngUnsupported ||
                t.status == kPngNoMemory)
        << t.status;
    if (t.status == kPngOk) {
      ++decoded;
      EXPECT_EQ(t.d.totalSize, t.d.bitsOffset + t.Header().bV4SizeImage);
    }
  }
  EXPECT_LT(decoded, 400);
}

// The header check answers as the decoder would wherever the damage lies before the pixels: it never
// refuses what decodes, and refuses everything it refuses because the decoder does too.
TEST(PngLoader, TheHeaderCheckNeverRefusesWhatDecodes) {
  TestPngImage s{3, 3, PNG_COLOR_TYPE_PALETTE, 8};
  s.rows.assign(3, std::vector<uint8_t>{0, 1, 2});
  s.paletteRGB = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  s.paletteAlpha = {255, 128, 0};
  const std::vector<uint8_t> good = EncodeTestPng(s);
  auto header = [](const std::vector<uint8_t>& png) {
    PngMemorySource source{png.data(), png.size(), 0};
    return checkPngHeader(&source);
  };
  EXPECT_EQ(header(good), kPngOk);
  EXPECT_EQ(checkPngHeader(nullptr), kPngDamaged);
  for (size_t cut : {size_t(0), size_t(8), size_t(30)})
    EXPECT_EQ(header(std::vector<uint8_t>(good.begin(), good.begin() + long(cut))), kPngDamaged) << cut;
  // Cut inside the image data: the header still reads, the pixels do not.
  const std::vector<uint8_t> cutPixels(good.begin(), good.end() - 13);
  EXPECT_EQ(header(cutPixels), kPngOk);
  EXPECT_EQ(Decoded(cutPixels).status, kPngDamaged);

  std::mt19937 random(20261207);
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> damaged = good;
    const int changes = 1 + int(random() % 4);
    for (int i = 0; i < changes; ++i) damaged[random() % damaged.size()] = uint8_t(random());
    if (round % 2 == 0) FixChunkCrcs(damaged);
    const int32_t decoded = Decoded(damaged).status, checked = header(damaged);
    if (decoded == kPngOk) EXPECT_EQ(checked, kPngOk) << round;
    if (checked != kPngOk) EXPECT_EQ(checked, decoded) << round;
  }
}

// A picture decoded both ways: its chunks read and rows decoded here, and all through libpng; and its
// header checked both ways.
struct BothWays {
  int32_t direct = -1, reference = -1;
  int32_t directHeader = -1, referenceHeader = -1;
  std::vector<uint8_t> directBlock, referenceBlock;
  size_t directCursor = 0, referenceCursor = 0;

  explicit BothWays(const std::vector<uint8_t>& png) {
    PngMemorySource source{png.data(), png.size(), 0};
    direct = loadPngInto(&source, directBlock, PngRows::kDirect);
    directCursor = source.cursor;
    PngMemorySource again{png.data(), png.size(), 0};
    reference = loadPngInto(&again, referenceBlock, PngRows::kThroughLibpng);
    referenceCursor = again.cursor;
    PngMemorySource header{png.data(), png.size(), 0}, headerAgain{png.data(), png.size(), 0};
    directHeader = checkPngHeader(&header, PngRows::kDirect);
    referenceHeader = checkPngHeader(&headerAgain, PngRows::kThroughLibpng);
  }
  bool Same() const {
    return direct == reference && directBlock == referenceBlock && directHeader == referenceHeader;
  }
};

// Rows of runs of one colour broken by noise, so that every filter has both repeats and change.
TestPngImage NoisyImage(uint32_t width, uint32_t height, int colorType, std::mt19937& random) {
  TestPngImage image{width, height, colorType, 8};
  const uint32_t channels = colorType == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : 3;
  uint8_t run[4] = {0, 0, 0, 0};
  for (uint32_t y = 0; y < height; ++y) {
    std::vector<uint8_t> row(size_t(width) * channels);
    for (uint32_t x = 0; x < width; ++x) {
      if (random() % 5 == 0)
        for (uint8_t& c : run) c = uint8_t(random());
      for (uint32_t c = 0; c < channels; ++c)
        row[size_t(x) * channels + c] = random() % 3 == 0 ? uint8_t(random()) : run[c];
    }
    image.rows.push_back(std::move(row));
  }
  return image;
}

// The chunks of a PNG file as type and data, and the file made again from them with CRCs that hold.
using Chunks = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

Chunks SplitChunks(const std::vector<uint8_t>& png) {
  Chunks chunks;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t length =
        uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 | uint32_t(png[at + 2]) << 8 | png[at + 3];
    chunks.emplace_back(
        std::string(png.begin() + long(at) + 4, png.begin() + long(at) + 8),
        std::vector<uint8_t>(png.begin() + long(at) + 8, png.begin() + long(at + 8 + length)));
    at += 12 + size_t(length);
  }
  return chunks;
}

std::vector<uint8_t> JoinChunks(const Chunks& chunks) {
  std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  for (const auto& [type, data] : chunks) {
    const size_t at = png.size();
    png.resize(at + 12 + data.size());
    for (int i = 0; i < 4; ++i) png[at + size_t(i)] = uint8_t(data.size() >> (24 - 8 * i));
    std::memcpy(&png[at + 4], type.data(), 4);
    if (!data.empty()) std::memcpy(&png[at + 8], data.data(), data.size());
  }
  FixChunkCrcs(png);
  return png;
}

// The image data of all IDAT chunks of the file, joined: one zlib stream.
std::vector<uint8_t> ImageStream(const Chunks& chunks) {
  std::vector<uint8_t> stream;
  for (const auto& [type, data] : chunks)
    if (type == "IDAT") stream.insert(stream.end(), data.begin(), data.end());
  return stream;
}

// The chunks with their IDAT chunks replaced by `stream` in chunks of at most `most` bytes.
Chunks WithImageStream(const Chunks& chunks, const std::vector<uint8_t>& stream, size_t most) {
  Chunks out;
  for (const auto& chunk : chunks) {
    if (chunk.first != "IDAT") {
      out.push_back(chunk);
    } else if (out.empty() || out.back().first != "IDAT") {
      for (size_t at = 0; at < stream.size(); at += most)
        out.emplace_back("IDAT",
                         std::vector<uint8_t>(stream.begin() + long(at),
                                              stream.begin() + long(std::min(stream.size(), at + most))));
    }
  }
  return out;
}

// The image data's Adler-32 sum (the stream's last four bytes) spoilt with every CRC holding: the
// rows do not inflate to what their writer stored, and the picture is damaged, decoded directly or
// through libpng, whether the sum lies in the chunk that ends the rows or in a chunk of its own
// (where libpng reaches it only after the last row). The header check decodes no pixels and still
// takes it; the same picture with its sum as written decodes.
TEST(PngLoader, AStreamWhoseSumDoesNotHoldIsDamaged) {
  std::mt19937 random(20261213);
  TestPngImage palette{9, 5, PNG_COLOR_TYPE_PALETTE, 8};
  palette.paletteRGB = {10, 20, 30, 40, 50, 60, 70, 80, 90};
  for (uint32_t y = 0; y < palette.height; ++y) {
    palette.rows.emplace_back();
    for (uint32_t x = 0; x < palette.width; ++x) palette.rows.back().push_back(uint8_t(random() % 3));
  }
  TestPngImage grey{11, 6, PNG_COLOR_TYPE_GRAY, 8};
  TestPngImage deep{5, 4, PNG_COLOR_TYPE_RGB, 16};
  for (TestPngImage* image : {&grey, &deep}) {
    const size_t bytes = image->width * (image->colorType == PNG_COLOR_TYPE_RGB ? 6 : 1);
    for (uint32_t y = 0; y < image->height; ++y) {
      image->rows.emplace_back(bytes);
      for (uint8_t& b : image->rows.back()) b = uint8_t(random());
    }
  }
  TestPngImage laced = NoisyImage(10, 9, PNG_COLOR_TYPE_RGB, random);
  laced.interlaced = true;
  const std::pair<const char*, TestPngImage> images[] = {
      {"rgb", NoisyImage(23, 17, PNG_COLOR_TYPE_RGB, random)},
      {"rgba", NoisyImage(6, 7, PNG_COLOR_TYPE_RGB_ALPHA, random)},
      {"palette", palette},
      {"grey (libpng only)", grey},
      {"16-bit rgb (libpng only)", deep},
      {"interlaced (libpng only)", laced}};
  for (const auto& [name, image] : images) {
    const Chunks chunks = SplitChunks(EncodeTestPng(image));
    const std::vector<uint8_t> stream = ImageStream(chunks);
    ASSERT_GT(stream.size(), 6u) << name;
    for (uint8_t flip : {uint8_t(0x01), uint8_t(0x80)}) {
      std::vector<uint8_t> spoilt = stream;
      spoilt[spoilt.size() - 1 - (flip == 0x80 ? 3 : 0)] ^= flip;
      for (size_t most : {stream.size(), stream.size() - 4, size_t(7)}) {
        const std::string what = std::string(name) + ", chunks of " + std::to_string(most) + " bytes";
        const BothWays good(JoinChunks(WithImageStream(chunks, stream, most)));
        EXPECT_EQ(good.direct, kPngOk) << what;
        EXPECT_TRUE(good.Same()) << what;
        const std::vector<uint8_t> damaged = JoinChunks(WithImageStream(chunks, spoilt, most));
        const BothWays bad(damaged);
        EXPECT_EQ(bad.direct, kPngDamaged) << what;
        EXPECT_EQ(bad.reference, kPngDamaged) << what;
        EXPECT_TRUE(bad.directBlock.empty() && bad.referenceBlock.empty()) << what;
        EXPECT_EQ(bad.directHeader, kPngOk) << what;
        Decoded loaded(damaged);
        EXPECT_EQ(loaded.status, kPngDamaged) << what;
      }
    }
  }
}

TEST(PngLoader, DirectRowsGiveLibpngsBytesForEveryFilterWidthAndChunking) {
  std::mt19937 random(20261207);
  const int filters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB,   PNG_FILTER_UP,
                         PNG_FILTER_AVG,  PNG_FILTER_PAETH, PNG_ALL_FILTERS};
  // Sizes of one pixel, odd rows, a strip's worth and more, and rows wider than a whole strip.
  const std::pair<uint32_t, uint32_t> sizes[] = {{1, 1}, {2, 3}, {5, 7}, {24, 24}, {161, 120}, {9000, 3}};
  for (int colorType : {PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA}) {
    const uint32_t channels = colorType == PNG_COLOR_TYPE_RGB ? 3 : 4;
    for (const auto& [width, height] : sizes) {
      for (int filter : filters) {
        TestPngImage image = NoisyImage(width, height, colorType, random);
        image.filters = filter;
        image.idatBytes = width < 100 ? 17 : 0;  // small pictures in many chunks
        const BothWays both(EncodeTestPng(image));
        const std::string where = std::to_string(width) + " x " + std::to_string(height) + ", colour type " +
                                  std::to_string(colorType) + ", filters " + std::to_string(filter);
        ASSERT_EQ(both.direct, kPngOk) << where;
        ASSERT_TRUE(both.Same()) << where;
        EXPECT_EQ(both.directCursor, both.referenceCursor) << where;
        // Every pixel as written, blue first and the alpha turned round.
        const uint32_t stride = (width * channels + 3) / 4 * 4;
        const uint8_t* bits = both.directBlock.data() + 108;
        for (uint32_t y = 0; y < height; ++y) {
          const uint8_t* got = bits + size_t(height - 1 - y) * stride;
          const std::vector<uint8_t>& want = image.rows[y];
          for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* p = got + size_t(x) * channels;
            const uint8_t* q = want.data() + size_t(x) * channels;
            ASSERT_TRUE(p[0] == q[2] && p[1] == q[1] && p[2] == q[0] && (channels == 3 || p[3] == 255 - q[3]))
                << where << " at " << x << ", " << y;
          }
        }
      }
    }
  }
}

// Palette pictures of every size and filter, with short palettes, palettes of more than the sixteen
// colours looked up by byte shuffles, and indices past the palette's end (which libpng answers for):
// the direct rows give libpng's answer and bytes. Rows of 9 to 18 pixels end where the lookups eight
// and sixteen pixels at a time stop.
TEST(PngLoader, DirectPaletteRowsGiveLibpngsBytes) {
  std::mt19937 random(20261210);
  const std::pair<uint32_t, uint32_t> sizes[] = {{1, 1},  {3, 2},  {9, 3},   {10, 2},    {11, 3},
                                                 {17, 4}, {18, 2}, {24, 24}, {161, 120}, {9000, 3}};
  for (const auto& [width, height] : sizes) {
    for (int filter : {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_PAETH, PNG_ALL_FILTERS}) {
      for (uint32_t colours : {1u, 7u, 16u, 17u, 256u}) {
        for (bool strayIndex : {false, true}) {
          TestPngImage image{width, height, PNG_COLOR_TYPE_PALETTE, 8};
          for (uint32_t i = 0; i < colours * 3; ++i) image.paletteRGB.push_back(uint8_t(random()));
          for (uint32_t y = 0; y < height; ++y) {
            std::vector<uint8_t> row(width);
            for (uint8_t& index : row) index = uint8_t(random() % 4 == 0 ? random() % colours : 0);
            image.rows.push_back(std::move(row));
          }
          if (strayIndex && colours < 256) image.rows[random() % height][random() % width] = uint8_t(colours);
          image.filters = filter;
          image.idatBytes = width < 100 ? 17 : 0;
          const BothWays both(EncodeTestPng(image));
          const std::string where = std::to_string(width) + " x " + std::to_string(height) + ", " +
                                    std::to_string(colours) + " colours, filters " + std::to_string(filter) +
                                    (strayIndex ? ", an index past the palette" : "");
          ASSERT_TRUE(both.Same()) << where << ": " << both.direct << " against " << both.reference;
          EXPECT_EQ(both.directCursor, both.referenceCursor) << where;
          if (strayIndex) continue;
          ASSERT_EQ(both.direct, kPngOk) << where;
          // Every pixel is its palette entry, blue first.
          const uint32_t stride = (width * 3 + 3) / 4 * 4;
          const uint8_t* bits = both.directBlock.data() + 108;
          for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t x = 0; x < width; ++x) {
              const uint8_t* p = bits + size_t(height - 1 - y) * stride + size_t(x) * 3;
              const uint8_t* q = &image.paletteRGB[size_t(image.rows[y][x]) * 3];
              ASSERT_TRUE(p[0] == q[2] && p[1] == q[1] && p[2] == q[0]) << where << " at " << x << ", " << y;
            }
          }
        }
      }
    }
  }
}

// Damage anywhere, with and without CRCs that hold: the direct rows decode what libpng decodes, to the
// same bytes, and refuse what it refuses with the same answer.
TEST(PngLoader, DirectRowsAnswerAsLibpngDoesForDamagedData) {
  std::mt19937 random(20261208);
  TestPngImage rgb = NoisyImage(40, 30, PNG_COLOR_TYPE_RGB, random);
  rgb.idatBytes = 64;
  TestPngImage rgba = NoisyImage(7, 9, PNG_COLOR_TYPE_RGB_ALPHA, random);
  rgba.filters = PNG_FILTER_PAETH;
  for (const std::vector<uint8_t>& good : {EncodeTestPng(rgb), EncodeTestPng(rgba)}) {
    int decoded = 0;
    for (int round = 0; round < 300; ++round) {
      std::vector<uint8_t> damaged = good;
      const int changes = 1 + int(random() % 3);
      for (int i = 0; i < changes; ++i)
        damaged[33 + random() % (damaged.size() - 33)] ^= uint8_t(1 + random() % 255);
      if (round % 3 != 0) FixChunkCrcs(damaged);
      if (random() % 8 == 0) damaged.resize(33 + random() % (damaged.size() - 33));
      const BothWays both(damaged);
      ASSERT_TRUE(both.Same()) << "round " << round << ": " << both.direct << " against " << both.reference;
      decoded += both.direct == kPngOk;
    }
    EXPECT_GT(decoded, 0);
  }
}

// Files that libpng takes with a warning, or refuses, while every CRC holds: the direct rows leave
// each of them to libpng and so answer the same.
TEST(PngLoader, DirectRowsLeaveTheUnusualToLibpng) {
  std::mt19937 random(20261209);
  TestPngImage image = NoisyImage(13, 11, PNG_COLOR_TYPE_RGB, random);
  const Chunks chunks = SplitChunks(EncodeTestPng(image));
  const std::vector<uint8_t> stream = ImageStream(chunks);
  auto expect = [](const std::vector<uint8_t>& png, int32_t status, const char* what) {
    const BothWays both(png);
    EXPECT_EQ(both.reference, status) << what;
    EXPECT_TRUE(both.Same()) << what << ": " << both.direct << " against " << both.reference;
  };
  // A text chunk between the image data and the end; one-byte and empty image data chunks.
  Chunks text = chunks;
  text.insert(text.end() - 1, {"tEXt", {'a', 0, 'b'}});
  expect(JoinChunks(text), kPngOk, "text after the image data");
  Chunks tiny = WithImageStream(chunks, stream, 1);
  tiny.insert(tiny.begin() + 2, {"IDAT", {}});
  expect(JoinChunks(tiny), kPngOk, "one-byte chunks");
  // Rows missing: the stream ends before the image does.
  Chunks taller = chunks;
  taller[0].second[7] = 12;
  expect(JoinChunks(taller), kPngDamaged, "one row less than the header says");
  // Image data broken by another chunk.
  Chunks split = WithImageStream(chunks, stream, stream.size() / 2 + 1);
  split.insert(split.end() - 2, {"tEXt", {'a', 0, 'b'}});
  expect(JoinChunks(split), kPngDamaged, "image data broken by a text chunk");
  // A filter type PNG does not define, in a stream made again without compression.
  std::vector<uint8_t> raw(size_t(11) * (1 + 13 * 3));
  uLongf rawSize = uLongf(raw.size());
  ASSERT_EQ(uncompress(raw.data(), &rawSize, stream.data(), uLong(stream.size())), Z_OK);
  auto deflated = [](const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> out(compressBound(uLong(bytes.size())));
    uLongf size = uLongf(out.size());
    EXPECT_EQ(compress(out.data(), &size, bytes.data(), uLong(bytes.size())), Z_OK);
    out.resize(size);
    return out;
  };
  raw[size_t(5) * (1 + 13 * 3)] = 5;
  expect(JoinChunks(WithImageStream(chunks, deflated(raw), 1000)), kPngDamaged, "filter type 5");
  // Rows that repeat those eight rows above them, in a stream whose header states a window of 256
  // bytes: libpng, inflating row by row, cannot reach 320 bytes back.
  std::vector<uint8_t> repeated = raw;
  repeated[size_t(5) * (1 + 13 * 3)] = 0;
  std::copy(repeated.begin(), repeated.begin() + 3 * (1 + 13 * 3), repeated.begin() + 8 * (1 + 13 * 3));
  std::vector<uint8_t> far = deflated(repeated);
  far[0] = 0x08;                         // deflate with a window of 256 bytes
  far[1] = uint8_t(31 - (0x0800 % 31));  // the header's check bits
  expect(JoinChunks(WithImageStream(chunks, far, 1000)), kPngDamaged, "repeats beyond the stated window");
}

// The chunks before the pixels, read without libpng for plain RGB, RGBA and palette pictures: every
// header value, palette length, chunk order and CRC out of the ordinary gets libpng's answer, with
// the block, the header check and the cursor libpng gives; what libpng takes decodes to its bytes.
TEST(PngLoader, LeadingChunksAnswerAsLibpngDoes) {
  std::mt19937 random(20261213);
  TestPngImage rgb = NoisyImage(9, 5, PNG_COLOR_TYPE_RGB, random);
  TestPngImage palette{9, 5, PNG_COLOR_TYPE_PALETTE, 8};
  for (int i = 0; i < 20 * 3; ++i) palette.paletteRGB.push_back(uint8_t(random()));
  for (uint32_t y = 0; y < 5; ++y) {
    palette.rows.emplace_back(9);
    for (uint8_t& index : palette.rows.back()) index = uint8_t(random() % 20);
  }
  const Chunks plain = SplitChunks(EncodeTestPng(rgb)), paletted = SplitChunks(EncodeTestPng(palette));
  ASSERT_EQ(paletted[1].first, "PLTE");
  struct Case {
    std::string what;
    Chunks chunks;
    int32_t status;  // libpng's answer, or kAnyAnswer
  };
  constexpr int32_t kAnyAnswer = -1;
  std::vector<Case> cases;
  auto header = [&](const Chunks& from, size_t at, uint8_t value, const std::string& what, int32_t status) {
    Chunks changed = from;
    changed[0].second[at] = value;
    cases.push_back({what, changed, status});
  };
  for (const Chunks* from : {&plain, &paletted}) {
    const std::string kind = from == &plain ? "RGB: " : "palette: ";
    cases.push_back({kind + "as written", *from, kPngOk});
    header(*from, 3, 0, kind + "width 0", kPngDamaged);
    header(*from, 8, 16, kind + "16 bits a channel", kAnyAnswer);
    header(*from, 8, 4, kind + "4 bits a channel", kAnyAnswer);
    header(*from, 9, 7, kind + "colour type 7", kPngDamaged);
    header(*from, 10, 1, kind + "compression method 1", kPngDamaged);
    header(*from, 11, 1, kind + "filter method 1", kPngDamaged);
    header(*from, 12, 2, kind + "interlace method 2", kPngDamaged);
    Chunks before = *from;
    before.insert(before.begin(), {"tEXt", {'a', 0, 'b'}});
    cases.push_back({kind + "a text chunk before the header", before, kPngDamaged});
    Chunks physical = *from;
    physical.insert(physical.end() - 2, {"pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x13, 1}});
    cases.push_back({kind + "pixels per metre before the image data", physical, kPngOk});
    Chunks unknown = *from;
    unknown.insert(unknown.begin() + 1, {"vpAg", {1, 2, 3}});
    cases.push_back({kind + "an unknown ancillary chunk after the header", unknown, kPngOk});
    Chunks critical = *from;
    critical.insert(critical.begin() + 1, {"VPAG", {1, 2, 3}});
    cases.push_back({kind + "an unknown critical chunk", critical, kPngDamaged});
    Chunks longHeader = *from;
    longHeader[0].second.push_back(0);
    cases.push_back({kind + "a header of 14 bytes", longHeader, kPngDamaged});
    Chunks noData = *from;
    noData.erase(noData.end() - 2);
    cases.push_back({kind + "no image data", noData, kPngDamaged});
  }
  // Sizes at and past libpng's limits, with image data of that size (black rows) up to 4 MB.
  auto sized = [&](uint32_t width, uint32_t height, int32_t status) {
    Chunks changed = plain;
    for (int i = 0; i < 4; ++i) {
      changed[0].second[size_t(i)] = uint8_t(width >> (24 - 8 * i));
      changed[0].second[size_t(4 + i)] = uint8_t(height >> (24 - 8 * i));
    }
    const uint64_t rawBytes = (1 + 3 * uint64_t(width)) * height;
    if (rawBytes <= (uint64_t(4) << 20)) {
      const std::vector<uint8_t> raw(rawBytes, 0);
      std::vector<uint8_t> stream(compressBound(uLong(raw.size())));
      uLongf size = uLongf(stream.size());
      EXPECT_EQ(compress(stream.data(), &size, raw.data(), uLong(raw.size())), Z_OK);
      stream.resize(size);
      changed = WithImageStream(changed, stream, stream.size());
    }
    cases.push_back({std::to_string(width) + " by " + std::to_string(height), changed, status});
  };
  sized(1000000, 1, kPngOk);
  sized(1000001, 1, kPngDamaged);
  sized(1, 1000000, kPngOk);
  sized(1, 1000001, kPngDamaged);
  sized(0x80000000u, 5, kPngDamaged);
  sized(1000000, 1000, kPngNoMemory);  // a block of 3 GB
  // Palettes: missing, empty, too long, not whole colours, twice, after the image data, in an RGB
  // picture, and with transparency.
  Chunks noPalette = paletted;
  noPalette.erase(noPalette.begin() + 1);
  cases.push_back({"no palette", noPalette, kPngDamaged});
  for (size_t length : {size_t(0), size_t(3 * 257), size_t(31)}) {
    Chunks odd = paletted;
    odd[1].second.resize(length, 7);
    cases.push_back({"a palette of " + std::to_string(length) + " bytes", odd, kPngDamaged});
  }
  Chunks full = paletted;
  full[1].second.resize(3 * 256, 9);
  cases.push_back({"a palette of 256 colours", full, kPngOk});
  Chunks twice = paletted;
  twice.insert(twice.begin() + 1, twice[1]);
  cases.push_back({"two palettes", twice, kPngDamaged});
  Chunks late = paletted;
  std::rotate(late.begin() + 1, late.begin() + 2, late.end() - 1);
  cases.push_back({"the palette after the image data", late, kPngDamaged});
  Chunks suggested = plain;
  suggested.insert(suggested.begin() + 1, paletted[1]);
  cases.push_back({"RGB with a suggested palette", suggested, kPngOk});
  Chunks clear = paletted;
  clear.insert(clear.begin() + 2, {"tRNS", {0, 128, 255}});
  cases.push_back({"a palette with transparency", clear, kPngOk});
  for (const Case& c : cases) {
    const std::vector<uint8_t> png = JoinChunks(c.chunks);
    const BothWays both(png);
    if (c.status != kAnyAnswer) EXPECT_EQ(both.reference, c.status) << c.what;
    EXPECT_TRUE(both.Same()) << c.what << ": " << both.direct << " against " << both.reference << ", header "
                             << both.directHeader << " against " << both.referenceHeader;
    EXPECT_EQ(both.directCursor, both.referenceCursor) << c.what;
    // With a CRC that does not hold in each chunk before the image data in turn.
    size_t at = 8;
    for (const auto& [type, data] : c.chunks) {
      if (type == "IDAT") break;
      std::vector<uint8_t> broken = png;
      broken[at + 8 + data.size()] ^= 0x40;
      const BothWays crc(broken);
      EXPECT_TRUE(crc.Same()) << c.what << ", the CRC of " << type << ": " << crc.direct << " against "
                              << crc.reference;
      EXPECT_EQ(crc.directCursor, crc.referenceCursor) << c.what << ", the CRC of " << type;
      at += 12 + data.size();
    }
  }
}

// A picture that starts further on in the bytes than their first byte: the reading starts where the
// source's cursor stands, on both ways, and gives the same block as the picture on its own.
TEST(PngLoader, APictureIsReadFromTheSourcesCursor) {
  std::mt19937 random(20261214);
  TestPngImage image = NoisyImage(17, 6, PNG_COLOR_TYPE_RGB_ALPHA, random);
  const std::vector<uint8_t> png = EncodeTestPng(image);
  std::vector<uint8_t> alone;
  PngMemorySource source{png.data(), png.size(), 0};
  ASSERT_EQ(loadPngInto(&source, alone), kPngOk);
  std::vector<uint8_t> after = {1, 2, 3, 4, 5};
  after.insert(after.end(), png.begin(), png.end());
  for (PngRows way : {PngRows::kDirect, PngRows::kThroughLibpng}) {
    std::vector<uint8_t> block;
    PngMemorySource further{after.data(), after.size(), 5};
    ASSERT_EQ(loadPngInto(&further, block, way), kPngOk);
    EXPECT_EQ(block, alone);
    EXPECT_EQ(further.cursor, after.size());
    PngMemorySource checked{after.data(), after.size(), 5};
    EXPECT_EQ(checkPngHeader(&checked, way), kPngOk);
  }
}

// The image data inflated whole: every compression level (stored blocks, the greedy matching the
// program's own pictures are written with, the lazy matching of the default) and one or many chunks
// give libpng's bytes; a stream's own ending that is not exactly at the image data's end (its sum cut
// short, a byte after it, a preset dictionary, header check bits that do not hold) answers as libpng.
TEST(PngLoader, WholeImageDataAnswersAsLibpngAtItsEnds) {
  std::mt19937 random(20261211);
  TestPngImage image = NoisyImage(37, 19, PNG_COLOR_TYPE_RGB, random);
  image.filters = PNG_FILTER_NONE;
  const Chunks chunks = SplitChunks(EncodeTestPng(image));
  const std::vector<uint8_t> stream = ImageStream(chunks);
  std::vector<uint8_t> raw(size_t(19) * (1 + 37 * 3));
  uLongf rawSize = uLongf(raw.size());
  ASSERT_EQ(uncompress(raw.data(), &rawSize, stream.data(), uLong(stream.size())), Z_OK);
  auto deflated = [&raw](int level) {
    std::vector<uint8_t> out(compressBound(uLong(raw.size())));
    uLongf size = uLongf(out.size());
    EXPECT_EQ(compress2(out.data(), &size, raw.data(), uLong(raw.size()), level), Z_OK);
    out.resize(size);
    return out;
  };
  auto expect = [](const Chunks& made, int32_t status, const std::string& what) {
    const BothWays both(JoinChunks(made));
    EXPECT_EQ(both.reference, status) << what;
    EXPECT_TRUE(both.Same()) << what << ": " << both.direct << " against " << both.reference;
    EXPECT_EQ(both.directCursor, both.referenceCursor) << what;
  };
  for (int level = 0; level <= 9; ++level)
    for (size_t most : {size_t(7), size_t(100000)})
      expect(WithImageStream(chunks, deflated(level), most), kPngOk,
             "level " + std::to_string(level) + ", chunks of " + std::to_string(most));
  const std::vector<uint8_t> plain = deflated(3);
  std::vector<uint8_t> cutSum(plain.begin(), plain.end() - 1);
  expect(WithImageStream(chunks, cutSum, 100000), kPngDamaged, "the stream's sum cut short");
  std::vector<uint8_t> longer = plain;
  longer.push_back(0);
  const BothWays extra(JoinChunks(WithImageStream(chunks, longer, 100000)));
  EXPECT_TRUE(extra.Same()) << "a byte after the stream's sum";
  std::vector<uint8_t> dictionary = plain;
  dictionary[1] = uint8_t((dictionary[1] & 0xC0) | 0x20);
  dictionary[1] = uint8_t(dictionary[1] + (31 - (dictionary[0] << 8 | dictionary[1]) % 31) % 31);
  expect(WithImageStream(chunks, dictionary, 100000), kPngDamaged, "a preset dictionary");
  std::vector<uint8_t> badCheck = plain;
  badCheck[1] ^= 1;
  expect(WithImageStream(chunks, badCheck, 100000), kPngDamaged, "header check bits that do not hold");
}

// Each thread keeps its inflater; the desktop's reset has it made again. Pictures decode to the same
// bytes before and after a reset, and on several threads at once.
TEST(PngLoader, PicturesDecodeTheSameAcrossResetsAndThreads) {
  std::mt19937 random(20261212);
  TestPngImage image = NoisyImage(64, 40, PNG_COLOR_TYPE_RGB_ALPHA, random);
  const std::vector<uint8_t> png = EncodeTestPng(image);
  auto decode = [&png] {
    PngMemorySource source{png.data(), png.size(), 0};
    std::vector<uint8_t> block;
    EXPECT_EQ(loadPngInto(&source, block), kPngOk);
    return block;
  };
  const std::vector<uint8_t> first = decode();
  ASSERT_FALSE(first.empty());
  plat::HeadlessDriver::Reset();
  EXPECT_EQ(decode(), first);
  std::vector<std::vector<uint8_t>> seen(4);
  std::vector<std::thread> threads;
  for (auto& s : seen)
    threads.emplace_back([&s, &decode] {
      for (int i = 0; i < 20; ++i) s = decode();
    });
  plat::HeadlessDriver::Reset();  // while the threads decode
  for (auto& t : threads) t.join();
  for (const auto& s : seen) EXPECT_EQ(s, first);
}

TEST(PngLoader, APictureIsToldFromItsBytesAsSetFromMemoryWouldMakeIt) {
  TestPngImage s{2, 2, PNG_COLOR_TYPE_RGB, 8};
  s.rows.assign(2, std::vector<uint8_t>(6, 0x33));
  const std::vector<uint8_t> png = EncodeTestPng(s);
  EXPECT_TRUE(ppPicture::HoldsPicture(png.data(), png.size()));
  EXPECT_FALSE(ppPicture::HoldsPicture(png.data(), 20));  // the header is cut
  EXPECT_FALSE(ppPicture::HoldsPicture(nullptr, 10));
  EXPECT_FALSE(ppPicture::HoldsPicture(png.data(), 0));
  const std::vector<uint8_t> noise(64, 0x41);
  EXPECT_FALSE(ppPicture::HoldsPicture(noise.data(), noise.size()));
  // A packed bitmap: a 40-byte header, one 24-bit pixel padded to four bytes.
  std::vector<uint8_t> dib(44, 0);
  const uint32_t headerSize = 40, width = 1, height = 1;
  const uint16_t planes = 1, bits = 24;
  std::memcpy(dib.data(), &headerSize, 4);
  std::memcpy(dib.data() + 4, &width, 4);
  std::memcpy(dib.data() + 8, &height, 4);
  std::memcpy(dib.data() + 12, &planes, 2);
  std::memcpy(dib.data() + 14, &bits, 2);
  ppPicture made;
  made.SetFromMemory(dib.data(), dib.size());
  ASSERT_FALSE(made.IsEmpty());
  EXPECT_TRUE(ppPicture::HoldsPicture(dib.data(), dib.size()));
}

}  // namespace

// Decoding into bytes that are not zeroed first writes every byte of the block: row padding and the
// unused bits of a grey row's last byte come out as zeros, whatever the storage held before, on the
// direct way and through libpng alike (odd widths, bit depths below 8, palettes, interlacing).
TEST(PngLoader, BytesNotZeroedFirstGiveTheSameBlock) {
  std::mt19937 random(20261209);
  std::vector<TestPngImage> images;
  for (uint32_t width : {1u, 3u, 5u, 30u})
    for (int colorType : {PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA})
      for (bool interlaced : {false, true}) {
        images.push_back(NoisyImage(width, 7, colorType, random));
        images.back().interlaced = interlaced;
      }
  for (int depth : {1, 2, 4, 8})
    for (bool interlaced : {false, true}) {
      TestPngImage grey{5, 6, PNG_COLOR_TYPE_GRAY, depth};
      grey.interlaced = interlaced;
      for (uint32_t y = 0; y < grey.height; ++y) {
        std::vector<uint8_t> row((grey.width * uint32_t(depth) + 7) / 8);
        for (uint8_t& b : row) b = uint8_t(random());
        grey.rows.push_back(row);
      }
      images.push_back(grey);
    }
  TestPngImage palette{3, 2, PNG_COLOR_TYPE_PALETTE, 8};
  palette.paletteRGB = {10, 20, 30, 40, 50, 60};
  palette.rows = {{0, 1, 0}, {1, 1, 0}};
  images.push_back(palette);
  for (const TestPngImage& image : images) {
    const std::vector<uint8_t> png = EncodeTestPng(image);
    const std::string where = std::to_string(image.width) + " wide, colour type " +
                              std::to_string(image.colorType) + ", depth " + std::to_string(image.bitDepth) +
                              (image.interlaced ? ", interlaced" : "");
    PngMemorySource source{png.data(), png.size(), 0};
    std::vector<uint8_t> zeroed;
    ASSERT_EQ(loadPngInto(&source, zeroed), kPngOk) << where;
    for (PngRows way : {PngRows::kDirect, PngRows::kThroughLibpng}) {
      PictureBlock dirty(zeroed.size() + 64, 0xA5);  // what a resize keeps
      PngMemorySource again{png.data(), png.size(), 0};
      ASSERT_EQ(loadPngInto(&again, dirty, way), kPngOk) << where;
      EXPECT_TRUE(std::equal(dirty.begin(), dirty.end(), zeroed.begin(), zeroed.end())) << where;
    }
  }
}
