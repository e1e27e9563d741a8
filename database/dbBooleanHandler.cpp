#include "database/dbBooleanHandler.h"

#include "foundation/ppParameter.h"

void dbBooleanHandler::SetFromValue(const ppParameter& value, char* field) { SetWord(field, value.ToLong()); }

void dbBooleanHandler::GetAsValue(ppParameter* out, const char* field) const {
  out->SetBool(Word(field) != 0);
}
