// Class records: the classes that colours, colour codes, options and anchors belong to.
// The table of a catalogue database bound to layout "qxClass".
#pragma once

#include <cstdint>

#include "catalogue/records/zelvproRecordFil.h"

class zelvproClassFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5429;
  static constexpr const char* kLayout = "qxClass";

  explicit zelvproClassFil(ppDatabase& database);
};
