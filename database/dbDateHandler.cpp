#include "database/dbDateHandler.h"

#include "foundation/ppParameter.h"

void dbDateHandler::SetFromValue(const ppParameter& value, char* field) {
  SetRaw(field, value.ToDate().Value());
}

void dbDateHandler::GetAsValue(ppParameter* out, const char* field) const {
  const auto raw = uint64_t(Raw(field));
  out->SetDate(DateTimeMs(uint32_t(raw), uint32_t(raw >> 32)));
}
