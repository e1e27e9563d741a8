#include "exchange/Base64Codec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string Encode(const std::string& bytes) {
  return Base64Codec().Encode(bytes.data(), int32_t(bytes.size()));
}

// Decodes into a buffer as long as the text; a refused text comes back as "<refused>".
std::string Decode(const std::string& text) {
  std::vector<char> out(text.size() + 1, 0);
  const int32_t n = Base64Codec().Decode(text, out.data());
  if (n < 0) return "<refused>";
  EXPECT_LE(size_t(n), text.size());
  return std::string(out.data(), size_t(n));
}

TEST(Base64Codec, KnownVectorsBothWays) {
  const struct {
    const char* bytes;
    const char* text;
  } kCases[] = {{"", ""},
                {"f", "Zg=="},
                {"fo", "Zm8="},
                {"foo", "Zm9v"},
                {"foob", "Zm9vYg=="},
                {"fooba", "Zm9vYmE="},
                {"foobar", "Zm9vYmFy"}};
  for (const auto& c : kCases) {
    EXPECT_EQ(Encode(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(Decode(c.text), c.bytes) << c.text;
  }
}

TEST(Base64Codec, LineBreaksAndPaddingByLength) {
  EXPECT_EQ(Encode(std::string(4, 'x')).size(), 8u);
  EXPECT_EQ(Encode(std::string(4, 'x')).substr(6), "==");
  EXPECT_EQ(Encode(std::string(5, 'x')).size(), 8u);
  EXPECT_EQ(Encode(std::string(5, 'x')).substr(7), "=");
  EXPECT_NE(Encode(std::string(5, 'x'))[6], '=');
  EXPECT_EQ(Encode(std::string(6, 'x')).find('='), std::string::npos);
  EXPECT_EQ(Encode(std::string(6, 'x')).size(), 8u);

  const std::string full = Encode(std::string(57, '\xA5'));
  ASSERT_EQ(full.size(), 78u);
  EXPECT_EQ(full.substr(76), "\r\n");
  EXPECT_EQ(full.find_first_of("\r\n="), 76u);

  const std::string more = Encode(std::string(58, '\xA5'));
  ASSERT_EQ(more.size(), 82u);
  EXPECT_EQ(more.substr(0, 78), full);
  EXPECT_EQ(more.substr(80), "==");
  // Every line holds 76 characters, also the last one when the text ends there.
  const std::string two = Encode(std::string(114, 'y'));
  EXPECT_EQ(two.size(), 156u);
  EXPECT_EQ(two.substr(76, 2), "\r\n");
  EXPECT_EQ(two.substr(154), "\r\n");
}

TEST(Base64Codec, LenientDecoding) {
  const struct {
    const char* text;
    std::string bytes;
  } kCases[] = {
      {"YQ==TWFu", "a"},                         // "==" in third place ends decoding, whatever follows
      {"YWI=TWFu", "abMan"},                     // "=" in fourth place leaves out one byte and goes on
      {"TWFuTW", "Man"},                         // a short last group is ignored (4n + 2)
      {"TWFuT", "Man"},                          // 4n + 1
      {"TWFuTWF", "Man"},                        // 4n + 3
      {"*WFu", "<refused>"},                     // outside the alphabet in first place
      {"T*Fu", "<refused>"},                     // and in second place
      {"TWFuT\r\nWFu", "<refused>"},             // a line break left in second place of a group
      {"TW*u", std::string("M\x70\x2E", 3)},     // third place: enters as 64, no refusal
      {"TWF*", "Ma\x40"},                        // fourth place likewise
      {"==AA", std::string("\xF7\xD0\x00", 3)},  // "=" in first places counts as 61
  };
  for (const auto& c : kCases) EXPECT_EQ(Decode(c.text), c.bytes) << c.text;
  EXPECT_EQ(Base64Codec::ValueOf('A'), 0);
  EXPECT_EQ(Base64Codec::ValueOf('z'), 51);
  EXPECT_EQ(Base64Codec::ValueOf('9'), 61);
  EXPECT_EQ(Base64Codec::ValueOf('='), 61);
  EXPECT_EQ(Base64Codec::ValueOf('/'), 63);
  EXPECT_EQ(Base64Codec::ValueOf('\xC3'), 64);
  EXPECT_EQ(Base64Codec::ValueOf('\n'), 64);
}

TEST(Base64Codec, RandomBytesComeBackUnchanged) {
  std::mt19937 random(20240501);
  for (int round = 0; round < 60; ++round) {
    const size_t size = round < 10 ? size_t(round) : random() % 10'001;
    std::string bytes(size, '\0');
    for (char& b : bytes) b = char(random());
    std::string text = Encode(bytes);
    std::erase(text, '\r');
    std::erase(text, '\n');
    ASSERT_EQ(Decode(text), bytes) << "size " << size;
  }
}

}  // namespace
