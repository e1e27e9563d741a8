// The language of the user's session as a Windows language id: 1033 English, 1030 Danish, 1031
// German, 1053 Swedish, 1044 Norwegian (Bokmal), 1036 French; every other language counts as English.
//
// Headless runs (every test) answer 1033 unless a test sets another id. The interactive backend
// switches to the locale environment: the first of LC_ALL, LC_MESSAGES and LANG that is set and not
// empty, read at each call.
#pragma once

#include <cstdint>

namespace plat {

using LANGID = uint16_t;

inline constexpr LANGID kLangEnglish = 1033;

LANGID GetUserDefaultLangID();

// The id a locale name stands for, by its language part ("da_DK.UTF-8" and "da" give 1030); null,
// empty, "C", "POSIX" and unknown languages give 1033.
LANGID LangIdFromLocaleName(const char* locale);
// The id of the locale environment (LC_ALL, LC_MESSAGES, LANG, the first set and not empty).
LANGID LangIdFromEnvironment();

// True: GetUserDefaultLangID reads the environment (interactive sessions); false: 1033 (headless).
void UseEnvironmentLanguage(bool use);

// Tests: GetUserDefaultLangID answers `id` until the reset.
void SetUserDefaultLangID(LANGID id);
void ResetUserDefaultLangID();

}  // namespace plat
