// Positioning-sheet records: offsets and raster steps for placing elements (doubles, millimetres).
// The table of a catalogue database bound to layout "qxPosSheet".
//
// The program's layout of this table ends in three malformed entries (a tenth field "anchor" of type
// 558 and two unnamed ones of type 1070) that the engine keeps as plain long fields 9 to 11. They
// carry no data anyone reads: this class uses only the nine fields id, name, the three offsets, the
// three raster steps and flags.
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproPosSheetFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5422;
  static constexpr const char* kLayout = "qxPosSheet";
  // The well-formed fields at the front of the layout.
  static constexpr int32_t kReadFields = 9;

  explicit zelvproPosSheetFil(ppDatabase& database);

  // The record's "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;

 private:
  RecordField name_;
};
