#include "database/dbMoneyHandler.h"

#include "foundation/ppParameter.h"

void dbMoneyHandler::SetFromValue(const ppParameter& value, char* field) {
  SetRaw(field, ppMoney::FromText(value.AsString()).Raw());
}

void dbMoneyHandler::SetFromValueWithMoneyFormat(const ppParameter& value, const DecimalFormat& moneyFormat,
                                                 char* field) {
  // A money value is written and read back in the same format, so it never meets the default one.
  const Vcon::String text = value.ToString(-1, -1, 0, 0, ",.", 0, moneyFormat);
  SetRaw(field, ppMoney::FromText(text, &moneyFormat).Raw());
}

void dbMoneyHandler::GetAsValue(ppParameter* out, const char* field) const {
  out->ReleasePayload();
  out->SetMoney(ppMoney::FromRaw(Raw(field)));
}
