// Depth records: the depths a unit comes in, with the colours and colour codes of each.
// The table of a catalogue database bound to layout "qxDepth".
#pragma once

#include <cstdint>

#include "catalogue/records/zelvproRecordFil.h"

class zelvproDepthFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5420;
  static constexpr const char* kLayout = "qxDepth";

  explicit zelvproDepthFil(ppDatabase& database);
};
