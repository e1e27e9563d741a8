#include <gtest/gtest.h>

#include <random>
#include <string>

#include "exchange/ParseServerFileList.h"
#include "exchange/Save2ServerSession.h"
#include "exchange/UrlField.h"

namespace {

std::u16string Names(const Vcon::String& reply) {
  std::u16string names;
  const auto list = ParseServerFileList(reply);
  for (const ServerFileEntry& entry : *list) names += entry.name + u"|" + entry.date + u";";
  return names;
}

TEST(ParseServerFileList, ReadsNameThenDateOfEachFileElement) {
  const struct {
    const char* reply;
    const char16_t* names;
  } kCases[] = {
      {"", u""},
      {"<accept/>", u""},
      {"<files><file name=\"a\" date=\"1\"/><file name=\"b\" date=\"2\"/></files>", u"a|1;b|2;"},
      {"<files><file name=\"a\" date=\"1\"/><file name=\"b/></files>", u"a|1;"},  // second name unclosed
      {"<file name=\"a\" date=\"1\"/><file name=\"b\" date=\"2", u"a|1;"},        // date lacks its quote
      {"<file name=\"\" date=\"1\"/><file name=\"b\" date=\"2\"/>", u"b|2;"},     // an empty name is skipped
      {"<file name=\"a%22b%3F\" date=\"x%22\"/>", u"a\"b?|x%22;"},                // dates are not decoded
      {"<file name=\"\xC3\xA6\xFF\" date=\"\xE6\"/>", u"\u00E6\uFFFD|\u00E6;"},   // UTF-8 name, ANSI date
      {"<file date=\"1\" name=\"a\"/>", u""},  // date before name: the date search finds none after
  };
  for (const auto& c : kCases) EXPECT_EQ(Names(c.reply), c.names) << c.reply;
}

TEST(UrlField, EncodesSixteenCharactersAndThePercentSign) {
  EXPECT_EQ(UrlEncodeField(u"a\"b#c.qxf"), u"a%2522b%2523c.qxf");
  EXPECT_EQ(UrlEncodeField(u"50% off"), u"50%25 off");
  EXPECT_EQ(UrlEncodeField(u"\"\\^`{}|][<>#+/&?"),
            u"%2522%255C%255E%2560%257B%257D%257C%255D%255B%253C%253E%2523%252B%252F%2526%253F");
  EXPECT_EQ(UrlEncodeField(u"= ;:\u00E6"), u"= ;:\u00E6");
  EXPECT_EQ(UrlDecodeField(u"a%22b"), u"a\"b");
  EXPECT_EQ(UrlDecodeField(u"a%2fb"), u"a%2fb");
  EXPECT_EQ(UrlDecodeField(u"a%2522b"), u"a%22b");  // not the encoder's inverse
  EXPECT_EQ(UrlDecodeField(u"%%22%2"), u"%\"%2");
}

// The one-pass coders give what replacing each escape in turn over the whole text gives.
TEST(UrlField, OnePassEqualsReplacingInTurn) {
  const std::u16string kTable[][2] = {{u"\"", u"%22"}, {u"\\", u"%5C"}, {u"^", u"%5E"}, {u"`", u"%60"},
                                      {u"{", u"%7B"},  {u"}", u"%7D"},  {u"|", u"%7C"}, {u"]", u"%5D"},
                                      {u"[", u"%5B"},  {u"<", u"%3C"},  {u">", u"%3E"}, {u"#", u"%23"},
                                      {u"+", u"%2B"},  {u"/", u"%2F"},  {u"&", u"%26"}, {u"?", u"%3F"}};
  const std::u16string kPieces[] = {u"%", u"2",  u"5", u"22", u"3F", u"a", u"\"",
                                    u"?", u"%2", u"F", u"f",  u"B",  u"#"};
  std::mt19937 random(3);
  for (int round = 0; round < 2000; ++round) {
    Vcon::WString text;
    for (int i = random() % 8; i > 0; --i) text += kPieces[random() % std::size(kPieces)];
    Vcon::WString encoded = text;
    for (const auto& row : kTable) encoded.ReplaceAll(row[0], row[1]);
    encoded.ReplaceAll(u"%", u"%25");
    Vcon::WString decoded = text;
    for (const auto& row : kTable) decoded.ReplaceAll(row[1], row[0]);
    decoded.ReplaceAll(u"%25", u"%");
    ASSERT_EQ(UrlEncodeField(text), encoded);
    ASSERT_EQ(UrlDecodeField(text), decoded);
  }
}

TEST(Save2ServerSession, ReplyCleanUpAndUploadData) {
  EXPECT_EQ(Save2ServerSession::CleanReply("  \t <a\tb>\r\n  c\t"), "<ab>\r\n  c");
  EXPECT_EQ(Save2ServerSession::CleanReply("\t\t  \t "), "");
  EXPECT_EQ(Save2ServerSession::CleanReply("\n x"), "\n x");
  EXPECT_EQ(Save2ServerSession::UploadData("\xFB\xFF", 2), "%2B%2F8%3D");
  EXPECT_EQ(Save2ServerSession::UploadData("", 0), "");
}

}  // namespace
