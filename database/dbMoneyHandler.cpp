#include "database/dbMoneyHandler.h"

#include "foundation/ppParameter.h"

void dbMoneyHandler::SetFromValue(const ppParameter& value, char* field) {
  SetRaw(field, ppMoney::FromText(value.AsString()).Raw());
}

void dbMoneyHandler::GetAsValue(ppParameter* out, const char* field) const {
  out->ReleasePayload();
  out->SetMoney(ppMoney::FromRaw(Raw(field)));
}
