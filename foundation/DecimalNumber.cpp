#include "foundation/DecimalNumber.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int32_t kPowersOfTen[8] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

// Largest and smallest scaled amounts the 61 upper bits of the word hold.
constexpr __int128 kMaxAmount = INT64_MAX >> 3;
constexpr __int128 kMinAmount = INT64_MIN >> 3;

int16_t ClampPlaces(int16_t places) { return std::clamp<int16_t>(places, 0, DecimalNumber::kMaxPlaces); }

// The amount of `n` expressed with `places` places (never fewer than its own); exact in 128 bits.
__int128 AmountAt(const DecimalNumber& n, int16_t places) {
  return static_cast<__int128>(n.Amount()) * kPowersOfTen[places - n.Places()];
}

// The whole part of `d` as a 128-bit integer, or false when `d` is not a finite number the word could
// hold at any number of places.
bool WholePart(double d, __int128& out) {
  double whole = std::trunc(d);
  if (!std::isfinite(whole) || std::fabs(whole) >= 0x1p62) return false;
  out = static_cast<__int128>(static_cast<int64_t>(whole));
  return true;
}

bool InSet(const Vcon::String& set, char c) { return set.find(c) != Vcon::String::npos; }

void RemoveCharsOf(Vcon::String& text, const Vcon::String& set) {
  std::erase_if(text, [&](char c) { return InSet(set, c); });
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Appends `digits` (integer digits, most significant first) with `separator` after every third digit
// counted from the right.
void AppendGrouped(Vcon::String& out, const std::string& digits, const Vcon::String& separator) {
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
}

}  // namespace

DecimalNumber::DecimalNumber(double d, int16_t places) {
  __int128 whole;
  if (WholePart(d, whole)) {
    places = ClampPlaces(places);
    Store(whole * kPowersOfTen[places], places);
  } else {
    *this = MaxValue();
  }
}

void DecimalNumber::Set(int64_t n, int16_t places) {
  places = ClampPlaces(places);
  Store(static_cast<__int128>(n) * kPowersOfTen[places], places);
}

void DecimalNumber::SetFromDouble(double d, int16_t places) {
  places = ClampPlaces(places);
  double scaled = std::trunc(d * kPowersOfTen[places]);
  if (!std::isfinite(scaled) || std::fabs(scaled) >= 0x1p62) {
    *this = MaxValue();
    return;
  }
  Store(static_cast<int64_t>(scaled), places);
}

void DecimalNumber::SetRawWord(int64_t word) {
  word_ = word;
  places_ = static_cast<int16_t>(word & 7);
}

DecimalNumber DecimalNumber::MaxValue() {
  DecimalNumber n;
  n.SetRawWord(kMaxWord);
  return n;
}

void DecimalNumber::Store(__int128 amount, int16_t places) {
  if (amount > kMaxAmount || amount < kMinAmount) {
    SetRawWord(kMaxWord);
    return;
  }
  places_ = places;
  word_ = static_cast<int64_t>(amount) * 8 + places;
}

double DecimalNumber::ToDouble() const { return static_cast<double>(Amount()) / kPowersOfTen[places_]; }

int64_t DecimalNumber::ToInt64() const { return Amount() / kPowersOfTen[places_]; }

void DecimalNumber::Rescale(int16_t places) {
  places = ClampPlaces(places);
  if (places == places_) return;
  if (places < places_) {
    Store(Amount() / kPowersOfTen[places_ - places], places);
  } else {
    Store(AmountAt(*this, places), places);
  }
}

DecimalNumber& DecimalNumber::operator+=(const DecimalNumber& other) {
  int16_t p = std::max(places_, other.places_);
  Store(AmountAt(*this, p) + AmountAt(other, p), p);
  return *this;
}

DecimalNumber& DecimalNumber::operator-=(const DecimalNumber& other) {
  int16_t p = std::max(places_, other.places_);
  Store(AmountAt(*this, p) - AmountAt(other, p), p);
  return *this;
}

DecimalNumber& DecimalNumber::operator*=(const DecimalNumber& other) {
  int16_t p = std::max(places_, other.places_);
  __int128 a = AmountAt(*this, p);
  __int128 b = AmountAt(other, p);
  __int128 product;
  if (__builtin_mul_overflow(a, b, &product)) {
    SetRawWord(kMaxWord);
    return *this;
  }
  Store(product / kPowersOfTen[p], p);
  return *this;
}

