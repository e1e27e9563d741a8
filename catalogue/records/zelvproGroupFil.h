// Group records: the groups of the catalogue tree that catalogue items belong to.
// The table of a catalogue database bound to layout "qxGroup".
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproGroupFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5400;
  static constexpr const char* kLayout = "qxGroup";

  explicit zelvproGroupFil(ppDatabase& database);

  // The group's "Name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;

 private:
  RecordField name_;
};
