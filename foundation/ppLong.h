// A 32-bit integer that can hold "no value": the marker is 0x80000000, the smallest 32-bit integer.
#pragma once

#include <cstdint>
#include <limits>

class ppLong {
 public:
  static constexpr int32_t kNoValue = std::numeric_limits<int32_t>::min();

  // Starts without a value.
  constexpr ppLong() = default;
  // Stores `n` unchanged, without a test: 0x80000000 gives a value-less long.
  constexpr explicit ppLong(int32_t n) : value_(n) {}

  // No value for the ppDouble marker; otherwise truncated toward zero (NaN and values outside the
  // 32-bit range give no value).
  static ppLong FromDouble(double d);
  // No value for kNoValueInt64; otherwise the low 32 bits.
  static ppLong FromInt64(int64_t n);
  static constexpr ppLong NoValue() { return ppLong(); }
  static constexpr ppLong Zero() { return ppLong(0); }

  constexpr bool IsNull() const { return value_ == kNoValue; }
  // The stored number without a test.
  constexpr int32_t Value() const { return value_; }
  // kNoValueInt64 when there is no value; otherwise the value sign-extended.
  int64_t ToInt64() const;
  // The ppDouble marker when there is no value; otherwise the value.
  double ToDouble() const;

  friend constexpr bool operator==(ppLong a, ppLong b) = default;

 private:
  int32_t value_ = kNoValue;
};
