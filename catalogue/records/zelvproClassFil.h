// Class records: the classes that colours, colour codes, options and anchors belong to.
// The table of a catalogue database bound to layout "qxClass".
//
// It also keeps a small per-class memo for the plan elements: a value they computed for a class key,
// kept as long as the table.
#pragma once

#include <cstdint>
#include <forward_list>
#include <utility>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproClassFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5429;
  static constexpr const char* kLayout = "qxClass";

  explicit zelvproClassFil(ppDatabase& database);

  // "tname" = the widened "name" or text record id x 10; "tnote" = the widened "note" or text
  // record id x 10 + 1 of the current language.
  void AfterRead(char* buffer) override;
  // "tname", narrowed.
  void GetDisplayText(Vcon::String& out, char* buffer) override;

  // The value kept for `key`; 0 when none was set.
  int32_t CacheGet(int32_t key) const;
  // Keeps `value` for `key`, replacing an earlier one.
  void CacheSet(int32_t key, int32_t value);
  size_t CacheSize() const;

 private:
  RecordField name_, note_, tname_, tnote_;
  // {key, value}, the newest key first; a handful of classes, so a list is enough.
  std::forward_list<std::pair<int32_t, int32_t>> cache_;
};
