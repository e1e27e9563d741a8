// A double that can hold "no value", and the truncating conversions every nullable number shares.
//
// Record fields and typed values tell "no value" from zero by reserving one bit pattern per type.
// For the double it is 2 to the 63rd (bits 0x43E0000000000000); the 64-bit integer that stands for
// "no value" in conversions is 0x7FFFFFFFFFFFFFFF. The markers are ordinary numbers: nothing stops
// arithmetic on a plain value from producing one.
#pragma once

#include <cstdint>
#include <limits>

// The 64-bit integer that means "no value" in conversions (also the money marker).
inline constexpr int64_t kNoValueInt64 = std::numeric_limits<int64_t>::max();

// Truncates toward zero. A NaN or a value outside the 32-bit range gives 0x80000000, the pattern the
// processor gives and the no-value marker of ppLong, instead of undefined behaviour.
int32_t TruncateToInt32(double d);
// Truncates toward zero. A NaN or a value outside the 64-bit range gives kNoValueInt64.
int64_t TruncateToInt64(double d);

class ppDouble {
 public:
  static constexpr double kNoValue = 9223372036854775808.0;

  // Starts without a value.
  constexpr ppDouble() = default;
  constexpr explicit ppDouble(double d) : value_(d) {}

  // No value when `f` is the ppFloat marker; otherwise the float widened.
  static ppDouble FromFloat(float f);
  // No value for kNoValueInt64; otherwise the integer converted.
  static ppDouble FromInt64(int64_t n);
  static constexpr ppDouble NoValue() { return ppDouble(); }
  static constexpr ppDouble Zero() { return ppDouble(0.0); }

  constexpr bool IsNull() const { return value_ == kNoValue; }
  // The stored number without a test: the marker itself when there is no value.
  constexpr double Value() const { return value_; }
  // kNoValueInt64 when there is no value; otherwise truncated toward zero.
  int64_t ToInt64() const;

 private:
  double value_ = kNoValue;
};
