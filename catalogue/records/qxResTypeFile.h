// Resource types of the resources database (layout "qxResType"): an id and the type's name.
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"

class qxResTypeFile : public ppDatafile {
 public:
  static constexpr int32_t kFileId = 5001;
  static constexpr const char* kLayout = "qxResType";

  explicit qxResTypeFile(ppDatabase& database);

  // "id" as text, one blank, "resType".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  int32_t VisitRecord(void* argument, int32_t id) override;
  bool AnswersRecordQuery(void* argument, int32_t a, int32_t b) override;

 private:
  RecordField id_, resType_;
};
