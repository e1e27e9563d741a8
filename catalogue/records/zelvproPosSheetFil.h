// Positioning-sheet records: offsets and raster steps for placing elements.
// The table of a catalogue database bound to layout "qxPosSheet".
#pragma once

#include <cstdint>

#include "catalogue/records/zelvproRecordFil.h"

class zelvproPosSheetFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5422;
  static constexpr const char* kLayout = "qxPosSheet";

  explicit zelvproPosSheetFil(ppDatabase& database);
};
