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

// Digits only: feet at each foot mark, the digits after the last one are inches.
float ParseImperial(const Vcon::WString& text) {
  double total = 0.0;
  std::string digits;
  for (char16_t c : text) {
    if (c >= u'0' && c <= u'9') {
      digits += static_cast<char>(c);
    } else if (c == kFootMark && !digits.empty()) {
      total = DigitsValue(digits) * kMillimetresPerFoot;
      digits.clear();
    }
  }
  if (!digits.empty()) total += DigitsValue(digits) * kMillimetresPerInch;
  return ClampToFloat(total);
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
    millimetres = ParseImperial(text);
    return true;
  }
  // As a typed value reads a decimal number: "12.5 mm" reads 12.5, a text without one no value.
  double mm = ppParameter(text).ToDouble();
  if (mm == ppDouble::kNoValue || !std::isfinite(mm)) return false;
  if (unit == kUnitCentimetres) mm *= 10.0;
  millimetres = ClampToFloat(mm);
  return true;
}
