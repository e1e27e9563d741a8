// Note records: texts shown with units, localised by record id.
// The table of a catalogue database bound to layout "qxNote".
#pragma once

#include <cstdint>

#include "catalogue/records/zelvproRecordFil.h"

class zelvproNoteFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5427;
  static constexpr const char* kLayout = "qxNote";

  explicit zelvproNoteFil(ppDatabase& database);
};
