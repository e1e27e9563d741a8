// Shape records: the outlines and bodies that top views, units and parametric parts draw.
// The table of a catalogue database bound to layout "qxShape".
//
// "points" holds the outline, 8 bytes a point (x, y as 32-bit floats, millimetres); "attributes" one
// 32-bit flag word per point, in the same order.
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproShapeFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5406;
  static constexpr const char* kLayout = "qxShape";

  explicit zelvproShapeFil(ppDatabase& database);

  // The record's "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;

  // Brings every shape record from catalogue version `from` up to date and writes each back, changed
  // or not: version 0 stored the outline as 32-bit integers, which become floats; versions 0 to 2 had
  // no point flags, so "attributes" becomes one zero word per whole point. `to` is not used.
  virtual void ConvertShapes(int32_t from, int32_t to);

 private:
  void ConvertRecord(char* record, int32_t from) const;

  RecordField name_, points_, attributes_;
};
