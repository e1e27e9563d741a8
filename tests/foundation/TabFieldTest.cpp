#include "foundation/TabField.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Field {
  std::string text;
  bool lineEnded;
  bool last;
};

// Reads every field of `text` the way the program's readers do, with a buffer of `size` bytes.
std::vector<Field> ReadFields(const char* text, size_t size = 256) {
  std::vector<Field> fields;
  std::vector<char> buffer(size + 1, '#');
  const char* p = text;
  while (p != nullptr) {
    bool lineEnded = false;
    p = ParseTabField(buffer.data(), size, p, lineEnded);
    EXPECT_EQ(buffer[size], '#') << "wrote past the buffer";
    fields.push_back({buffer.data(), lineEnded, p == nullptr});
  }
  return fields;
}

TEST(TabField, SplitsFieldsAndLines) {
  auto f = ReadFields("a\tb\nc");
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0].text, "a");
  EXPECT_FALSE(f[0].lineEnded);
  EXPECT_EQ(f[1].text, "b");
  EXPECT_TRUE(f[1].lineEnded);
  EXPECT_EQ(f[2].text, "c");
  EXPECT_TRUE(f[2].last);

  // A TAB right before the line end gives no extra empty field; CR LF ends a line too.
  f = ReadFields("a\t\nb\r\nc");
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0].text, "a");
  EXPECT_TRUE(f[0].lineEnded);
  EXPECT_EQ(f[1].text, "b");
  EXPECT_TRUE(f[1].lineEnded);

  // A lone CR ends the field but not the line.
  f = ReadFields("a\rb");
  ASSERT_EQ(f.size(), 2u);
  EXPECT_FALSE(f[0].lineEnded);
  EXPECT_EQ(f[1].text, "b");

  // Two TABs make an empty field between them.
  f = ReadFields("a\t\tb");
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[1].text, "");
}

TEST(TabField, EmptyTextGivesOneEmptyFieldAndEnds) {
  char buffer[8] = "xxxxxxx";
  bool lineEnded = true;
  EXPECT_EQ(ParseTabField(buffer, sizeof buffer, "", lineEnded), nullptr);
  EXPECT_STREQ(buffer, "");
  EXPECT_TRUE(lineEnded) << "the end of the text leaves the flag alone";
}

TEST(TabField, QuotesAndEscapes) {
  EXPECT_EQ(ReadFields("\"a\"\"b\"")[0].text, "a\"b");
  EXPECT_EQ(ReadFields("a\"\"b")[0].text, "a\"\"b") << "quotes are plain inside an unquoted field";
  EXPECT_EQ(ReadFields("\"a\tb\"")[0].text, "a") << "quotes do not protect a TAB";
  EXPECT_EQ(ReadFields("x\\ty\\nz\\r\\\\")[0].text, "x\ty\nz\r\\");
  EXPECT_EQ(ReadFields("a\\0b")[0].text, "a\\0b");
  EXPECT_EQ(ReadFields("a\\qb")[0].text, "aqb") << "an unknown escape gives its character";
  // An escaped TAB does not end the field.
  auto f = ReadFields("a\\\tb\tc");
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].text, "a\tb");
}

TEST(TabField, BackslashAtTheEndStopsAtTheTerminator) {
  auto f = ReadFields("ab\\");
  ASSERT_EQ(f.size(), 1u);
  EXPECT_EQ(f[0].text, "ab\\");
  EXPECT_TRUE(f[0].last);
}

TEST(TabField, LongFieldIsCutToTheBufferButFullyPassedOver) {
  std::string longField(300, 'x');
  std::string text = longField + "\tnext";
  auto f = ReadFields(text.c_str());
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].text, std::string(255, 'x'));
  EXPECT_EQ(f[1].text, "next");

  // Escapes that write two characters respect the bound too.
  f = ReadFields("ab\\0", 4);
  EXPECT_EQ(f[0].text, "ab\\");
}

}  // namespace
