#include "foundation/NumberFormatter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "foundation/ppDouble.h"

namespace {

// Bounds that keep an absurd argument from asking for megabytes of padding.
constexpr int32_t kMaxWidth = 1000;
constexpr int32_t kMaxPrecision = 100;
constexpr int32_t kDefaultExponentPrecision = 6;

// A non-negative number as decimal digits: value = d0.d1d2... x 10^exponent. Zero is "0" with
// exponent 0.
struct DecimalDigits {
  std::string digits;
  int exponent = 0;
};

// The shortest digits that read back as `magnitude` (finite, not negative). Rounding works on these,
// so a value typed as 2.675 rounds as 2.675 and not as the binary fraction just below it.
DecimalDigits ShortestDigits(double magnitude) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
  const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  const size_t e = text.find('e');
  DecimalDigits out;
  for (char c : text.substr(0, e)) {
    if (c != '.') out.digits += c;
  }
  size_t start = e + 1;
  if (text[start] == '+') ++start;
  std::from_chars(text.data() + start, text.data() + text.size(), out.exponent);
  if (out.digits == "0") out.exponent = 0;
  return out;
}

bool IsZero(const DecimalDigits& d) { return d.digits.find_first_not_of('0') == std::string::npos; }

// Keeps the first `keep` digits, rounding half away from zero on the digit that follows.
void RoundToDigits(DecimalDigits& d, int keep) {
  if (keep >= static_cast<int>(d.digits.size())) return;
  const bool up = keep >= 0 && d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(std::max(keep, 0)));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') d.digits[static_cast<size_t>(i--)] = '0';
    if (i >= 0) {
      ++d.digits[static_cast<size_t>(i)];
    } else {
      d.digits.insert(0, 1, '1');
      ++d.exponent;
    }
  }
  if (d.digits.empty()) d = DecimalDigits{"0", 0};
}

// The digit worth 10^power.
char DigitAt(const DecimalDigits& d, int power) {
  const int i = d.exponent - power;
  return (i >= 0 && i < static_cast<int>(d.digits.size())) ? d.digits[static_cast<size_t>(i)] : '0';
}

// The unsigned text of a number split at its decimal point.
struct NumberText {
  std::string whole;
  std::string fraction;  // empty: no decimal point
  std::string suffix;    // the exponent part of the scientific form
  bool negative = false;
};

NumberText FixedText(double value, int precision) {
  DecimalDigits d = ShortestDigits(std::fabs(value));
  RoundToDigits(d, d.exponent + 1 + precision);
  NumberText out;
  for (int power = std::max(d.exponent, 0); power >= 0; --power) out.whole += DigitAt(d, power);
  for (int power = -1; power >= -precision; --power) out.fraction += DigitAt(d, power);
  out.negative = value < 0 && !IsZero(d);
  return out;
}

NumberText ScientificText(double value, int precision) {
  DecimalDigits d = ShortestDigits(std::fabs(value));
  RoundToDigits(d, 1 + precision);
  NumberText out;
  out.whole = std::string(1, d.digits[0]);
  for (int i = 1; i <= precision; ++i) {
    out.fraction += i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(i)] : '0';
  }
  const int exponent = IsZero(d) ? 0 : d.exponent;
  const std::string digits = std::to_string(std::abs(exponent));
  out.suffix = std::string("e") + (exponent < 0 ? "-" : "+") + (digits.size() < 2 ? "0" : "") + digits;
  out.negative = value < 0 && !IsZero(d);
  return out;
}

NumberText IntegerText(double value) {
  const int64_t n = TruncateToInt32(value);
  NumberText out;
  out.whole = std::to_string(n < 0 ? -n : n);
  out.negative = n < 0;
  return out;
}

void InsertGrouping(std::string& whole, char groupChar) {
  for (size_t digits = whole.size(); digits > 3; digits -= 3) whole.insert(digits - 3, 1, groupChar);
}

// Pads `text` (with its sign) to |width| as printf does: a negative width left-justifies, zeros go
// after the sign.
std::string Pad(const std::string& signText, const std::string& body, int32_t width, bool zeros) {
  const size_t length = signText.size() + body.size();
  const size_t field = static_cast<size_t>(std::abs(width));
  if (field <= length) return signText + body;
  const std::string padding(field - length, zeros && width > 0 ? '0' : ' ');
  if (width < 0) return signText + body + padding;
  if (zeros) return signText + padding + body;
  return padding + signText + body;
}

}  // namespace

Vcon::String FormatNumber(double value, int32_t width, int32_t precision, uint8_t fill, uint8_t sign,
                          std::string_view separators, uint8_t exponent) {
  if (std::isnan(value) || value == ppDouble::kNoValue) return "NaN";
  const bool hasWidth = width >= 0;
  const bool hasPrecision = precision >= 0;
  if (sign == kSignParentheses && hasWidth) width -= 2;
  if (hasWidth && hasPrecision) width += precision + 1;
  width = std::clamp(width, -kMaxWidth, kMaxWidth);
  precision = std::min(precision, kMaxPrecision);
  const char decimalChar = !separators.empty() ? separators[0] : '.';
  const char groupChar = separators.size() >= 2 ? separators[1] : ',';

  bool parenthesised = false;
  if (sign == kSignParentheses && value < 0) {
    value = -value;
    parenthesised = true;
  }

  NumberText number;
  const bool written = exponent != 0 || hasPrecision;
  if (written && std::isinf(value)) {
    number.whole = "inf";
    number.negative = value < 0;
  } else if (exponent != 0) {
    number = ScientificText(value, hasPrecision ? precision : kDefaultExponentPrecision);
  } else if (hasPrecision) {
    number = FixedText(value, precision);
  } else {
    number = IntegerText(value);
  }
  if (fill == kFillGrouping) InsertGrouping(number.whole, groupChar);

  std::string body = number.whole;
  if (!number.fraction.empty()) body += decimalChar + number.fraction;
  body += number.suffix;
  const std::string signText = number.negative ? "-" : (sign == kSignPlus ? "+" : "");
  const bool zeros = fill == kFillZeros && !std::isinf(value);
  std::string text = hasWidth ? Pad(signText, body, width, zeros) : signText + body;

  if (sign == kSignParentheses) text = parenthesised ? "(" + text + ")" : " " + text + " ";
  return text;
}

Vcon::String FormatRatio(int64_t a, int64_t b, int32_t width, int32_t precision, uint8_t fill, uint8_t sign,
                         std::string_view separators, uint8_t exponent) {
  double quotient;
  if (b != 0) {
    quotient = static_cast<double>(a) / static_cast<double>(b);
  } else if (a == 0) {
    quotient = std::numeric_limits<double>::quiet_NaN();
  } else {
    quotient = a > 0 ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
  }
  return FormatNumber(quotient, width, precision, fill, sign, separators, exponent);
}
