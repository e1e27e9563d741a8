// A single-precision float that can hold "no value": the marker is 2 to the 31st (bits 0x4F000000).
// Lengths in millimetres and other plan measures are kept as floats in records.
#pragma once

#include <cstdint>

#include "foundation/ppDouble.h"

class ppFloat {
 public:
  static constexpr float kNoValue = 2147483648.0f;

  // Starts without a value.
  constexpr ppFloat() = default;
  constexpr explicit ppFloat(float f) : value_(f) {}

  // No value for the ppDouble marker; otherwise the double narrowed (beyond the float range it
  // becomes an infinity of its sign).
  static ppFloat FromDouble(double d);
  // No value for kNoValueInt64; otherwise the integer converted.
  static ppFloat FromInt64(int64_t n);
  static constexpr ppFloat NoValue() { return ppFloat(); }
  static constexpr ppFloat Zero() { return ppFloat(0.0f); }

  constexpr bool IsNull() const { return value_ == kNoValue; }
  // The stored number without a test.
  constexpr float Value() const { return value_; }
  // kNoValueInt64 when there is no value; otherwise truncated toward zero.
  int64_t ToInt64() const;
  // The ppDouble marker when there is no value; otherwise the value widened.
  double ToDouble() const;

 private:
  float value_ = kNoValue;
};
