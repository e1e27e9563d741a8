// Option-value records: the values a unit option can take, with their buttons.
// The table of a catalogue database bound to layout "qxOptionValue".
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproOptionValueFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5431;
  static constexpr const char* kLayout = "qxOptionValue";

  explicit zelvproOptionValueFil(ppDatabase& database);

  // "tname" = the widened "name", replaced by text record id x 10 of the current language.
  void AfterRead(char* buffer) override;
  // The record's "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  // False while an option value shows preview `id` as "button1" or "button2", or belongs to class
  // `id` ("classid").
  bool AllowsDeleteOf(int32_t fileId, int32_t id) override;

  // "tname" of the current record.
  Vcon::WString LocalName() const { return tname_.WideText(record_); }

 private:
  RecordField name_, tname_, button1_, button2_, classId_;
};
