#include "database/dbStringHandler.h"

#include "foundation/ppParameter.h"

void dbStringHandler::SetFromValue(const ppParameter& value, char* field) { Text(field) = value.AsString(); }

void dbStringHandler::GetAsValue(ppParameter* out, const char* field) const { out->SetString(Text(field)); }

std::string dbStringHandler::KeyText(const char* field) const { return Text(field); }
