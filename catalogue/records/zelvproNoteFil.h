// Note records: texts shown with units, localised by record id.
// The table of a catalogue database bound to layout "qxNote".
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproNoteFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5427;
  static constexpr const char* kLayout = "qxNote";

  explicit zelvproNoteFil(ppDatabase& database);

  // "note" = the widened "xnote", replaced by text record id x 10 of the current language.
  void AfterRead(char* buffer) override;
  // The record's "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;

 private:
  RecordField name_, xnote_, note_;
};
