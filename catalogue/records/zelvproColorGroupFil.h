// Colour-group records: groups of colours with a default colour.
// The table of a catalogue database bound to layout "qxColorGroup".
#pragma once

#include <cstdint>

#include "catalogue/records/zelvproRecordFil.h"

class zelvproColorGroupFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5425;
  static constexpr const char* kLayout = "qxColorGroup";

  explicit zelvproColorGroupFil(ppDatabase& database);
};
