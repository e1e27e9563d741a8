// The calendar date of the user's time zone and its short text in the user's date format (LC_TIME),
// for printed page headers. Tests fix "today" so that headers compare byte by byte.
#pragma once

#include <cstdint>

namespace plat {

struct SYSTEMTIME {
  uint16_t wYear;
  uint16_t wMonth;      // 1..12
  uint16_t wDayOfWeek;  // 0 Sunday
  uint16_t wDay;
  uint16_t wHour;
  uint16_t wMinute;
  uint16_t wSecond;
  uint16_t wMilliseconds;
};

inline constexpr uint32_t LOCALE_USER_DEFAULT = 0x400;
inline constexpr uint32_t DATE_SHORTDATE = 1;

// The local date and time now, or the day a test set (its time of day 0:00).
void GetLocalTime(SYSTEMTIME* time);

// Writes the date of `time` (the local date when null) as the locale's short date ("%x" of the
// LC_TIME category: LC_ALL, LC_TIME, then LANG, the first set and not empty; "C" when none or when
// the locale is not installed) into `out` of `size` chars with its terminating zero. Answers the chars
// written with the zero; 0 for an unknown locale id, an unknown flag or a too small buffer (`out` then
// holds an empty text when it has room for one). `format` must be null.
int32_t GetDateFormatA(uint32_t locale, uint32_t flags, const SYSTEMTIME* time, const char* format, char* out,
                       int32_t size);

// Tests: GetLocalTime answers this day (month 1..12) until the reset.
void SetLocalDateForTests(uint16_t year, uint16_t month, uint16_t day);

}  // namespace plat
