// The number formatter of typed values and money: a printf-like layout of one number with a field
// width, a precision, a fill style, a sign style and locale separators, done entirely by our own code
// so the text is the same on every machine and never depends on the C library's locale or rounding.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/VconString.h"

// The fill argument.
inline constexpr uint8_t kFillSpaces = 0;
inline constexpr uint8_t kFillZeros = 1;     // pad to the width with zeros after the sign
inline constexpr uint8_t kFillGrouping = 2;  // insert the grouping character every three whole digits

// The sign argument.
inline constexpr uint8_t kSignMinus = 0;        // "-" in front of negatives only
inline constexpr uint8_t kSignPlus = 1;         // "+" in front of positives as well
inline constexpr uint8_t kSignParentheses = 2;  // "(5)" for negatives, " 5 " otherwise

// Formats `value`.
// - width: -1 (any negative) when not given. With a precision it counts the whole digits only: the
//   field is width + precision + 1 characters wide. With kSignParentheses it excludes the two
//   characters around the number. A field shorter than the text is ignored.
// - precision: -1 when not given; the value is then truncated toward zero and written as a 32-bit
//   integer (NaN aside, a value outside that range reads "-2147483648"). Given, the value is written
//   with that many decimals, rounded half away from zero on its shortest decimal form (0.125 and 0.015
//   with two decimals read "0.13" and "0.02").
// - separators: the first character is the decimal character ('.' when empty), the second the
//   grouping character (',' when missing).
// - exponent: not 0 writes the value in scientific form ("1.5e+03") with the precision, 6 when not
//   given.
// A NaN or the ppDouble no-value marker reads "NaN"; infinities read "inf" or "-inf".
Vcon::String FormatNumber(double value, int32_t width, int32_t precision, uint8_t fill, uint8_t sign,
                          std::string_view separators, uint8_t exponent);

// FormatNumber of the quotient a / b, worked out in double precision (b = 0 gives an infinity or
// NaN, which format as above).
Vcon::String FormatRatio(int64_t a, int64_t b, int32_t width, int32_t precision, uint8_t fill, uint8_t sign,
                         std::string_view separators, uint8_t exponent);
