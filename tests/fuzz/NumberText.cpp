// Numbers typed by the user or read from text files: lengths in each unit system, integers in the
// locale's characters, decimal numbers and money amounts in formats the first bytes choose.
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/DecimalFormat.h"
#include "foundation/DecimalNumber.h"
#include "foundation/LengthText.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/UserPreferences.h"
#include "foundation/VconString.h"
#include "foundation/ppMoney.h"

namespace {

// A format from one control byte, with the decimal point and thousands separator texts given.
DecimalFormat FormatOf(uint8_t control, char point, char thousands) {
  DecimalFormat format;
  format.decimalsOn = (control & 1) != 0;
  format.decimals = int16_t((control >> 1) & 15) - 4;  // also out of range: -4..11
  format.grouping = (control & 32) != 0;
  format.minusAfter = (control & 64) != 0;
  format.affixOn = (control & 128) != 0;
  format.affix = "CU ";
  format.decimalPoint = Vcon::String(&point, 1);
  format.thousandsSeparator = Vcon::String(&thousands, 1);
  return format;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const uint8_t control = data[0];
  const char point = char(data[1]), thousands = char(data[2]);
  const Vcon::String narrow(reinterpret_cast<const char*>(data + 3), size - 3);

  // Typed text reaches ParseLength widened character by character.
  Vcon::WString wide;
  for (char c : narrow) wide.push_back(char16_t(uint8_t(c)));
  const uint32_t saved = Preferences().unitSystem;
  Preferences().unitSystem = control % 4;  // 3: an unknown system, read as millimetres
  float millimetres = 0;
  ParseLength(millimetres, wide);
  Vcon::WString shown;
  FormatLength(millimetres, shown, control >> 6);
  Preferences().unitSystem = saved;

  SetLocaleNumberChars(point, thousands, '-');
  int32_t value = 0;
  TextToInt(value, narrow);
  std::string copy(narrow);
  NumberTextClean(copy.data(), (control & 4) != 0);
  SetLocaleNumberChars('.', ',', '-');

  const DecimalFormat format = FormatOf(data[1] ^ data[2], point, thousands);
  DecimalNumber number;
  number.Parse(narrow, format);
  number.Format(format);
  ppMoney::FromText(narrow, &format);
  ppMoney::FromText(wide, nullptr);
  return 0;
}
