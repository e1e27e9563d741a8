// The preferences file as any program version or a damaged disk may leave it: loaded into the
// process-wide block, then used the way the program does at once (lengths, money and numbers shown
// in the formats derived from it) and saved again. The block and the formats are put back after each
// input, so that every input starts from the defaults.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "foundation/LengthText.h"
#include "foundation/MoneyText.h"
#include "foundation/UserPreferences.h"
#include "foundation/ppMoney.h"
#include "foundation/ppParameter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  static const UserPreferences defaults = Preferences();
  static const DecimalFormat moneyFormat = ppMoney::DefaultFormat();
  static const DecimalFormat plainFormat = ppParameter::PlainNumberFormat();
  PreferencesFileSpec() =
      ppFileSpec(Vcon::WString(Vcon::String(fuzz::WriteScratchFile("prefs.dat", data, size))));

  LoadDisplaySettings();
  Vcon::WString length;
  FormatLength(-1234.5f, length);
  float back = 0;
  ParseLength(back, length);
  Vcon::WString money;
  FormatMoneyText(money, -123456789);
  ppMoney::FromText(money);
  ppParameter(3.25).AsString();
  SaveDisplaySettings();

  Preferences() = defaults;
  ApplyDerivedSettings();
  ppMoney::SetDefaultFormat(moneyFormat);
  ppParameter::SetPlainNumberFormat(plainFormat);
  return 0;
}
