#include "database/dbLongHandler.h"

#include <limits>

#include "database/HandleList.h"
#include "database/dbDatabase.h"
#include "database/dbListCombine.h"
#include "database/dbNumIndex.h"
#include "foundation/ppParameter.h"

namespace {

constexpr int32_t kLowest = std::numeric_limits<int32_t>::min();
constexpr int32_t kHighest = std::numeric_limits<int32_t>::max();

}  // namespace

void dbLongHandler::SetFromValue(const ppParameter& value, char* field) { SetWord(field, value.ToLong()); }

void dbLongHandler::GetAsValue(ppParameter* out, const char* field) const { out->SetLong(Word(field)); }

dbIndex* dbLongHandler::OpenIndex(int32_t headerRecord, dbDatabase& database) {
  return new dbNumIndex(headerRecord, database.Store());
}

dbIndex* dbLongHandler::NewIndex(dbIndexEntry* entry, dbDatabase& database) {
  return new dbNumIndex(&entry->headerRecord, dbIndex::kNumericKeys, database.Store());
}

Handle dbLongHandler::OperatorList(dbIndex& index, uint8_t op, int32_t key) {
  switch (op) {
    case '=':
    case 0xC5:
      return index.Equal(&key);
    case 0xAD:
      return db::Minus(index.AllValues(), index.Equal(&key));
    case 0xB2:
      return index.Range(&kLowest, &key);
    case 0xB3:
      return index.Range(&key, &kHighest);
    case '<':
      return db::Minus(index.Range(&kLowest, &key), index.Equal(&key));
    case '>':
      return db::Minus(index.Range(&key, &kHighest), index.Equal(&key));
    default:
      return HandleList::New(0);
  }
}

Handle dbLongHandler::Select(dbIndex* index, const dbQuery& query, Handle previous) {
  if (index == nullptr || query.value == nullptr) return previous;
  int32_t key;
  std::memcpy(&key, query.value, 4);
  Handle found = OperatorList(*index, query.op, key);
  if (previous == nullptr) return found;
  db::CombineInto(previous, found, query.combine);
  HandleList::Dispose(found);
  return previous;
}

void dbLongHandler::AddKey(int32_t record, dbIndexEntry* entry, const char* recordData) {
  if (entry->index == nullptr) return;
  const int32_t key = Word(FieldIn(recordData));
  entry->index->Insert(record, record, &key);
}

void dbLongHandler::RemoveKey(int32_t record, dbIndexEntry* entry, const char* recordData) {
  if (entry->index == nullptr) return;
  const int32_t key = Word(FieldIn(recordData));
  entry->index->Remove(record, record, &key);
}

void dbLongHandler::UpdateKey(int32_t record, dbIndexEntry* entry, const char* newRecord,
                              const char* oldRecord) {
  if (Word(FieldIn(newRecord)) == Word(FieldIn(oldRecord))) return;
  RemoveKey(record, entry, oldRecord);
  AddKey(record, entry, newRecord);
}
