// The display-list layout block: the four built-in layouts byte for byte, reading and writing fields
// in place, and blocks whose count claims more columns than they hold.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "controls/DisplayListLayout.h"
#include "foundation/ResourceAccess.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Word(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

// A 32-byte text: the text, a NUL, '.' up to the end.
void Text(Bytes& b, const std::string& text) {
  b.insert(b.end(), text.begin(), text.end());
  b.push_back(0);
  b.resize(b.size() + 31 - text.size(), '.');
}

Bytes Header(const std::string& title, uint32_t flags, uint32_t layoutId, uint32_t columns) {
  Bytes b;
  Text(b, title);
  Word(b, flags);
  Word(b, layoutId);
  Text(b, "Arial");
  Word(b, 10);
  for (int i = 0; i < 4; ++i) Word(b, 0);
  Word(b, columns);
  return b;
}

void Column(Bytes& b, uint32_t layout, uint32_t field, uint32_t width, int32_t format, uint32_t flags,
            uint32_t extra) {
  for (uint32_t w : {layout, 0u, field, 0u, width, uint32_t(format), flags, extra}) Word(b, w);
}

Bytes Resource(const char* name) {
  Handle h = LoadResourceHandle(ResourceTypeCode("DLST"), name);
  if (h == nullptr) return {};
  Bytes b(reinterpret_cast<uint8_t*>(*h), reinterpret_cast<uint8_t*>(*h) + MemGetSize(h));
  ReleaseResourceHandle(h);
  return b;
}

TEST(DisplayListLayoutTest, BuiltInLayoutsHaveTheirExactBytes) {
  Bytes screen = Header("Calculation Items", 1, 5417, 9);
  Column(screen, 0, 20, 200, 0, 0, 0x20);
  Column(screen, 0, 6, 150, 0, 0, 0);
  Column(screen, 0, 7, 50, -1, 0, 0);
  for (uint32_t field : {8u, 22u, 23u, 15u, 30u, 31u}) Column(screen, 0, field, 50, -1, 1, 0);
  EXPECT_EQ(screen.size(), 384u);
  EXPECT_EQ(Resource("qxCalculatorDlst"), screen);

  Bytes print = Header("Calculation Items", 2, 5417, 10);
  Column(print, 0, 11, 60, 0, 8, 0);
  Column(print, 0, 20, 200, 0, 0, 0x20);
  Column(print, 0, 6, 100, 0, 0, 0);
  for (uint32_t field : {7u, 8u, 22u, 23u, 15u, 30u, 31u}) Column(print, 0, field, 50, -1, 8, 0);
  EXPECT_EQ(print.size(), 416u);
  EXPECT_EQ(Resource("qxCalculatorPrintDlst"), print);

  EXPECT_EQ(Resource("qxCalculatorDummyDlst"), Header("Calculation Items", 1, 5417, 0));

  Bytes top = Header("Top View Items", 1, 5404, 2);
  Column(top, 5404, 0, 100, 0, 0, 0);
  Column(top, 5404, 1, 100, 0, 0, 0);
  EXPECT_EQ(top.size(), 160u);
  EXPECT_EQ(Resource("QXTOPVIEWDLST"), top);
}

TEST(DisplayListLayoutTest, ReadsTheBuiltInScreenLayout) {
  Handle h = LoadResourceHandle(ResourceTypeCode("DLST"), "qxCalculatorDlst");
  ASSERT_NE(h, nullptr);
  DisplayListLayout::Header header;
  ASSERT_TRUE(DisplayListLayout::ReadHeader(h, &header));
  EXPECT_EQ(header.title, "Calculation Items");
  EXPECT_EQ(header.flags, 1u);
  EXPECT_EQ(header.layoutId, 5417u);
  EXPECT_EQ(header.fontFace, "Arial");
  EXPECT_EQ(header.fontSize, 10u);
  EXPECT_EQ(DisplayListLayout::ColumnCount(h), 9u);
  const DisplayListLayout::Column first = DisplayListLayout::ReadColumn(h, 0);
  EXPECT_EQ(DisplayListLayout::FieldOf(first), 20);
  EXPECT_EQ(first.width, 200);
  EXPECT_EQ(first.extra, 0x20u);
  EXPECT_EQ(DisplayListLayout::ReadColumn(h, 2).textFormat, -1);
  ReleaseResourceHandle(h);
}

TEST(DisplayListLayoutTest, WritesInPlaceLittleEndianAndCutsTexts) {
  DisplayListLayout::Header header;
  header.title = std::string(40, 'T');
  header.fontFace = "Face";
  header.frame[0] = -2;
  header.frame[3] = 300;
  DisplayListLayout::Column column;
  column.fieldIndex = 0x8001;
  column.width = 0x01020304;
  Handle h = DisplayListLayout::Make(header, {column, column});
  ASSERT_EQ(MemGetSize(h), 160);
  const uint8_t* b = reinterpret_cast<const uint8_t*>(*h);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b)), std::string(31, 'T')) << "31 bytes and a NUL";
  EXPECT_EQ(b[32], 0) << "the flags after the title stay untouched";
  EXPECT_EQ(std::memcmp(b + 76, "\xFE\xFF\xFF\xFF", 4), 0);
  EXPECT_EQ(std::memcmp(b + 88, "\x2C\x01\x00\x00", 4), 0);
  EXPECT_EQ(std::memcmp(b + 96 + 32 + 16, "\x04\x03\x02\x01", 4), 0);
  // Field index words above 32767 are negative 16-bit numbers.
  EXPECT_EQ(DisplayListLayout::FieldOf(DisplayListLayout::ReadColumn(h, 1)), -32767);

  DisplayListLayout::WriteTitle(h, "Short");
  DisplayListLayout::Header back;
  ASSERT_TRUE(DisplayListLayout::ReadHeader(h, &back));
  EXPECT_EQ(back.title, "Short");
  EXPECT_EQ(back.frame[0], -2);
  EXPECT_EQ(back.columnCount, 2u);
  MemDispose(h);
}

TEST(DisplayListLayoutTest, ShortBlocksAreReadAsFarAsTheyGo) {
  DisplayListLayout::Header header;
  Handle h = DisplayListLayout::Make(header, {DisplayListLayout::Column{}});
  // The count claims 1000 columns; the block holds one.
  DisplayListLayout::PutU32(*h + 92, 1000);
  EXPECT_EQ(DisplayListLayout::ColumnCount(h), 1u);
  DisplayListLayout::Column c;
  c.width = 7;
  DisplayListLayout::WriteColumn(h, 5, c);  // not held: nothing written
  EXPECT_EQ(MemGetSize(h), 128);
  EXPECT_EQ(DisplayListLayout::ReadColumn(h, 5).width, 0);
  MemSetSize(h, 50);
  DisplayListLayout::Header out;
  EXPECT_FALSE(DisplayListLayout::ReadHeader(h, &out));
  EXPECT_EQ(DisplayListLayout::ColumnCount(h), 0u);
  EXPECT_EQ(DisplayListLayout::ColumnCount(nullptr), 0u);
  MemDispose(h);
}

}  // namespace
