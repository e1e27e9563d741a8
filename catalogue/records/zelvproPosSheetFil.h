// Positioning-sheet records: offsets and raster steps for placing elements (doubles, millimetres).
// The table of a catalogue database bound to layout "qxPosSheet".
//
// After id, name, the three offsets, the three raster steps and flags come "anchor" (a long no part
// of the program reads) and the two depth cuts of the sheet's parts (doubles, millimetres): the
// depth a full-depth part loses inside a compartment, and the depth one step takes off. Layout
// version 3 misplaced these three entries by a byte (its "anchor" name was 33 bytes), so a table
// made with it read no cut; opening upgrades its stored layout, and the first nine fields pack
// as before.
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproPosSheetFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5422;
  static constexpr const char* kLayout = "qxPosSheet";
  // The fields whose layout entries never changed, from "id" to "flags".
  static constexpr int32_t kReadFields = 9;

  explicit zelvproPosSheetFil(ppDatabase& database);

  // The record's "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;

  // The depth cuts of the record in `buffer` (null: the current record), millimetres; 0 when the
  // record gives none.
  double FullDepthCut(const char* buffer) const;
  double StepDepthCut(const char* buffer) const;

 private:
  RecordField name_, fullDepthCut_, stepDepthCut_;
};
