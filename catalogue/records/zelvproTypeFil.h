// Type records: the element types that catalogue items name (which element class a placed item
// becomes). Unlike the other catalogue tables it does not count as a record class.
// The table of a catalogue database bound to layout "qxType".
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproTypeFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5402;
  static constexpr const char* kLayout = "qxType";

  explicit zelvproTypeFil(ppDatabase& database);

  // The type's "Name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  bool IsRecordClass() override;

 private:
  RecordField name_;
};
