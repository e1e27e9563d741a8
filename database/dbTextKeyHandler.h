// The index half of the text fields (narrow and wide): a text index whose key of a record is the
// field's text as narrow Windows-1252.
#pragma once

#include <string>

#include "database/dbHandler.h"

class dbTextKeyHandler : public dbHandler {
 public:
  using dbHandler::dbHandler;

  dbIndex* OpenIndex(int32_t headerRecord, dbDatabase& database) override;
  dbIndex* NewIndex(dbIndexEntry* entry, dbDatabase& database) override;
  void AddKey(int32_t record, dbIndexEntry* entry, const char* recordData) override;
  void RemoveKey(int32_t record, dbIndexEntry* entry, const char* recordData) override;
  // The key changes only when the texts differ exactly.
  void UpdateKey(int32_t record, dbIndexEntry* entry, const char* newRecord, const char* oldRecord) override;

 protected:
  virtual std::string KeyText(const char* field) const = 0;
  virtual bool SameText(const char* a, const char* b) const = 0;
};
