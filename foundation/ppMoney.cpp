#include "foundation/ppMoney.h"

#include <limits>
#include <string>

#include "foundation/DecimalFormat.h"
#include "foundation/DecimalNumber.h"
#include "foundation/NumberFormatter.h"

namespace {

DecimalFormat& DefaultFormatStorage() {
  static DecimalFormat format;
  return format;
}

// The first character of a separator text, or `fallback` when the text is empty.
char FirstChar(const Vcon::String& text, char fallback) { return text.empty() ? fallback : text[0]; }

}  // namespace

ppMoney ppMoney::FromWide(__int128 raw) {
  if (raw < std::numeric_limits<int64_t>::min() || raw > std::numeric_limits<int64_t>::max()) {
    return ppMoney();
  }
  return ppMoney(static_cast<int64_t>(raw));
}

ppMoney ppMoney::FromLongValue(ppLong n) { return ppMoney(n.ToInt64()); }

ppMoney ppMoney::FromInteger(int64_t n) { return FromWide(static_cast<__int128>(n) * kScale); }

ppMoney ppMoney::FromLong(ppLong n) {
  if (n.IsNull()) return ppMoney();
  return FromInteger(n.Value());
}

ppMoney ppMoney::FromFloat(ppFloat f) {
  if (f.IsNull()) return ppMoney();
  // The float is widened first and scaled in double arithmetic.
  return FromDouble(static_cast<double>(f.Value()));
}

ppMoney ppMoney::FromDouble(double d) {
  if (d == ppDouble::kNoValue) return ppMoney();
  // NaN, infinities and products beyond the 64-bit range come back as kNoValueInt64.
  return ppMoney(TruncateToInt64(d * 10000.0));
}

ppMoney ppMoney::FromDecimalNumber(const DecimalNumber& q) {
  if (q.IsMaxValue()) return ppMoney();
  // Scaled on the integer amount, not through a double: 0.29 stays raw 2900 and never 2899.
  __int128 raw = q.Amount();
  for (int places = q.Places(); places < 4; ++places) raw *= 10;
  for (int places = q.Places(); places > 4; --places) raw /= 10;
  return FromWide(raw);
}

ppMoney ppMoney::FromText(const Vcon::String& text, const DecimalFormat* format) {
  const DecimalFormat& f = format ? *format : DefaultFormat();
  const char point = FirstChar(f.decimalPoint, '\0');
  std::string digits;
  bool negative = false;
  bool inFraction = false;
  int fractionDigits = 0;
  for (char c : text) {
    if (point != '\0' && c == point) {
      // A later decimal point starts the count again, as the first one did.
      inFraction = true;
      fractionDigits = 0;
    } else if (c == '-') {
      negative = true;
    } else if (c >= '0' && c <= '9') {
      if (inFraction && fractionDigits == 2) break;
      digits += c;
      if (inFraction) ++fractionDigits;
    }
  }
  digits.append(inFraction ? 4 - fractionDigits : 4, '0');

  __int128 raw = 0;
  for (char c : digits) {
    raw = raw * 10 + (c - '0');
    if (raw > std::numeric_limits<int64_t>::max()) return ppMoney();
  }
  return FromWide(negative ? -raw : raw);
}

ppMoney ppMoney::FromText(const Vcon::WString& text, const DecimalFormat* format) {
  return FromText(text.Narrow(), format);
}

ppMoney ppMoney::FromText(const char* text, const DecimalFormat* format) {
  return FromText(Vcon::String(text), format);
}

const DecimalFormat& ppMoney::DefaultFormat() { return DefaultFormatStorage(); }

void ppMoney::SetDefaultFormat(const DecimalFormat& format) { DefaultFormatStorage() = format; }

int64_t ppMoney::IntegerPart() const {
  if (IsNull()) return kNoValueInt64;
  return raw_ / kScale;
}

double ppMoney::ToDouble() const {
  if (IsNull()) return ppDouble::kNoValue;
  return static_cast<double>(raw_) / 10000.0;
}

