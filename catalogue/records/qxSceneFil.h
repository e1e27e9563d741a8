// Scene records (layout "qxScene"): a named scene blob with a preview, the room-shape templates
// of the room design. Only the record class is here; the room design opens it on the database
// that holds its templates.
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"

class qxSceneFil : public ppDatafile {
 public:
  static constexpr int32_t kFileId = 5437;
  static constexpr const char* kLayout = "qxScene";

  explicit qxSceneFil(ppDatabase& database);

  // The record's "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  int32_t VisitRecord(void* argument, int32_t id) override;
  bool AnswersRecordQuery(void* argument, int32_t a, int32_t b) override;

 private:
  RecordField name_;
};
