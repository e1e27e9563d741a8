#include "database/dbFloatHandler.h"

#include "foundation/ppParameter.h"

void dbFloatHandler::SetFromValue(const ppParameter& value, char* field) {
  const float f = value.ToFloat();
  std::memcpy(field, &f, 4);
}

void dbFloatHandler::GetAsValue(ppParameter* out, const char* field) const {
  out->SetFloat(ppFloat(Value(field)));
}
