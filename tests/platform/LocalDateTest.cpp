// The local date and its short text: the day tests set, the locale's format, and refused calls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/HeadlessDriver.h"
#include "platform/LocalDate.h"

namespace {

TEST(LocalDateTest, ShortDateOfTheSetDayByLocaleAndRefusedCalls) {
  plat::HeadlessDriver::Reset();
  plat::SetLocalDateForTests(2026, 12, 31);
  plat::SYSTEMTIME day{};
  plat::GetLocalTime(&day);
  EXPECT_EQ(day.wYear, 2026);
  EXPECT_EQ(day.wDayOfWeek, 4);  // a Thursday
  const char* saved = std::getenv("LC_ALL");
  const std::string before = saved ? saved : "";
  setenv("LC_ALL", "C", 1);
  char out[32];
  EXPECT_EQ(plat::GetDateFormatA(0x400, 1, nullptr, nullptr, out, 32), 9);
  EXPECT_STREQ(out, "12/31/26");
  setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);  // not installed: the C format
  EXPECT_EQ(plat::GetDateFormatA(0x400, 1, nullptr, nullptr, out, 32), 9);
  EXPECT_EQ(plat::GetDateFormatA(0x400, 1, nullptr, nullptr, out, 8), 0);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(plat::GetDateFormatA(0x409, 1, nullptr, nullptr, out, 32), 0);
  EXPECT_EQ(plat::GetDateFormatA(0x400, 2, nullptr, nullptr, out, 32), 0);
  if (saved) {
    setenv("LC_ALL", before.c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
  plat::HeadlessDriver::Reset();
  plat::GetLocalTime(&day);
  EXPECT_GE(day.wYear, 2024);  // the clock again
}

}  // namespace