Vcon::String ppMoney::ToNarrowString(const DecimalFormat* format) const {
  if (IsNull()) return "no value";
  const DecimalFormat& f = format ? *format : DefaultFormat();
  const char separators[2] = {FirstChar(f.decimalPoint, '.'), FirstChar(f.thousandsSeparator, ',')};
  Vcon::String text =
      FormatRatio(raw_, kScale, -1, f.decimalsOn ? 2 : 0, f.grouping ? kFillGrouping : kFillSpaces,
                  kSignMinus, std::string_view(separators, 2), 0);
  if (f.affixOn) text = f.affixBefore ? f.affix + text : text + f.affix;
  return text;
}

Vcon::WString ppMoney::ToString(const DecimalFormat* format) const {
  return WideFromString(ToNarrowString(format));
}

ppMoney& ppMoney::operator+=(ppMoney b) {
  if (IsNull() || b.IsNull()) return *this = ppMoney();
  return *this = FromWide(static_cast<__int128>(raw_) + b.raw_);
}

ppMoney& ppMoney::operator-=(ppMoney b) {
  if (IsNull() || b.IsNull()) return *this = ppMoney();
  return *this = FromWide(static_cast<__int128>(raw_) - b.raw_);
}

ppMoney ppMoney::operator-() const {
  if (IsNull()) return ppMoney();
  return FromWide(-static_cast<__int128>(raw_));
}

ppMoney operator*(ppMoney a, ppMoney b) {
  if (a.IsNull() || b.IsNull()) return ppMoney();
  return ppMoney::FromWide(static_cast<__int128>(a.raw_) * b.raw_ / ppMoney::kScale);
}

ppMoney operator/(ppMoney a, ppMoney b) {
  if (a.IsNull() || b.IsNull() || b.raw_ == 0) return ppMoney();
  return ppMoney::FromWide(static_cast<__int128>(a.raw_) * ppMoney::kScale / b.raw_);
}

ppMoney operator%(ppMoney a, ppMoney b) {
  if (a.IsNull() || b.IsNull() || b.raw_ == 0) return ppMoney();
  // Taken in 128 bits so the smallest raw value modulo -1 is 0 and not a fault.
  return ppMoney::FromWide(static_cast<__int128>(a.raw_) % b.raw_);
}

ppMoney ppMoney::MultipliedByInt(int64_t n) const {
  if (IsNull()) return ppMoney();
  return FromWide(static_cast<__int128>(raw_) * n);
}

ppMoney ppMoney::DividedByInt(int64_t n) const {
  if (IsNull() || n == 0) return ppMoney();
  return FromWide(static_cast<__int128>(raw_) / n);
}

ppMoney operator*(ppMoney a, const DecimalNumber& q) {
  if (a.IsNull() || q.IsMaxValue()) return ppMoney();
  __int128 scale = 1;
  for (int i = 0; i < q.Places(); ++i) scale *= 10;
  // |raw| < 2^63 and |A| < 2^60, so the product fits 128 bits.
  return ppMoney::FromWide(static_cast<__int128>(a.raw_) * q.Amount() / scale);
}

ppMoney ppMoney::MultipliedByFloatValue(ppFloat f) const {
  if (f.IsNull()) return ppMoney();
  return *this * f.ToDouble();
}

ppMoney ppMoney::MultipliedByDouble(ppDouble d) const {
  if (d.IsNull()) return ppMoney();
  return *this * d.Value();
}

ppMoney ppMoney::MultipliedByFloat(float f) const { return *this * static_cast<double>(f); }

ppMoney ppMoney::DividedByFloat(float f) const { return *this / static_cast<double>(f); }

ppMoney operator*(ppMoney a, double d) {
  if (a.IsNull()) return ppMoney();
  return ppMoney::FromDouble(a.ToDouble() * d);
}

ppMoney operator/(ppMoney a, double d) {
  // A zero divisor would give an infinity or NaN, which has no amount.
  if (a.IsNull() || d == 0.0) return ppMoney();
  return ppMoney::FromDouble(a.ToDouble() / d);
}
