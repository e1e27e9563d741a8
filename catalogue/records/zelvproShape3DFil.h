// 3D shape records: the meshes and bodies of units.
// The table of a catalogue database bound to layout "qx3DShape".
#pragma once

#include <cstdint>

#include "catalogue/records/zelvproRecordFil.h"

class zelvproShape3DFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5430;
  static constexpr const char* kLayout = "qx3DShape";

  explicit zelvproShape3DFil(ppDatabase& database);
};
