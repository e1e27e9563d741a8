// The remote command text: which texts are options and which open a document, the arguments each
// letter reads, quoted and separated arguments, the bounds, and the report texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas/window/RemoteCommandText.h"

namespace {

using Args = std::vector<std::u16string>;

RemoteCommandText::Command Parse(const std::u16string& text, bool exists = false) {
  return RemoteCommandText::Parse(text, [&](const std::u16string&) { return exists; });
}

TEST(RemoteCommandTextTest, OptionsAndDocumentsAreToldApartByTheirStart) {
  struct Case {
    std::u16string text;
    bool exists;
    bool open;
    char16_t letter;
  } cases[] = {
      {u"-d 17", false, false, u'd'},
      {u"  /n", false, false, u'n'},
      {u"-b1,2,3", false, false, u'b'},  // a digit may follow the letter
      {u"-o\"a.qxf\"", false, false, u'o'},
      {u"-x", false, false, u'x'},
      {u"\t-n", false, false, u'n'},
      // Linux paths hold "/" and file names "-": they open.
      {u"/home/anna/plans/kitchen.qxf", false, true, 0},
      {u"/h", true, true, 0},  // an existing file named like an option opens
      {u"C:\\plans\\my-kitchen.qxf", false, true, 0},
      {u"kitchen -b.qxf", false, true, 0},
      {u"-bx", false, true, 0},
      {u"--n", false, true, 0},
      {u"-", false, true, 0},
      {u"", false, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    const RemoteCommandText::Command command = Parse(c.text, c.exists);
    EXPECT_EQ(command.open, c.open);
    EXPECT_EQ(command.letter, c.letter);
    if (c.open) EXPECT_TRUE(command.arguments.empty());
  }
}

TEST(RemoteCommandTextTest, EachLetterReadsItsArgumentsMissingOnesEmpty) {
  struct Case {
    std::u16string text;
    Args arguments;
  } cases[] = {
      {u"-o 1 \"kitchen one.qxf\" 3", {u"1", u"kitchen one.qxf", u"3"}},
      {u"-n", {u"", u""}},
      {u"-d 17", {u"17"}},
      {u"-b1,2,3", {u"1", u"2", u"3", u"", u"", u""}},
      {u"-b\t1 ,, 2\t,3", {u"1", u"2", u"3", u"", u"", u""}},  // any mix of separators
      {u"-o\"a b\" c", {u"a", u"b\"", u"c"}},                  // the quote after the letter is skipped
      {u"-o 1 \"open end", {u"1", u"open end", u""}},
      {u"-x 1 2", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    EXPECT_EQ(Parse(c.text).arguments, c.arguments);
  }
}

TEST(RemoteCommandTextTest, NextArgumentAnswersThePositionAfterItOrNoneAtTheEnd) {
  const std::u16string text = u" a,\"b c\" d";
  std::u16string out;
  size_t at = RemoteCommandText::NextRemoteArgument(text, 0, out);
  EXPECT_EQ(out, u"a");
  EXPECT_EQ(at, 2u);
  at = RemoteCommandText::NextRemoteArgument(text, at, out);
  EXPECT_EQ(out, u"b c");
  EXPECT_EQ(at, 8u);  // after the closing quote
  at = RemoteCommandText::NextRemoteArgument(text, at, out);
  EXPECT_EQ(out, u"d");
  EXPECT_EQ(at, RemoteCommandText::kNone);
  out = u"kept?";
  EXPECT_EQ(RemoteCommandText::NextRemoteArgument(text, RemoteCommandText::kNone, out),
            RemoteCommandText::kNone);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(RemoteCommandText::NextRemoteArgument(u"a ,\t", 1, out), RemoteCommandText::kNone);
  EXPECT_TRUE(out.empty());
}

TEST(RemoteCommandTextTest, ArgumentsAndReportsAreCutAt255) {
  const std::u16string path(300, u'p');
  const RemoteCommandText::Command open = Parse(u"-o 1 " + path);
  ASSERT_EQ(open.arguments.size(), 3u);
  EXPECT_EQ(open.arguments[1], std::u16string(255, u'p'));
  const std::u16string quoted(400, u'q');
  const RemoteCommandText::Command b = Parse(u"-b \"" + quoted + u"\" 2");
  EXPECT_EQ(b.arguments[0].size(), 255u);
  EXPECT_EQ(b.arguments[1], u"2");
  EXPECT_EQ(RemoteCommandText::ReportText(b).size(), 255u);
}

TEST(RemoteCommandTextTest, ReportTextsOfTheTwoReportingCommands) {
  EXPECT_EQ(RemoteCommandText::ReportText(Parse(u"-d 17")), u"Delete Document er kaldt med 17 som argument");
  EXPECT_EQ(RemoteCommandText::ReportText(Parse(u"-b1,2,3")),
            u"Generate BMP er kaldt med 1, 2, 3, , ,  som argumenter");
  EXPECT_EQ(RemoteCommandText::ReportText(Parse(u"-n")), u"");
  EXPECT_EQ(RemoteCommandText::ReportText(Parse(u"plan.qxf")), u"");
  EXPECT_EQ(std::u16string(RemoteCommandText::kReportCaption), u"Remote Call");
}

}  // namespace
