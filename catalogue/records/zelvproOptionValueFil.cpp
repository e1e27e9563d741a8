#include "catalogue/records/zelvproOptionValueFil.h"

#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproPreviewFil.h"

zelvproOptionValueFil::zelvproOptionValueFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      name_(*this, "name"),
      tname_(*this, "tname"),
      button1_(*this, "button1"),
      button2_(*this, "button2"),
      classId_(*this, "classid") {}

void zelvproOptionValueFil::AfterRead(char* buffer) {
  buffer = Buffer(buffer);
  SetLocalised(tname_, name_.Text(buffer), buffer, 0);
}

void zelvproOptionValueFil::GetDisplayText(Vcon::String& out, char* buffer) {
  out = name_.Text(Buffer(buffer));
}

bool zelvproOptionValueFil::AllowsDeleteOf(int32_t fileId, int32_t id) {
  switch (fileId) {
    case zelvproPreviewFil::kFileId:
      return !AnyRecordHolds(button1_, id) && !AnyRecordHolds(button2_, id);
    case zelvproClassFil::kFileId:
      return !AnyRecordHolds(classId_, id);
    default:
      return true;
  }
}
