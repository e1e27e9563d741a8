#include "catalogue/records/qxResTypeFile.h"

#include "foundation/LocaleNumbers.h"

qxResTypeFile::qxResTypeFile(ppDatabase& database)
    : ppDatafile(kLayout, database), id_(*this, "id"), resType_(*this, "resType") {}

void qxResTypeFile::GetDisplayText(Vcon::String& out, char* buffer) {
  const char* record = Buffer(buffer);
  out = IntToText(id_.Long(record));
  out += " ";
  out += resType_.Text(record);
}

int32_t qxResTypeFile::VisitRecord(void*, int32_t) { return 1; }

bool qxResTypeFile::AnswersRecordQuery(void*, int32_t, int32_t) { return true; }
