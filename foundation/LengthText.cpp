#include "foundation/LengthText.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>

#include "foundation/UserPreferences.h"
#include "foundation/ppParameter.h"

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kMillimetresPerFoot = 304.8;
constexpr double kLargestLength = 1e15;  // millimetres

// An integer as the typed value writes it with the default formatting (decimal digits, no grouping).
Vcon::WString IntegerText(int64_t n) { return Vcon::WString(Vcon::String(std::to_string(n))); }

// Rounds half away from zero and writes the whole number, as the metric units show lengths.
Vcon::WString RoundedText(double value) {
  return IntegerText(static_cast<int64_t>(value + (value < 0 ? -0.5 : 0.5)));
}

// Whole inches, rounded to the nearest.
Vcon::WString InchesOnly(double mm) {
  float inches = static_cast<float>(mm / kMillimetresPerInch + 0.5);
  Vcon::WString text = IntegerText(static_cast<int64_t>(inches));
  text += kInchMark;
  return text;
}

// Whole inches and a reduced fraction of sixteenths, rounded to the nearest sixteenth: 5 1/2" .
Vcon::WString InchesAndSixteenths(double mm) {
  double x = mm / kMillimetresPerInch + 1.0 / 32.0;
  int64_t whole = static_cast<int64_t>(x);
  int32_t n = static_cast<int32_t>((x - static_cast<double>(whole)) * 16.0);
  int32_t d = 16;
  while (n != 0 && n % 2 == 0) {
    n /= 2;
    d /= 2;
  }
  Vcon::WString text;
  if (whole != 0) {
    text += IntegerText(whole);
    if (n == 0) text += kInchMark;
    text += u' ';
  }
  if (n != 0) {
    text += IntegerText(n) + u"/" + IntegerText(d);
    text += kInchMark;
    text += u' ';
  }
  return text;
}

// Feet and whole inches, rounded to about the nearest half inch: 3' 3" .
Vcon::WString FeetAndInches(double mm) {
  double y = mm + 12.0;
  int64_t feet = static_cast<int64_t>(y / kMillimetresPerFoot);
  int64_t inches =
      static_cast<int64_t>((y - static_cast<double>(feet) * kMillimetresPerFoot) / kMillimetresPerInch);
  Vcon::WString text;
  if (feet != 0) {
    text += IntegerText(feet);
    text += kFootMark;
    text += u' ';
  }
  if (inches != 0) {
    text += IntegerText(inches);
    text += kInchMark;
  }
  return text;
}

Vcon::WString ImperialText(double value, uint32_t flags) {
  Vcon::WString sign;
  if (value < 0) {
    sign = u"-";
    value = -value;
  }
  // Less than a millimetre never shows a minus sign.
  if (std::trunc(value) == 0) sign.clear();
  if (flags & kLengthInchesOnly) return sign + InchesOnly(value);
  if (flags & kLengthInchesSixteenths) return sign + InchesAndSixteenths(value);
  return sign + FeetAndInches(value);
}

// A float length from a double, kept finite.
float ClampToFloat(double v) {
  if (std::isnan(v)) return 0.0f;
  if (v > FLT_MAX) return FLT_MAX;
  if (v < -FLT_MAX) return -FLT_MAX;
  return static_cast<float>(v);
}

// The value of a run of decimal digits as a typed value reads it; beyond the double range, infinity.
double DigitsValue(const std::string& digits) {
  double value = ppParameter(Vcon::String(digits)).ToDouble();
  return value == ppDouble::kNoValue ? HUGE_VAL : value;
}

// One number of an imperial length as it is typed: whole digits, a decimal part after a point, and
// a fraction n/d after them ("5 1/2", "5.5", "3/4"). Blanks between whole digits are skipped ("1 000"
// is a thousand); the run of digits just before a slash is the fraction's numerator.
class ImperialNumber {
 public:
  bool Empty() const { return whole_.empty() && decimals_.empty() && !slash_; }

