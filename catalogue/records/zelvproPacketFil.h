// Packet records: units sold together as one packet.
// The table of a catalogue database bound to layout "qxPacket"; it owns the tables its links name.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/records/zelvproUnitFil.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproPacketFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5411;
  static constexpr const char* kLayout = "qxPacket";

  explicit zelvproPacketFil(ppDatabase& database);
  zelvproUnitFil& UnitFile() const { return *unitFile_; }

 private:
  std::unique_ptr<zelvproUnitFil> unitFile_;
};
