// One record of a table read into a buffer of its own, so the table's current record buffer stays as
// it was; a record that is gone reads as empty (0, "", no bytes).
#pragma once

#include <cstdint>
#include <vector>

#include "database/ScopedRecordBuffer.h"
#include "foundation/VconString.h"

class ppDatafile;

class ScratchRecord {
 public:
  ScratchRecord(ppDatafile& file, int32_t id);
  bool Present() const { return present_; }
  int32_t Long(const char* name) const;
  double Double(const char* name) const;
  Vcon::WString Wide(const char* name) const;
  std::vector<uint8_t> Blob(const char* name) const;
  std::vector<int32_t> Words(const char* name) const;

 private:
  ppDatafile& file_;
  ScopedRecordBuffer<ppDatafile> buffer_;
  bool present_ = false;
};
