#include "platform/UserLanguage.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "platform/ResetList.h"

namespace plat {
namespace {

// Set on the user-interface thread (start-up, backend choice, tests); read from any thread.
std::atomic<int32_t> g_testLanguage{-1};  // -1: no test id
std::atomic<bool> g_useEnvironment{false};

[[maybe_unused]] const bool kReset = ResetList::Add("user language: test id and environment switch", [] {
  g_testLanguage = -1;
  g_useEnvironment = false;
});

struct LanguageName {
  const char* code;
  LANGID id;
};

constexpr LanguageName kLanguages[] = {
    {"en", 1033}, {"da", 1030}, {"de", 1031}, {"sv", 1053}, {"nb", 1044}, {"fr", 1036},
};

const char* FirstSet(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return nullptr;
}

}  // namespace

LANGID GetUserDefaultLangID() {
  const int32_t test = g_testLanguage.load();
  if (test >= 0) return LANGID(test);
  return g_useEnvironment.load() ? LangIdFromEnvironment() : kLangEnglish;
}

LANGID LangIdFromLocaleName(const char* locale) {
  if (locale == nullptr) return kLangEnglish;
  // The language is what comes before the territory, the code set and the modifier.
  const std::string language(locale, std::strcspn(locale, "_.@"));
  for (const LanguageName& entry : kLanguages) {
    if (language == entry.code) return entry.id;
  }
  return kLangEnglish;
}

LANGID LangIdFromEnvironment() { return LangIdFromLocaleName(FirstSet({"LC_ALL", "LC_MESSAGES", "LANG"})); }

void UseEnvironmentLanguage(bool use) { g_useEnvironment = use; }

void SetUserDefaultLangID(LANGID id) { g_testLanguage = int32_t(id); }

void ResetUserDefaultLangID() { g_testLanguage = -1; }

}  // namespace plat
