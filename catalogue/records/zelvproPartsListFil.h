// Parts-list records: the parts a unit brings along per depth.
// The table of a catalogue database bound to layout "qxPartsList".
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproPartsListFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5428;
  static constexpr const char* kLayout = "qxPartsList";

  explicit zelvproPartsListFil(ppDatabase& database);

  // The record's "number".
  void GetDisplayText(Vcon::String& out, char* buffer) override;

 private:
  RecordField number_;
};
