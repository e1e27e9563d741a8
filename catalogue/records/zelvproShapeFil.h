// Shape records: the outlines and bodies that top views, units and parametric parts draw.
// The table of a catalogue database bound to layout "qxShape".
#pragma once

#include <cstdint>

#include "catalogue/records/zelvproRecordFil.h"

class zelvproShapeFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5406;
  static constexpr const char* kLayout = "qxShape";

  explicit zelvproShapeFil(ppDatabase& database);
  // Brings every shape record from catalogue version `from` to `to`; nothing to convert yet.
  virtual void ConvertShapes(int32_t from, int32_t to);
};
