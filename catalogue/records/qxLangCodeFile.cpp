#include "catalogue/records/qxLangCodeFile.h"

#include "foundation/LocaleNumbers.h"

qxLangCodeFile::qxLangCodeFile(ppDatabase& database)
    : ppDatafile(kLayout, database),
      langCode_(*this, "langCode"),
      shortName_(*this, "langShortName"),
      longName_(*this, "langLongName"),
      countryCode_(*this, "langCountryCode") {}

void qxLangCodeFile::GetDisplayText(Vcon::String& out, char* buffer) {
  const char* record = Buffer(buffer);
  out = IntToText(langCode_.Long(record));
  for (const RecordField* text : {&shortName_, &longName_, &countryCode_}) {
    out += " ";
    out += text->Text(record);
  }
}

int32_t qxLangCodeFile::VisitRecord(void*, int32_t) { return 1; }

bool qxLangCodeFile::AnswersRecordQuery(void*, int32_t, int32_t) { return true; }
