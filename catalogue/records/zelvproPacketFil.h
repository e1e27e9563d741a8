// Packet records: units sold together as one packet.
// The table of a catalogue database bound to layout "qxPacket"; it owns a unit table that holds the
// unit of the packet read last.
//
// "items" holds 12-byte entries whose word 0 is a unit record id.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"
#include "catalogue/records/zelvproUnitFil.h"

class zelvproPacketFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5411;
  static constexpr const char* kLayout = "qxPacket";

  explicit zelvproPacketFil(ppDatabase& database);

  // Reads the packet's "unitID" into the unit table (a unit that is gone, or none, is not read).
  void AfterRead(char* buffer) override;
  // "name", a tab and "level" as a decimal number.
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  // False while unit `id` is a packet's "unitID" or word 0 of one of its "items".
  bool AllowsDeleteOf(int32_t fileId, int32_t id) override;

  zelvproUnitFil& UnitFile() const { return *unitFile_; }
  // The unit table's record buffer: the unit of the packet read last.
  char* UnitRecord() const { return unitFile_->GetRecordBuffer(); }

 private:
  RecordField name_, unitId_, level_, items_;
  std::unique_ptr<zelvproUnitFil> unitFile_;
};
