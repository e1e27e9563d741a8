#include "database/dbTextKeyHandler.h"

#include "database/dbDatabase.h"
#include "database/dbStrIndex.h"

dbIndex* dbTextKeyHandler::OpenIndex(int32_t headerRecord, dbDatabase& database) {
  return new dbStrIndex(headerRecord, database.Store());
}

dbIndex* dbTextKeyHandler::NewIndex(dbIndexEntry* entry, dbDatabase& database) {
  return new dbStrIndex(&entry->headerRecord, dbIndex::kTextKeys, database.Store());
}

void dbTextKeyHandler::AddKey(int32_t record, dbIndexEntry* entry, const char* recordData) {
  if (entry->index != nullptr) entry->index->Insert(record, record, KeyText(FieldIn(recordData)).c_str());
}

void dbTextKeyHandler::RemoveKey(int32_t record, dbIndexEntry* entry, const char* recordData) {
  if (entry->index != nullptr) entry->index->Remove(record, record, KeyText(FieldIn(recordData)).c_str());
}

void dbTextKeyHandler::UpdateKey(int32_t record, dbIndexEntry* entry, const char* newRecord,
                                 const char* oldRecord) {
  if (SameText(FieldIn(newRecord), FieldIn(oldRecord))) return;
  RemoveKey(record, entry, oldRecord);
  AddKey(record, entry, newRecord);
}
