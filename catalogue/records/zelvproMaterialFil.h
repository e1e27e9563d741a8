// Material records: the lighting values (ambient, diffuse, specular, emission) of a surface.
// The table of a catalogue database bound to layout "qxMaterial".
#pragma once

#include <cstdint>

#include "catalogue/records/zelvproRecordFil.h"

class zelvproMaterialFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5426;
  static constexpr const char* kLayout = "qxMaterial";

  explicit zelvproMaterialFil(ppDatabase& database);
};
