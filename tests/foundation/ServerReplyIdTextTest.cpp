#include <gtest/gtest.h>

#include <string>

#include "foundation/ServerReplyIdText.h"

namespace {

TEST(ServerReplyIdText, TheFirstQuotedTextAfterTheFirstIdIsTheIdInBothWidths) {
  const struct {
    const char* reply;
    const char* id;  // null: none
  } kCases[] = {
      {"<error id=\"x7\"/>", "x7"},
      {"<error id=\"\"/>", ""},
      {"<error id= \"12\" more=\"3\"/>", "12"},     // anything may stand before the quote
      {"<error id=\"4\"/><error id=\"5\"/>", "4"},  // the first id wins
      {"<error code=\"9\" id=\"4\"/>", "4"},        // quotes before the id do not count
      {"<error id=x7/>", nullptr},                  // no quotes
      {"<error id=\"x7/>", nullptr},                // no closing quote
      {"<error code=\"7\"/>", nullptr},             // no id
      {"", nullptr},
      {"id=", nullptr},
  };
  for (const auto& c : kCases) {
    const std::optional<std::string_view> narrow = ServerReplyIdText(std::string_view(c.reply));
    ASSERT_EQ(narrow.has_value(), c.id != nullptr) << c.reply;
    if (c.id != nullptr) EXPECT_EQ(*narrow, c.id) << c.reply;
    const std::u16string wideReply(c.reply, c.reply + std::char_traits<char>::length(c.reply));
    const std::optional<std::u16string_view> wide = ServerReplyIdText(std::u16string_view(wideReply));
    ASSERT_EQ(wide.has_value(), c.id != nullptr) << c.reply;
    if (c.id != nullptr)
      EXPECT_EQ(std::u16string(*wide), std::u16string(c.id, c.id + std::char_traits<char>::length(c.id)))
          << c.reply;
  }
}

TEST(ServerReplyIdText, WideRepliesKeepTheirCharactersBeyondLatin) {
  const std::u16string reply = u"<error id=\"\u0161\u20ac1\"/>";
  const std::optional<std::u16string_view> id = ServerReplyIdText(std::u16string_view(reply));
  ASSERT_TRUE(id);
  EXPECT_EQ(std::u16string(*id), u"\u0161\u20ac1");
}

}  // namespace
