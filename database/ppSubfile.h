// A table whose records live in memory, each packed (the stored record form) in a handle of its
// own, so that a small table can live inside something else. A record's position is its identity:
// the current index is the current record, and the record id the views report is that position.
//
// Owns its record handles. Positions outside 0 .. count - 1 are ignored by reading, writing,
// deleting and releasing; an insertion at a position past the count (or at -1) appends.
#pragma once

#include <cstdint>
#include <vector>

#include "database/ppDatafile.h"

class ppSubfile : public ppDatafile {
 public:
  ppSubfile(const char* layoutName, ppDatabase& database);
  ppSubfile(const Vcon::String& layoutName, ppDatabase& database);
  ~ppSubfile() override;

  ppParameter GetValue(int32_t index) override;
  void SetValue(int32_t index, const ppParameter& value) override;
  // Inserts an empty record after the current one (at 0 in an empty table); n is ignored and the
  // current index does not move.
  void InsertItem(int32_t n) override;
  void DeleteItem() override;

  int32_t GetRecordCount() override;
  void ReadRecordAt(int32_t i, char* buffer) override;
  int32_t RecordIdAt(int32_t i) override;
  void WriteRecordAt(int32_t i, char* buffer) override;
  void ReadRecordPinnedAt(int32_t i, char* buffer) override;
  void DeleteRecordAt(int32_t i) override;
  void InsertRecordAt(int32_t i, char* buffer) override;
  void ReleaseRecordAt(int32_t i) override;
  int32_t GetSelectedCount() override;
  void ReloadCurrent() override;
  void BeginEdit() override;
  void SaveCurrent() override;

  // Around every property access and change; nothing here.
  virtual void BeginAccess();
  virtual void EndAccess();
  virtual void SaveToBlob();
  virtual void ClearBlob();
  virtual void DisposeRecords();

 protected:
  std::vector<Handle>& RecordHandles() { return records_; }
  bool IsValid(int32_t i) const { return i >= 0 && i < int32_t(records_.size()); }

 private:
  std::vector<Handle> records_;  // one packed record per handle, owned
};
