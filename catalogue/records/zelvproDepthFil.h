// Depth records: the depths a unit comes in, with the colours and colour codes of each.
// The table of a catalogue database bound to layout "qxDepth".
//
// "colors" and "colorCodes" hold handle lists of record ids (an 8-byte header, then 32-bit ids).
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproDepthFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5420;
  static constexpr const char* kLayout = "qxDepth";

  explicit zelvproDepthFil(ppDatabase& database);

  // "tname" = the widened "name", replaced by text record id x 10 of the current language; an empty
  // "colors" or "colorCodes" becomes an empty handle list, so readers always find the list header.
  void AfterRead(char* buffer) override;
  // "tname", narrowed.
  void GetDisplayText(Vcon::String& out, char* buffer) override;

 private:
  RecordField name_, tname_, colors_, colorCodes_;
};
