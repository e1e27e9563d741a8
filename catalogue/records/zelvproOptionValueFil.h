// Option-value records: the values a unit option can take, with their buttons.
// The table of a catalogue database bound to layout "qxOptionValue".
#pragma once

#include <cstdint>

#include "catalogue/records/zelvproRecordFil.h"

class zelvproOptionValueFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5431;
  static constexpr const char* kLayout = "qxOptionValue";

  explicit zelvproOptionValueFil(ppDatabase& database);
};
