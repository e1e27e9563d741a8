// Language codes of the resources database (layout "qxLanguageCode"): the numeric code with its
// short, long and country names.
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"

class qxLangCodeFile : public ppDatafile {
 public:
  static constexpr int32_t kFileId = 5002;
  static constexpr const char* kLayout = "qxLanguageCode";

  explicit qxLangCodeFile(ppDatabase& database);

  // "langCode" as text, "langShortName", "langLongName" and "langCountryCode", one blank between.
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  int32_t VisitRecord(void* argument, int32_t id) override;
  bool AnswersRecordQuery(void* argument, int32_t a, int32_t b) override;

 private:
  RecordField langCode_, shortName_, longName_, countryCode_;
};
