#include "catalogue/records/zelvproColorGroupFil.h"

#include "catalogue/records/zelvproColorCatalogFil.h"

zelvproColorGroupFil::zelvproColorGroupFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      name_(*this, "name"),
      tname_(*this, "tname"),
      defaultColor_(*this, "defaultColor") {}

void zelvproColorGroupFil::AfterRead(char* buffer) {
  buffer = Buffer(buffer);
  SetLocalised(tname_, name_.Text(buffer), buffer, 0);
}

void zelvproColorGroupFil::GetDisplayText(Vcon::String& out, char* buffer) {
  out = tname_.WideText(Buffer(buffer)).Narrow();
}

bool zelvproColorGroupFil::AllowsDeleteOf(int32_t fileId, int32_t id) {
  if (fileId != zelvproColorCatalogFil::kFileId) return true;
  return !AnyRecordHolds(defaultColor_, id);
}
