// Colour-code records: named lists of colours with a default colour.
// The table of a catalogue database bound to layout "qxColorCode".
#pragma once

#include <cstdint>

#include "catalogue/records/zelvproRecordFil.h"

class zelvproColorCodeFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5424;
  static constexpr const char* kLayout = "qxColorCode";

  explicit zelvproColorCodeFil(ppDatabase& database);
};
