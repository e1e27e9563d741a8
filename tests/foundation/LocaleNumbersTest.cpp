#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "foundation/LocaleNumbers.h"

namespace {

// Every test sets the characters it needs and restores the built-in ones afterwards.
class LocaleNumbersTest : public ::testing::Test {
 protected:
  void TearDown() override { SetLocaleNumberChars('.', ',', '-'); }

  static std::string Clean(const char* text, bool keepDecimals, int32_t* point = nullptr) {
    std::string buffer(text);
    int32_t at = NumberTextClean(buffer.data(), keepDecimals);
    if (point) *point = at;
    return buffer.c_str();
  }

  static int32_t ToInt(const char* text) {
    int32_t out = 12345;
    std::string buffer(text);
    int32_t value = TextToInt(out, buffer.data());
    EXPECT_EQ(out, value);
    return value;
  }
};

TEST_F(LocaleNumbersTest, IntToTextUsesTheLocaleSign) {
  EXPECT_EQ(IntToText(-5), "-5");
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(1234567), "1234567");
  EXPECT_EQ(IntToText(INT32_MIN), "-2147483648");
  EXPECT_EQ(IntToText(INT32_MAX), "2147483647");
  SetLocaleNumberChars(',', '.', '~');
  EXPECT_EQ(IntToText(-42), "~42");
  char buffer[kIntTextSize];
  IntToText(buffer, INT32_MIN);
  EXPECT_STREQ(buffer, "~2147483648");
}

TEST_F(LocaleNumbersTest, TextToIntReadsLocaleText) {
  SetLocaleNumberChars(',', '.', '-');
  EXPECT_EQ(ToInt("1.234,5"), 1234);
  EXPECT_EQ(ToInt("12-"), -12);  // the sign may follow the digits
  EXPECT_EQ(ToInt("  (7) pcs"), 7);
  EXPECT_EQ(ToInt(""), 0);
  EXPECT_EQ(ToInt("abc"), 0);
  SetLocaleNumberChars('.', ',', '-');
  EXPECT_EQ(ToInt("1,234.9"), 1234);
  EXPECT_EQ(ToInt("-0"), 0);
  int32_t out = 0;
  EXPECT_EQ(TextToInt(out, Vcon::String("-3,000")), -3000);
}

TEST_F(LocaleNumbersTest, TextToIntSaturatesInsteadOfOverflowing) {
  EXPECT_EQ(ToInt("2147483647"), INT32_MAX);
  EXPECT_EQ(ToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(ToInt("99999999999999999999999"), INT32_MAX);
  EXPECT_EQ(ToInt("-99999999999999999999999"), INT32_MIN);
}

TEST_F(LocaleNumbersTest, CleanKeepsDigitsSignAndPoint) {
  SetLocaleNumberChars(',', '.', '-');
  int32_t point = 0;
  EXPECT_EQ(Clean("1.234,56", true, &point), "1234.56");
  EXPECT_EQ(point, 4);
  EXPECT_EQ(Clean("1.234,56", false, &point), "1234");
  EXPECT_EQ(point, -1);
  EXPECT_EQ(Clean("EUR 12,5-", true, &point), "-12.5");
  EXPECT_EQ(point, 3);
  EXPECT_EQ(Clean("1,2,3", true, &point), "1.23");  // only the first decimal character counts
  EXPECT_EQ(point, 1);
  EXPECT_EQ(Clean("", true, &point), "");
  EXPECT_EQ(point, -1);
  EXPECT_EQ(Clean("x", true, &point), "");
  EXPECT_EQ(point, -1);
}

TEST_F(LocaleNumbersTest, CleanNeverGrowsTheText) {
  // A sign character that is also a digit would add a character; the text must still fit.
  SetLocaleNumberChars(',', '.', '7');
  std::string buffer = "77";
  NumberTextClean(buffer.data(), true);
  EXPECT_EQ(std::string(buffer.c_str()), "-7");  // "-77" cut to the text's own length
  SetLocaleNumberChars(',', '.', '\0');
  EXPECT_EQ(Clean("12", false), "12");
}

TEST_F(LocaleNumbersTest, ReadsTheUsersLocale) {
  const char* saved = std::getenv("LC_ALL");
  std::string restore = saved ? saved : "";
  setenv("LC_ALL", "C", 1);
  SetLocaleNumberChars('x', 'y', 'z');
  ReadLocaleNumberChars();
  // The C locale names a decimal point only; the others keep what they were.
  EXPECT_EQ(LocaleDecimalChar(), '.');
  EXPECT_EQ(LocaleThousandsChar(), 'y');
  EXPECT_EQ(LocaleNegativeSign(), 'z');
  setenv("LC_ALL", "no_SUCH.locale", 1);
  SetLocaleNumberChars('x', 'y', 'z');
  ReadLocaleNumberChars();
  EXPECT_EQ(LocaleDecimalChar(), 'x');
  if (saved) {
    setenv("LC_ALL", restore.c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
}

// Each category is looked up as the C library looks it up: LC_ALL, the category's own variable,
// then LANG. A C locale named by LANG alone gives the C characters; one category naming another
// locale sends the whole read through that locale (here unknown: nothing changes).
TEST_F(LocaleNumbersTest, EachCategoryFollowsTheEnvironmentsOrderOfVariables) {
  const char* names[] = {"LC_ALL", "LC_NUMERIC", "LC_MONETARY", "LC_CTYPE", "LANG"};
  std::vector<std::pair<std::string, std::optional<std::string>>> saved;
  for (const char* name : names) {
    const char* value = std::getenv(name);
    saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    unsetenv(name);
  }
  struct Case {
    std::vector<std::pair<const char*, const char*>> environment;
    char decimal;
  };
  const Case cases[] = {
      {{{"LANG", "C.UTF-8"}}, '.'},
      {{}, '.'},
      {{{"LANG", "C.utf8"}, {"LC_ALL", ""}}, '.'},
      {{{"LANG", "C.UTF-8"}, {"LC_NUMERIC", "no_SUCH.locale"}}, 'x'},
      {{{"LANG", "POSIX"}, {"LC_MONETARY", "no_SUCH.locale"}}, 'x'},
      {{{"LANG", "no_SUCH.locale"}, {"LC_ALL", "C"}}, '.'},
      {{{"LC_ALL", "no_SUCH.locale"}, {"LC_CTYPE", "C"}}, 'x'},
  };
  for (const Case& c : cases) {
    for (const char* name : names) unsetenv(name);
    for (const auto& [name, value] : c.environment) setenv(name, value, 1);
    SetLocaleNumberChars('x', 'y', 'z');
    ReadLocaleNumberChars();
    EXPECT_EQ(LocaleDecimalChar(), c.decimal) << c.environment.size();
    EXPECT_EQ(LocaleThousandsChar(), 'y');
    EXPECT_EQ(LocaleNegativeSign(), 'z');
  }
  for (const auto& [name, value] : saved) {
    if (value)
      setenv(name.c_str(), value->c_str(), 1);
    else
      unsetenv(name.c_str());
  }
}

}  // namespace
