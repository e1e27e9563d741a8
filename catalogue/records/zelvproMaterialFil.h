// Material records: the lighting values (ambient, diffuse, specular, emission) of a surface.
// The table of a catalogue database bound to layout "qxMaterial".
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproMaterialFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5426;
  static constexpr const char* kLayout = "qxMaterial";
  // The program text that names field 0 wherever field names are shown.
  static constexpr int32_t kIdFieldText = 10116;

  explicit zelvproMaterialFil(ppDatabase& database);

  // The record's "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  // Field 0 is named by program text 10116 (its layout name when the program has no such text);
  // the other fields keep their layout names.
  void FieldNameAt(int32_t field, Vcon::String& out) override;

 private:
  RecordField name_;
};
