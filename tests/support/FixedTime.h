#pragma once
// A local time to hand the code that stamps what it writes (shopping lists, saved documents), so that
// a test's output does not depend on the moment it runs.

#include <cstdint>

#include "platform/LocalDate.h"

namespace support {

inline plat::SYSTEMTIME FixedTime(uint16_t year, uint16_t month, uint16_t day, uint16_t hour,
                                  uint16_t minute = 0) {
  plat::SYSTEMTIME t{};
  t.wYear = year;
  t.wMonth = month;
  t.wDay = day;
  t.wHour = hour;
  t.wMinute = minute;
  return t;
}

}  // namespace support
