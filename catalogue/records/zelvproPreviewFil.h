// Preview records: the pictures of catalogue items, options and colour buttons.
// The table of a catalogue database bound to layout "qxPreview".
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproPreviewFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5423;
  static constexpr const char* kLayout = "qxPreview";

  explicit zelvproPreviewFil(ppDatabase& database);

  // The record's "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;

 private:
  RecordField name_;
};
