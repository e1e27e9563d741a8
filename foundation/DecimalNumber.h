#pragma once
// An exact decimal value for quantities and prices: a signed scaled amount A with p decimal places
// (0 to 7), value A / 10^p, packed into one signed 64-bit word as A * 8 + p. The word is the stored
// form (database fields, documents, indexes), so its layout never changes.
//
// All arithmetic is integer arithmetic on A; the only rounding is truncation toward zero. A result
// whose amount does not fit the 61 bits of the word becomes MaxValue(), the "no value" marker, rather
// than a silently wrong number.

#include <cstdint>

#include "foundation/DecimalFormat.h"
#include "foundation/VconString.h"

class DecimalNumber {
 public:
  static constexpr int16_t kMaxPlaces = 7;

  DecimalNumber() { Set(int64_t{0}, 4); }
  DecimalNumber(double d) { SetFromDouble(d, 4); }
  DecimalNumber(int32_t n) { Set(int64_t{n}, 0); }
  DecimalNumber(int64_t n) { Set(n, 0); }
  // The whole part of `d` (fraction dropped) with `places` places: DecimalNumber(2.7, 2) is 2.00.
  DecimalNumber(double d, int16_t places);

  DecimalNumber& operator=(double d) {
    SetFromDouble(d, 4);
    return *this;
  }
  DecimalNumber& operator=(int32_t n) {
    Set(int64_t{n}, 0);
    return *this;
  }
  DecimalNumber& operator=(int64_t n) {
    Set(n, 0);
    return *this;
  }

  // The whole value `n` with `places` places (clamped to 0..7): Set(5, 2) is 5.00.
  void Set(int64_t n, int16_t places);
  // A = d * 10^places truncated toward zero; NaN or a value too large gives MaxValue().
  void SetFromDouble(double d, int16_t places);
  void SetRawWord(int64_t word);
  int64_t RawWord() const { return word_; }

  static DecimalNumber MaxValue();
  bool IsMaxValue() const { return word_ == kMaxWord; }

  int16_t Places() const { return places_; }
  int64_t Amount() const { return word_ >> 3; }  // the scaled amount A
  double ToDouble() const;
  double ToDoubleValue() const { return ToDouble(); }
  int64_t ToInt64() const;  // truncated toward zero
  bool IsNonZero() const { return Amount() != 0; }
  bool IsZero() const { return ToDouble() == 0.0; }
  // True when the non-zero state (1 or 0) equals k.
  bool EqualsFlag(int32_t k) const { return (IsNonZero() ? 1 : 0) == k; }

  // Changes the number of places (clamped): fewer places truncate toward zero, more are exact.
  void Rescale(int16_t places);

  // Results take the larger of the two numbers' places.
  DecimalNumber& operator+=(const DecimalNumber& other);
  DecimalNumber& operator-=(const DecimalNumber& other);
  // The product truncated to the larger number of places.
  DecimalNumber& operator*=(const DecimalNumber& other);
  // Add or subtract the whole part of `d` at this number's places; the fraction of `d` is ignored.
  DecimalNumber& operator+=(double d);
  DecimalNumber& operator-=(double d);
  // The double product, kept with 4 places (truncated).
  DecimalNumber& operator*=(double d);

  // Numbers compare by value whatever their places.
  friend bool operator==(const DecimalNumber& a, const DecimalNumber& b) { return Compare(a, b) == 0; }
  friend bool operator!=(const DecimalNumber& a, const DecimalNumber& b) { return Compare(a, b) != 0; }
  friend bool operator<(const DecimalNumber& a, const DecimalNumber& b) { return Compare(a, b) < 0; }
  friend bool operator>(const DecimalNumber& a, const DecimalNumber& b) { return Compare(a, b) > 0; }
  friend bool operator<=(const DecimalNumber& a, const DecimalNumber& b) { return Compare(a, b) <= 0; }
  friend bool operator>=(const DecimalNumber& a, const DecimalNumber& b) { return Compare(a, b) >= 0; }

  Vcon::String Format(const DecimalFormat& format) const;
  // Reads a text typed by a user with the format's decimals as places; extra fraction digits are
  // cut, characters that are not digits are skipped, a '-' anywhere makes the number negative.
  void Parse(const Vcon::String& text, const DecimalFormat& format);

 private:
  static constexpr int64_t kMaxWord = INT64_MAX;
  static int Compare(const DecimalNumber& a, const DecimalNumber& b);
  // Stores amount A with p places, or MaxValue() when A does not fit the word.
  void Store(__int128 amount, int16_t places);

  int64_t word_ = 4;
  int16_t places_ = 4;
};

DecimalNumber operator+(const DecimalNumber& a, double d);
DecimalNumber operator*(const DecimalNumber& a, const DecimalNumber& b);
// The whole part of `d` at the number's places minus the number; 0.0 - n negates n.
DecimalNumber operator-(double d, const DecimalNumber& n);
