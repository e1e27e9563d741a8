#include "database/dbUnicodeHandler.h"

#include "foundation/ppParameter.h"

void dbUnicodeHandler::SetFromValue(const ppParameter& value, char* field) {
  Text(field) = value.AsWString();
}

void dbUnicodeHandler::GetAsValue(ppParameter* out, const char* field) const { out->SetWString(Text(field)); }

std::string dbUnicodeHandler::KeyText(const char* field) const { return Text(field).Narrow(); }
