#include "foundation/DateTimeMs.h"

int64_t DateTimeMs::DayNumber(int32_t day, int32_t month, int32_t year) {
  // 64-bit arithmetic so no month or year a caller passes can overflow; the divisions truncate
  // toward zero as the formula requires, also for years before 1.
  int64_t m = month;
  int64_t y = year;
  if (m < 3) {
    m += 12;
    y -= 1;
  }
  return (153 * m - 457) / 5 + day + 365 * y + y / 4 - y / 100 + y / 400 - 306;
}

DateTimeMs::DateTimeMs(int32_t day, int32_t month, int32_t year) {
  // Unsigned multiplication: a day number beyond about 290 million years wraps rather than
  // overflowing a signed value.
  uint64_t ms = static_cast<uint64_t>(DayNumber(day, month, year)) * static_cast<uint64_t>(kMsPerDay);
  ms_ = static_cast<int64_t>(ms);
}
