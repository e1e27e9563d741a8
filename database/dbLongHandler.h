// A 32-bit integer field (type codes 2, 15 and every code without a handler of its own). Its index
// has numeric keys; the key of a record is the field's value.
#pragma once

#include "database/dbBasicLongHandler.h"

class dbLongHandler : public dbBasicLongHandler {
 public:
  void SetFromValue(const ppParameter& value, char* field) override;
  void GetAsValue(ppParameter* out, const char* field) const override;

  dbIndex* OpenIndex(int32_t headerRecord, dbDatabase& database) override;
  dbIndex* NewIndex(dbIndexEntry* entry, dbDatabase& database) override;
  // Operators: '=' and 0xC5 equal, 0xAD not equal, 0xB2 at most, 0xB3 at least, '<' and '>'.
  // Without an index the previous list comes back unchanged.
  Handle Select(dbIndex* index, const dbQuery& query, Handle previous) override;
  void AddKey(int32_t record, dbIndexEntry* entry, const char* recordData) override;
  void RemoveKey(int32_t record, dbIndexEntry* entry, const char* recordData) override;
  void UpdateKey(int32_t record, dbIndexEntry* entry, const char* newRecord, const char* oldRecord) override;

 private:
  static Handle OperatorList(dbIndex& index, uint8_t op, int32_t key);
};
