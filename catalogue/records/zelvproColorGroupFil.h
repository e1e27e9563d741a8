// Colour-group records: groups of colours with a default colour.
// The table of a catalogue database bound to layout "qxColorGroup".
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproColorGroupFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5425;
  static constexpr const char* kLayout = "qxColorGroup";

  explicit zelvproColorGroupFil(ppDatabase& database);

  // "tname" = the widened "name", replaced by text record id x 10 of the current language.
  void AfterRead(char* buffer) override;
  // "tname", narrowed.
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  // False while a group has colour `id` as its "defaultColor".
  bool AllowsDeleteOf(int32_t fileId, int32_t id) override;

 private:
  RecordField name_, tname_, defaultColor_;
};
