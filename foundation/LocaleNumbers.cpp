#include "foundation/LocaleNumbers.h"

#include <clocale>
#include <cstring>
#include <cstdlib>
#include <cwchar>
#include <locale.h>
#include <string>
#include <string_view>

#include "foundation/AnsiCodePage.h"
#include "platform/ResetList.h"

namespace {

struct LocaleChars {
  char decimal = '.';
  char thousands = ',';
  char negativeSign = '-';
};

LocaleChars gLocaleChars;  // set at start-up on the user-interface thread, read by any
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("locale numbers: characters", [] { gLocaleChars = LocaleChars{}; });

// The Windows-1252 byte of the first character of a locale text in the current thread's locale, or
// `fallback` when the text is empty or the code page lacks the character. Narrow no-break and thin
// spaces, which some locales use to group digits, become the no-break space the code page has.
char FirstAnsiChar(const char* text, char fallback) {
  if (!text || !*text) return fallback;
  std::mbstate_t state{};
  wchar_t wide = 0;
  size_t used = std::mbrtowc(&wide, text, std::strlen(text), &state);
  if (used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2) || wide == 0) return fallback;
  if (wide == 0x202F || wide == 0x2009) wide = 0xA0;
  if (wide > 0xFFFF) return fallback;
  int32_t byte = WideToAnsi(static_cast<char16_t>(wide));
  return byte < 0 ? fallback : static_cast<char>(byte);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The locale the environment names for one category, as the C library resolves "": LC_ALL, then the
// category's own variable, then LANG, each only when set and not empty; the C locale without any.
std::string_view EnvironmentLocale(const char* category) {
  for (const char* variable : {"LC_ALL", category, "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

// The C locale under its names and its UTF-8 form, whose numeric and money categories are the C
// locale's own: their characters are known without loading a locale's files (a tenth of a
// millisecond of every start on a machine left at the default).
bool IsBuiltInLocale(std::string_view name) {
  return name == "C" || name == "POSIX" || name == "C.UTF-8" || name == "C.utf8";
}

}  // namespace

bool IsWidePlatform() { return true; }
int32_t PlatformMajorVersion() { return 10; }
int32_t PlatformMinorVersion() { return 0; }

void ReadLocaleNumberChars() {
  // Only what is read: the numeric and money characters, and the character set to decode them. The
  // other categories would be loaded from their files for nothing.
  if (IsBuiltInLocale(EnvironmentLocale("LC_NUMERIC")) && IsBuiltInLocale(EnvironmentLocale("LC_MONETARY")) &&
      IsBuiltInLocale(EnvironmentLocale("LC_CTYPE"))) {
    // The C locale names a decimal point only: grouping and the sign keep what they were.
    gLocaleChars.decimal = '.';
    return;
  }
  locale_t user = newlocale(LC_NUMERIC_MASK | LC_MONETARY_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return;  // unknown locale: the built-in characters stay
  locale_t previous = uselocale(user);
  const lconv* conv = std::localeconv();
  gLocaleChars.decimal = FirstAnsiChar(conv->decimal_point, gLocaleChars.decimal);
  gLocaleChars.thousands = FirstAnsiChar(conv->thousands_sep, gLocaleChars.thousands);
  gLocaleChars.negativeSign = FirstAnsiChar(conv->negative_sign, gLocaleChars.negativeSign);
  uselocale(previous);
  freelocale(user);
}

void SetLocaleNumberChars(char decimal, char thousands, char negativeSign) {
  gLocaleChars = {decimal, thousands, negativeSign};
}

char LocaleDecimalChar() { return gLocaleChars.decimal; }
char LocaleThousandsChar() { return gLocaleChars.thousands; }
char LocaleNegativeSign() { return gLocaleChars.negativeSign; }

void IntToText(char* out, int32_t value) {
  // Widened so the most negative value has a magnitude.
  int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
  char digits[kIntTextSize];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  size_t pos = 0;
  if (value < 0) out[pos++] = gLocaleChars.negativeSign;
  while (n > 0) out[pos++] = digits[--n];
  out[pos] = '\0';
}

Vcon::String IntToText(int32_t value) {
  char buffer[kIntTextSize];
  IntToText(buffer, value);
  return buffer;
}

int32_t NumberTextClean(char* text, bool keepDecimals) {
  if (!text || !*text) return -1;
  std::string clean;
  char sign = gLocaleChars.negativeSign;
  if (sign != '\0' && std::strchr(text, sign)) clean += '-';
  int32_t point = -1;
  for (const char* p = text; *p; ++p) {
    if (IsDigit(*p)) {
      clean += *p;
    } else if (*p == gLocaleChars.decimal && point < 0) {
      if (!keepDecimals) break;
      point = static_cast<int32_t>(clean.size());
      clean += '.';
    }
  }
  // The sign and the point each stand for a character of the text, so the clean text fits; only
  // characters set to collide (a digit as the sign) could make it longer, and it is then cut.
  size_t length = std::strlen(text);
  if (clean.size() > length) clean.resize(length);
  std::memcpy(text, clean.c_str(), clean.size() + 1);
  return point;
}

int32_t TextToInt(int32_t& out, char* text) {
  NumberTextClean(text, false);
  int64_t value = 0;
  const char* p = text ? text : "";
  bool negative = *p == '-';
  if (negative) ++p;
  for (; IsDigit(*p); ++p) {
    value = value * 10 + (*p - '0');
    if (value > int64_t{INT32_MAX} + 1) break;  // already beyond either limit
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  out = static_cast<int32_t>(value);
  return out;
}

int32_t TextToInt(int32_t& out, const Vcon::String& text) {
  std::string copy(text.c_str());
  return TextToInt(out, copy.data());
}
