#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/UserLanguage.h"

namespace {

using plat::GetUserDefaultLangID;

// Restores the three locale variables and the language switches a test changed.
class UserLanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kNames) {
      const char* value = getenv(name);
      saved_.emplace_back(value != nullptr, value != nullptr ? value : "");
    }
  }
  void TearDown() override {
    for (size_t i = 0; i < std::size(kNames); ++i) {
      if (saved_[i].first)
        setenv(kNames[i], saved_[i].second.c_str(), 1);
      else
        unsetenv(kNames[i]);
    }
    plat::UseEnvironmentLanguage(false);
    plat::ResetUserDefaultLangID();
  }
  static void SetLocale(const char* all, const char* messages, const char* lang) {
    const char* values[] = {all, messages, lang};
    for (size_t i = 0; i < std::size(kNames); ++i) {
      if (values[i] != nullptr)
        setenv(kNames[i], values[i], 1);
      else
        unsetenv(kNames[i]);
    }
  }

  static constexpr const char* kNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::vector<std::pair<bool, std::string>> saved_;
};

TEST_F(UserLanguageTest, LocaleNamesMapByTheirLanguagePart) {
  const struct {
    const char* locale;
    plat::LANGID id;
  } cases[] = {
      {"en_US.UTF-8", 1033}, {"da_DK.UTF-8", 1030},
      {"de_AT", 1031},       {"sv_SE@euro", 1053},
      {"nb_NO.UTF-8", 1044}, {"fr", 1036},
      {"C", 1033},           {"POSIX", 1033},
      {"it_IT.UTF-8", 1033}, {"", 1033},
      {nullptr, 1033},       {"dan_DK", 1033},
  };
  for (const auto& c : cases)
    EXPECT_EQ(plat::LangIdFromLocaleName(c.locale), c.id) << (c.locale ? c.locale : "null");
}

TEST_F(UserLanguageTest, TheFirstSetVariableWins) {
  SetLocale("", "sv_SE.UTF-8", "da_DK.UTF-8");
  EXPECT_EQ(plat::LangIdFromEnvironment(), 1053);
  SetLocale("de_DE", "sv_SE.UTF-8", "da_DK.UTF-8");
  EXPECT_EQ(plat::LangIdFromEnvironment(), 1031);
  SetLocale(nullptr, nullptr, "fr_FR");
  EXPECT_EQ(plat::LangIdFromEnvironment(), 1036);
  SetLocale(nullptr, nullptr, nullptr);
  EXPECT_EQ(plat::LangIdFromEnvironment(), 1033);
}

TEST_F(UserLanguageTest, HeadlessIsEnglishUntilATestOrTheDesktopSaysOtherwise) {
  SetLocale("da_DK.UTF-8", nullptr, nullptr);
  EXPECT_EQ(GetUserDefaultLangID(), 1033);
  plat::UseEnvironmentLanguage(true);
  EXPECT_EQ(GetUserDefaultLangID(), 1030);
  plat::SetUserDefaultLangID(1044);
  EXPECT_EQ(GetUserDefaultLangID(), 1044);
  plat::ResetUserDefaultLangID();
  EXPECT_EQ(GetUserDefaultLangID(), 1030);
}

}  // namespace
