// A money amount: a signed 64-bit raw value in ten-thousandths of a currency unit (raw 125000 is
// 12.50), with 0x7FFFFFFFFFFFFFFF meaning "no value". Stored in records and documents as that raw
// value, low 32-bit word first.
//
// "No value" travels: every operation with a value-less operand gives a value-less amount, and so
// does every result that cannot be represented (a 64-bit overflow, a division by zero, a product with
// an infinite or NaN double). Nothing here throws.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"
#include "foundation/ppDouble.h"
#include "foundation/ppFloat.h"
#include "foundation/ppLong.h"

class DecimalFormat;
class DecimalNumber;

class ppMoney {
 public:
  static constexpr int64_t kNoValue = kNoValueInt64;
  // Raw units per currency unit.
  static constexpr int64_t kScale = 10000;

  // Starts without a value.
  constexpr ppMoney() = default;

  // Raw values taken unchanged, no scaling.
  static constexpr ppMoney FromRaw(int64_t raw) { return ppMoney(raw); }
  static constexpr ppMoney FromRaw(uint32_t low, uint32_t high) {
    return ppMoney(static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low));
  }
  static constexpr ppMoney FromRawInt(int32_t raw) { return ppMoney(raw); }
  static constexpr ppMoney FromRawLong(int32_t raw) { return ppMoney(raw); }
  static constexpr ppMoney FromRawByte(uint8_t raw) { return ppMoney(raw); }
  // raw = the long's 64-bit value, unscaled; a value-less long gives the marker.
  static ppMoney FromLongValue(ppLong n);

  // Whole units: raw = n x 10000 (no value when that overflows).
  static ppMoney FromInteger(int64_t n);
  // Whole units from a nullable long; no value stays no value.
  static ppMoney FromLong(ppLong n);
  // raw = truncate(value x 10000), toward zero; the no-value markers give no value.
  static ppMoney FromFloat(ppFloat f);
  static ppMoney FromDouble(double d);
  // Exact: a quantity's digits beyond four places are cut (toward zero); DecimalNumber::MaxValue()
  // gives no value.
  static ppMoney FromDecimalNumber(const DecimalNumber& q);

  // Reads an amount typed by a user (see ppMoney.cpp): the first character of the format's decimal
  // point text starts the fraction, at most two fraction digits are taken, a '-' anywhere makes the
  // amount negative and every other character is skipped; a text without digits reads as 0.
  // A null format means DefaultFormat().
  static ppMoney FromText(const Vcon::String& text, const DecimalFormat* format = nullptr);
  static ppMoney FromText(const Vcon::WString& text, const DecimalFormat* format = nullptr);
  static ppMoney FromText(const char* text, const DecimalFormat* format = nullptr);

  // The format used when none is given. It starts as the default DecimalFormat; the preferences
  // replace it with the user's money format whenever they are loaded or saved.
  static const DecimalFormat& DefaultFormat();
  static void SetDefaultFormat(const DecimalFormat& format);

  constexpr bool IsNull() const { return raw_ == kNoValue; }
  // The raw value (the marker when there is no value).
  constexpr int64_t Raw() const { return raw_; }
  // Whole units, truncated toward zero; kNoValueInt64 when there is no value.
  int64_t IntegerPart() const;
  // The amount in currency units; the ppDouble marker when there is no value.
  double ToDouble() const;

  // "no value" for an amount without value; otherwise the amount with 2 decimals when the format
  // shows decimals (else none), rounded half away from zero, grouped when the format groups, and
  // with the format's affix. A null format means DefaultFormat().
  Vcon::WString ToString(const DecimalFormat* format = nullptr) const;
  Vcon::String ToNarrowString(const DecimalFormat* format = nullptr) const;

  ppMoney& operator+=(ppMoney b);
  ppMoney& operator-=(ppMoney b);
  friend ppMoney operator+(ppMoney a, ppMoney b) { return a += b; }
  friend ppMoney operator-(ppMoney a, ppMoney b) { return a -= b; }
  ppMoney operator-() const;

  // Amount times amount: (raw a x raw b) / 10000, truncated toward zero.
  friend ppMoney operator*(ppMoney a, ppMoney b);
  // Amount per amount: (raw a x 10000) / raw b, truncated; no value when raw b is 0.
  friend ppMoney operator/(ppMoney a, ppMoney b);
  // Remainder of the raw values, with the dividend's sign; no value when raw b is 0.
  friend ppMoney operator%(ppMoney a, ppMoney b);

  // Amount times a count keeps the amount's decimals: 12.50 x 3 = 37.50.
  ppMoney MultipliedByInt(int64_t n) const;
  friend ppMoney operator*(ppMoney a, int32_t n) { return a.MultipliedByInt(n); }
  friend ppMoney operator*(int32_t n, ppMoney a) { return a.MultipliedByInt(n); }
  // raw a / n, truncated; no value when n is 0.
  ppMoney DividedByInt(int64_t n) const;
  // Amount times a quantity: raw a x A / 10^places of the quantity, truncated toward zero.
  friend ppMoney operator*(ppMoney a, const DecimalNumber& q);

  // Products and quotients through doubles: the amount as a double times (or divided by) the factor,
  // back to an amount by FromDouble. A value-less factor gives no value.
  ppMoney MultipliedByFloatValue(ppFloat f) const;
  ppMoney MultipliedByDouble(ppDouble d) const;
  ppMoney MultipliedByFloat(float f) const;
  ppMoney DividedByFloat(float f) const;
  friend ppMoney operator*(ppMoney a, double d);
  friend ppMoney operator/(ppMoney a, double d);

  friend constexpr bool operator==(ppMoney a, ppMoney b) = default;

 private:
  constexpr explicit ppMoney(int64_t raw) : raw_(raw) {}
  // The amount of `raw`, or no value when it lies outside the 64-bit range.
  static ppMoney FromWide(__int128 raw);

  int64_t raw_ = kNoValue;
};
