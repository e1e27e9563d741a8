#pragma once
// A date or date-time as one signed 64-bit count of milliseconds on the Rata Die day count
// (day 1 = 1 January of year 1, proleptic Gregorian calendar): a date is its day number times
// 86,400,000 ms and the time of day is the remainder. Stored as two 32-bit words, low word first,
// and compared as a 64-bit integer.

#include <cstdint>

class DateTimeMs {
 public:
  static constexpr int64_t kMsPerDay = 86400000;

  DateTimeMs() = default;
  // Midnight of the date. No range check: a month outside 1..12 or a day past the month's end is
  // carried by the same formula (29 February 1900 is 1 March 1900). Values far beyond any
  // calendar wrap in 64 bits instead of failing.
  DateTimeMs(int32_t day, int32_t month, int32_t year);
  explicit DateTimeMs(int32_t ms) : ms_(ms) {}
  DateTimeMs(uint32_t low, uint32_t high)
      : ms_(static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low)) {}

  // The day number of a date: milliseconds / 86,400,000 truncated toward zero.
  int64_t Days() const { return ms_ / kMsPerDay; }
  double ToDays() const { return static_cast<double>(ms_) / kMsPerDay; }

  int64_t Value() const { return ms_; }
  uint32_t Low() const { return static_cast<uint32_t>(ms_); }
  uint32_t High() const { return static_cast<uint32_t>(static_cast<uint64_t>(ms_) >> 32); }

  // The Rata Die number of a calendar date.
  static int64_t DayNumber(int32_t day, int32_t month, int32_t year);

 private:
  int64_t ms_ = 0;
};
