#include "platform/LocalDate.h"

#include <locale.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/ResetList.h"

namespace plat {
namespace {

// The day tests set; year 0 means none. User-interface thread (tests).
SYSTEMTIME gTestDay{};

const bool kReset = ResetList::Add("plat::LocalDate", [] { gTestDay = SYSTEMTIME{}; });

const char* TimeLocaleName() {
  for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

std::tm ToTm(const SYSTEMTIME& time) {
  std::tm tm{};
  tm.tm_year = time.wYear - 1900;
  tm.tm_mon = time.wMonth - 1;
  tm.tm_mday = time.wDay;
  tm.tm_hour = time.wHour;
  tm.tm_min = time.wMinute;
  tm.tm_sec = time.wSecond;
  tm.tm_isdst = -1;
  std::mktime(&tm);  // fills the weekday and day of the year some formats print
  return tm;
}

}  // namespace

void GetLocalTime(SYSTEMTIME* time) {
  if (gTestDay.wYear != 0) {
    *time = gTestDay;
    return;
  }
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  *time = SYSTEMTIME{
      uint16_t(tm.tm_year + 1900), uint16_t(tm.tm_mon + 1), uint16_t(tm.tm_wday), uint16_t(tm.tm_mday),
      uint16_t(tm.tm_hour),        uint16_t(tm.tm_min),     uint16_t(tm.tm_sec),  0};
}

int32_t GetDateFormatA(uint32_t locale, uint32_t flags, const SYSTEMTIME* time, const char* format, char* out,
                       int32_t size) {
  if (out != nullptr && size > 0) out[0] = '\0';
  if (locale != LOCALE_USER_DEFAULT || flags != DATE_SHORTDATE || format != nullptr || out == nullptr ||
      size <= 0) {
    return 0;
  }
  SYSTEMTIME day{};
  if (time != nullptr) {
    day = *time;
  } else {
    GetLocalTime(&day);
  }
  std::tm tm = ToTm(day);
  locale_t loc = newlocale(LC_TIME_MASK, TimeLocaleName(), locale_t(0));
  if (loc == locale_t(0)) loc = newlocale(LC_TIME_MASK, "C", locale_t(0));
  size_t written = strftime_l(out, size_t(size), "%x", &tm, loc);
  freelocale(loc);
  if (written == 0) {
    out[0] = '\0';
    return 0;
  }
  return int32_t(written + 1);
}

void SetLocalDateForTests(uint16_t year, uint16_t month, uint16_t day) {
  gTestDay = SYSTEMTIME{year, month, 0, day, 0, 0, 0, 0};
  std::tm tm = ToTm(gTestDay);
  gTestDay.wDayOfWeek = uint16_t(tm.tm_wday);
}

}  // namespace plat
