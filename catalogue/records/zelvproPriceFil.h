// Price records: the prices of units by colour, colour group, depth and option.
// The table of a catalogue database bound to layout "qxPrice".
#pragma once

#include <cstdint>

#include "catalogue/records/zelvproRecordFil.h"

class zelvproPriceFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5409;
  static constexpr const char* kLayout = "qxPrice";

  explicit zelvproPriceFil(ppDatabase& database);
};