  // False when the character cannot continue the number: a second point or slash, a point in a
  // fraction, or a slash without a numerator.
  bool Add(char16_t c) {
    const bool digit = c >= u'0' && c <= u'9';
    if (digit) {
      std::string& to = slash_ ? denominator_ : point_ ? decimals_ : whole_;
      if (!slash_ && !point_ && !afterDigit_) runStart_ = whole_.size();
      to += static_cast<char>(c);
    } else if (c == u'.') {
      if (point_ || slash_) return false;
      point_ = true;
    } else if (c == u'/') {
      if (slash_ || point_ || whole_.size() == runStart_) return false;
      slash_ = true;
      numerator_ = whole_.substr(runStart_);
      whole_.resize(runStart_);
    }
    afterDigit_ = digit;
    return true;
  }

  // The number's value; false when a fraction lacks its digits or its denominator is not a power of
  // two up to 64.
  bool Value(double& value) const {
    value = whole_.empty() ? 0.0 : DigitsValue(whole_);
    double scale = 0.1;
    for (char d : decimals_) {
      value += (d - '0') * scale;
      scale /= 10.0;
    }
    if (!slash_) return true;
    if (denominator_.empty() || denominator_.size() > 2) return false;
    const int d = std::stoi(denominator_);
    if (d < 1 || d > 64 || (d & (d - 1)) != 0) return false;
    value += DigitsValue(numerator_) / d;
    return true;
  }

 private:
  std::string whole_, decimals_, numerator_, denominator_;
  size_t runStart_ = 0;  // where the last run of whole digits begins
  bool afterDigit_ = false;
  bool point_ = false;
  bool slash_ = false;
};

// Feet before each foot mark (the last one counts), inches after the last one; a leading minus
// makes the length negative. Every other character is skipped. False when a number is malformed.
bool ParseImperial(const Vcon::WString& text, float& millimetres) {
  double total = 0.0;
  ImperialNumber number;
  const size_t first = text.find_first_not_of(u' ');
  const bool negative = first != Vcon::WString::npos && text[first] == u'-';
  for (char16_t c : text) {
    if (c == kFootMark && !number.Empty()) {
      double feet = 0.0;
      if (!number.Value(feet)) return false;
      total = feet * kMillimetresPerFoot;
      number = ImperialNumber();
    } else if (!number.Add(c)) {
      return false;
    }
  }
  double inches = 0.0;
  if (!number.Value(inches)) return false;
  total += inches * kMillimetresPerInch;
  millimetres = ClampToFloat(negative ? -total : total);
  return true;
}

}  // namespace

void FormatLength(float millimetres, Vcon::WString& out, uint32_t flags) {
  // Capped far beyond any plan so that every whole number below stays an exact 64-bit integer; a
  // length that is not a number shows as 0.
  double value = std::isfinite(millimetres)
                     ? std::clamp(static_cast<double>(millimetres), -kLargestLength, kLargestLength)
                     : 0.0;
  switch (Preferences().unitSystem) {
    case kUnitImperial:
      out = ImperialText(value, flags);
      break;
    case kUnitCentimetres:
      out = RoundedText(value / 10.0) + u" cm";
      break;
    default:
      out = RoundedText(value) + u" mm";
      break;
  }
}

bool ParseLength(float& millimetres, const Vcon::WString& text) {
  millimetres = 0.0f;
  if (text.empty()) return true;
  uint32_t unit = Preferences().unitSystem;
  if (unit == kUnitImperial) {
    if (ParseImperial(text, millimetres)) return true;
    millimetres = 0.0f;
    return false;
  }
  // As a typed value reads a decimal number: "12.5 mm" reads 12.5, a text without one no value. The
  // user's own decimal separator counts as the point ("300,5" is 300.5 with "," set), as a point does.
  Vcon::WString typed = text;
  const char separator = Preferences().decimalSeparator[0];
  if (separator != 0 && separator != '.')
    std::replace(typed.begin(), typed.end(), static_cast<char16_t>(separator), u'.');
  double mm = ppParameter(typed).ToDouble();
  if (mm == ppDouble::kNoValue || !std::isfinite(mm)) return false;
  if (unit == kUnitCentimetres) mm *= 10.0;
  millimetres = ClampToFloat(mm);
  return true;
}