DecimalNumber& DecimalNumber::operator+=(double d) {
  __int128 whole;
  if (!WholePart(d, whole)) {
    SetRawWord(kMaxWord);
    return *this;
  }
  Store(static_cast<__int128>(Amount()) + whole * kPowersOfTen[places_], places_);
  return *this;
}

DecimalNumber& DecimalNumber::operator-=(double d) {
  __int128 whole;
  if (!WholePart(d, whole)) {
    SetRawWord(kMaxWord);
    return *this;
  }
  Store(static_cast<__int128>(Amount()) - whole * kPowersOfTen[places_], places_);
  return *this;
}

DecimalNumber& DecimalNumber::operator*=(double d) {
  SetFromDouble(ToDouble() * d, 4);
  return *this;
}

int DecimalNumber::Compare(const DecimalNumber& a, const DecimalNumber& b) {
  int16_t p = std::max(a.places_, b.places_);
  __int128 x = AmountAt(a, p);
  __int128 y = AmountAt(b, p);
  return x < y ? -1 : (x > y ? 1 : 0);
}

Vcon::String DecimalNumber::Format(const DecimalFormat& format) const {
  int64_t amount = Amount();
  bool negative = amount < 0;
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(negative ? -amount : amount));
  std::string digits(buffer);
  if (digits.size() < static_cast<size_t>(places_) + 1) digits.insert(0, places_ + 1 - digits.size(), '0');

  std::string whole = digits.substr(0, digits.size() - places_);
  int16_t shown = std::min(format.decimalsOn ? std::max<int16_t>(format.decimals, 0) : int16_t{0}, places_);
  std::string fraction = digits.substr(whole.size(), shown);  // cut, never rounded
  if (format.trimZeros && format.decimalsOn) {
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  }

  Vcon::String number;
  if (format.grouping) {
    AppendGrouped(number, whole, format.thousandsSeparator);
  } else {
    number += whole;
  }
  if (format.decimalsOn && !fraction.empty()) {
    number += format.decimalPoint;
    number += fraction;
  }

  // A value that truncates to zero is shown unsigned.
  bool allZero = whole.find_first_not_of('0') == std::string::npos &&
                 fraction.find_first_not_of('0') == std::string::npos;
  if (negative && !allZero) {
    if (format.minusAfter) {
      number += '-';
    } else {
      number.insert(0, 1, '-');
    }
  }
  if (format.affixOn) {
    if (format.affixBefore) {
      number.insert(0, format.affix);
    } else {
      number += format.affix;
    }
  }
  return number;
}

void DecimalNumber::Parse(const Vcon::String& text, const DecimalFormat& format) {
  int16_t places = format.EffectiveDecimals();
  Vcon::String work = text;
  if (format.grouping) RemoveCharsOf(work, format.thousandsSeparator);
  if (format.affixOn) RemoveCharsOf(work, format.affix);
  bool negative = InSet(work, '-');
  RemoveCharsOf(work, "- ");

  size_t point = format.decimalPoint.empty() ? Vcon::String::npos : work.find(format.decimalPoint);
  size_t fractionStart = work.size();
  if (point != Vcon::String::npos) {
    fractionStart = point + format.decimalPoint.size();
    work += "0000000";
  }

  __int128 whole = 0;
  bool tooLarge = false;
  for (size_t i = 0; i < std::min(point, work.size()); ++i) {
    if (!IsDigit(work[i])) continue;
    whole = whole * 10 + (work[i] - '0');
    if (whole > kMaxAmount) tooLarge = true;
    if (tooLarge) whole = kMaxAmount + 1;  // saturate so the loop never overflows
  }
  __int128 fraction = 0;
  int16_t taken = 0;
  for (size_t i = fractionStart; i < work.size() && taken < places; ++i) {
    if (!IsDigit(work[i])) continue;
    fraction = fraction * 10 + (work[i] - '0');
    ++taken;
  }
  if (tooLarge) {
    SetRawWord(kMaxWord);
    return;
  }
  __int128 amount = whole * kPowersOfTen[places] + fraction;
  Store(negative ? -amount : amount, places);
}

DecimalNumber operator+(const DecimalNumber& a, double d) {
  DecimalNumber r = a;
  r += d;
  return r;
}

DecimalNumber operator*(const DecimalNumber& a, const DecimalNumber& b) {
  DecimalNumber r = a;
  r *= b;
  return r;
}

DecimalNumber operator-(double d, const DecimalNumber& n) {
  DecimalNumber r(d, n.Places());
  if (r.IsMaxValue()) return r;
  r -= n;
  return r;
}
