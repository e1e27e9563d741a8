// Configurator records: the field layouts of the configurator panels a catalogue brings.
// The table of a catalogue database bound to layout "qxConfigurator".
#pragma once

#include <cstdint>

#include "catalogue/records/zelvproRecordFil.h"

class zelvproConfiguratorFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5432;
  static constexpr const char* kLayout = "qxConfigurator";

  explicit zelvproConfiguratorFil(ppDatabase& database);
};
