#pragma once
// How a DecimalNumber (and money and typed values built on it) is written as text and read back:
// an optional affix such as a currency text, the number of decimals shown, the decimal point and
// thousands separator texts, where the minus sign goes and whether trailing fraction zeros are
// dropped. A plain value type; the defaults are the program's neutral number format.

#include <cstdint>

#include "foundation/VconString.h"

class DecimalFormat {
 public:
  bool affixOn = false;
  Vcon::String affix;
  bool affixBefore = false;  // true: affix in front of the number; false: behind it
  bool decimalsOn = true;
  int16_t decimals = 8;   // fraction digits shown, at most the number's own places
  bool trimZeros = true;  // drop trailing fraction zeros and then a bare decimal point
  Vcon::String decimalPoint = ".";
  bool minusAfter = false;  // true: the minus sign follows the number
  bool grouping = false;    // insert the thousands separator
  Vcon::String thousandsSeparator = ",";

  // The number of places a text is read with and the most fraction digits shown: `decimals` when
  // decimals are on (clamped to 0..7), otherwise 0.
  int16_t EffectiveDecimals() const;
};
