#include "foundation/MoneyText.h"

#include "foundation/NumberFormatter.h"
#include "foundation/UserPreferences.h"
#include "foundation/ppMoney.h"

namespace {

// The decimal and the grouping character of the preferences; an empty field keeps the formatter's
// own character for it.
Vcon::String SeparatorsOf(const UserPreferences& p) {
  Vcon::String separators;
  separators += p.decimalSeparator[0] != 0 ? p.decimalSeparator[0] : '.';
  separators += p.thousandsSeparator[0] != 0 ? p.thousandsSeparator[0] : ',';
  return separators;
}

}  // namespace

void FormatMoneyText(Vcon::WString& out, int64_t amount) {
  if (amount == ppMoney::kNoValue) {
    out = ppMoney().ToString();
    return;
  }
  const UserPreferences& p = Preferences();
  // The number alone, formatted once; the currency text is added below and only here.
  Vcon::String number =
      FormatRatio(amount, ppMoney::kScale, -1, p.moneyDecimals != 0 ? 2 : 0,
                  p.moneyGrouping != 0 ? kFillGrouping : kFillSpaces, kSignMinus, SeparatorsOf(p), 0);
  out = WideFromString(number);
  if (p.currencyShown == 0) return;
  Vcon::WString currency = WideFromString(PreferenceText(p.currencyText));
  out = p.currencyBefore != 0 ? currency + out : out + currency;
}
