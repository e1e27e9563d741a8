#include "database/dbDoubleHandler.h"

#include "foundation/ppParameter.h"

void dbDoubleHandler::SetFromValue(const ppParameter& value, char* field) {
  const double d = value.ToDouble();
  std::memcpy(field, &d, 8);
}

void dbDoubleHandler::GetAsValue(ppParameter* out, const char* field) const {
  out->SetDouble(ppDouble(Value(field)));
}
