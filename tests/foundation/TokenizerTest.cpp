#include "foundation/ppStringStream.h"
#include "foundation/ppTokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every token up to the end of the stream.
std::vector<std::u16string> Tokens(ppTokenizer& t, int max = 20) {
  std::vector<std::u16string> tokens;
  Vcon::WString token;
  for (int i = 0; i < max && !t.AtEnd(); ++i) tokens.push_back(t.GetToken(token));
  return tokens;
}

// The settings of the placement-warnings rule reader and of the price-text reader.

struct WarningsReader {
  explicit WarningsReader(const std::string& text) : stream(Vcon::String(text)) {}
  ppStringStream stream;
  ppTokenizer tokens{stream, u":,", u" \t", u"\n\r", ppTokenizer::kAskStream, true};
};

struct PriceTextReader {
  explicit PriceTextReader(const std::string& text) : stream(Vcon::String(text)) {}
  ppStringStream stream;
  ppTokenizer tokens{stream, u": ", u"", u"\r\n", ppTokenizer::kAskStream, true};
};

using Expected = std::vector<std::u16string>;

// The next token as a plain string, so a stray NUL in it shows.
std::u16string Next(ppTokenizer& t) {
  Vcon::WString token;
  return t.GetToken(token);
}

TEST(Tokenizer, WordsSeparatorsAndBlanks) {
  WarningsReader r("warning 12:show");
  EXPECT_EQ(Tokens(r.tokens), (Expected{u"warning", u"12", u":", u"show"}));

  WarningsReader tab("a\tb ,  c");
  EXPECT_EQ(Tokens(tab.tokens), (Expected{u"a", u"b", u",", u"c"}));

  // A separator that is the very last character is a token, read once.
  WarningsReader last("a:");
  EXPECT_EQ(Tokens(last.tokens), (Expected{u"a", u":"}));
}

TEST(Tokenizer, RunsOfLineEndsGiveOneToken) {
  WarningsReader r("a\r\n\r\nb");
  EXPECT_EQ(Tokens(r.tokens), (Expected{u"a", u"\n", u"b"}));

  WarningsReader blanksAmong("a\n  \n\tb\n");
  EXPECT_EQ(Tokens(blanksAmong.tokens), (Expected{u"a", u"\n", u"b", u"\n"}));

  PriceTextReader price("A: B\r\nC");
  EXPECT_EQ(Tokens(price.tokens), (Expected{u"A", u":", u" ", u"B", u"\r", u"C"}));

  PriceTextReader endsWithLine("x\r\n");
  EXPECT_EQ(Tokens(endsWithLine.tokens), (Expected{u"x", u"\r"}));
}

TEST(Tokenizer, Escapes) {
  WarningsReader r("a\\tb c\\\\d e\\ f\\:g \\\"q");
  EXPECT_EQ(Tokens(r.tokens), (Expected{u"a\tb", u"c\\d", u"e f:g", u"\"q"}));

  ppStringStream plain(Vcon::String("a\\tb"));
  ppTokenizer noEscapes(plain, u"", u" ", u"\n", ppTokenizer::kNarrow, false);
  EXPECT_EQ(Tokens(noEscapes), (Expected{u"a\\tb"}));
}

TEST(Tokenizer, GivingTokensBack) {
  WarningsReader r("one two:three");
  Vcon::WString token;
  r.tokens.GetToken(token);
  r.tokens.GetToken(token);
  r.tokens.Unget(1);
  EXPECT_EQ(Next(r.tokens), u"two");
  r.tokens.Unget(2);
  EXPECT_EQ(Next(r.tokens), u"one");
  r.tokens.Unget(10);  // more than were read: back to the start
  EXPECT_EQ(Next(r.tokens), u"one");

  EXPECT_FALSE(r.tokens.Accept(u"tw"));
  EXPECT_TRUE(r.tokens.Accept(u"two"));
  EXPECT_TRUE(r.tokens.Accept(u":"));
  // A mismatch on the last token leaves it to be read.
  EXPECT_FALSE(r.tokens.Accept(u"thre"));
  EXPECT_EQ(Next(r.tokens), u"three");

  // At the end, a failed Accept gives back nothing that was read before it.
  PriceTextReader price("A:");
  EXPECT_EQ(Tokens(price.tokens), (Expected{u"A", u":"}));
  EXPECT_FALSE(price.tokens.Accept(u"B"));
  EXPECT_EQ(Next(price.tokens), u"");
}

TEST(Tokenizer, EmptyInputAndTheEnd) {
  WarningsReader empty("");
  Vcon::WString token(u"stale");
  EXPECT_TRUE(empty.tokens.GetToken(token).empty());
  EXPECT_TRUE(empty.tokens.AtEnd());

  PriceTextReader emptyPrice("");
  EXPECT_EQ(Next(emptyPrice.tokens), u"");

  WarningsReader r("word  ");
  EXPECT_EQ(Next(r.tokens), u"word");
  EXPECT_EQ(Next(r.tokens), u"");
  EXPECT_TRUE(r.tokens.AtEnd());
}

TEST(Tokenizer, WideStreamsReadSixteenBitUnits) {
  // "a€:c" in UTF-16, low byte first.
  ppStringStream s(Vcon::String(std::string("a\0\xac\x20:\0c\0", 8)));
  ppTokenizer t(s, u":", u" ", u"\n", ppTokenizer::kWide, true);
  EXPECT_EQ(Tokens(t), (Expected{u"a\u20ac", u":", u"c"}));
  t.Unget(2);
  EXPECT_EQ(Next(t), u":");
}

}  // namespace
