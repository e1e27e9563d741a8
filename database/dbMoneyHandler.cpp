#include "database/dbMoneyHandler.h"

#include "foundation/ppParameter.h"

namespace {

// A money value is stored as the amount it holds, to the last of its four decimals: going through
// its text would round it to what the money format shows (whole units while decimals are hidden),
// so the bill would depend on a display setting. A value-less amount stores 0, as any value-less
// value does.
bool StoreExactMoney(const ppParameter& value, char* field) {
  if (value.Type() != ppParameter::kMoney) return false;
  const ppMoney amount = value.ToMoney();
  dbBasic8byteHandler::SetRaw(field, amount.IsNull() ? 0 : amount.Raw());
  return true;
}

}  // namespace

void dbMoneyHandler::SetFromValue(const ppParameter& value, char* field) {
  if (StoreExactMoney(value, field)) return;
  SetRaw(field, ppMoney::FromText(value.AsString()).Raw());
}

void dbMoneyHandler::SetFromValueWithMoneyFormat(const ppParameter& value, const DecimalFormat& moneyFormat,
                                                 char* field) {
  if (StoreExactMoney(value, field)) return;
  // A value is written and read back in the same format, so it never meets the default one.
  const Vcon::String text = value.ToString(-1, -1, 0, 0, ",.", 0, moneyFormat);
  SetRaw(field, ppMoney::FromText(text, &moneyFormat).Raw());
}

void dbMoneyHandler::GetAsValue(ppParameter* out, const char* field) const {
  out->ReleasePayload();
  out->SetMoney(ppMoney::FromRaw(Raw(field)));
}
