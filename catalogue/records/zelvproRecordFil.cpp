#include "catalogue/records/zelvproRecordFil.h"

#include <algorithm>

#include "catalogue/records/LocalisedText.h"
#include "catalogue/records/RecordField.h"
#include "database/dbErrors.h"
#include "database/HandleList.h"
#include "database/dbDatafile.h"
#include "database/ScopedRecordBuffer.h"

namespace {

// Every record id of the file, in the order of field 0's index; disposed when the scope ends.
class AllRecords {
 public:
  explicit AllRecords(dbDatafile& file) : list_(file.AllByIndex(0)) {}
  ~AllRecords() { HandleList::Dispose(list_); }
  AllRecords(const AllRecords&) = delete;
  AllRecords& operator=(const AllRecords&) = delete;
  uint32_t Count() const { return list_ != nullptr ? HandleList::Count(list_) : 0; }
  int32_t At(uint32_t i) const { return HandleList::At(list_, i); }

 private:
  Handle list_;
};

}  // namespace

zelvproRecordFil::zelvproRecordFil(const char* layoutName, ppDatabase& database)
    : ppDatafile(layoutName, database), record_(GetRecordBuffer()) {}

int32_t zelvproRecordFil::VisitRecord(void*, int32_t) { return 1; }

bool zelvproRecordFil::AnswersRecordQuery(void*, int32_t, int32_t) { return true; }

bool zelvproRecordFil::IsRecordClass() { return true; }

bool zelvproRecordFil::AnyRecordHolds(const RecordField& field, int32_t value) {
  if (!field.Exists()) return false;
  // Record id 0 names no record, so "unique apart from record 0" means no record holds the value.
  if (File().IsIndexed(field.Index())) return !IsValueUnique(field.Index(), ppParameter(value), 0);
  return AnyRecordMatches(&field, nullptr, value);
}

bool zelvproRecordFil::AnyRecordMatches(const RecordField* field, const RecordField* list, int32_t value) {
  return AnyRecord([&](const char* record) {
    if (field != nullptr && field->Exists() && field->Long(record) == value) return true;
    if (list == nullptr) return false;
    const std::vector<int32_t> words = list->Words(record);
    return std::find(words.begin(), words.end(), value) != words.end();
  });
}

bool zelvproRecordFil::AnyRecord(const std::function<bool(const char* record)>& test) {
  ScopedRecordBuffer<dbDatafile> record(File());
  AllRecords all(File());
  for (uint32_t i = 0; i < all.Count(); ++i) {
    File().ReadRecord(all.At(i), record.Get());
    if (test(record.Get())) return true;
  }
  return false;
}

void zelvproRecordFil::WithImportMap(Handle fieldMap, const std::function<void(Handle map)>& import) {
  if (fieldMap != nullptr) return import(fieldMap);
  Handle map = LoadFieldMap("IMPT");
  try {
    import(map);
  } catch (...) {
    MemDispose(map);
    throw;
  }
  MemDispose(map);
}

void zelvproRecordFil::SetLocalised(const RecordField& wide, const Vcon::String& narrow, char* buffer,
                                    int32_t k) {
  Vcon::WString text = WideFromString(narrow);
  LocaliseRecordText(Database(), CurrentRecordId(), k, text);
  wide.SetWideText(buffer, text);
}

bool zelvproRecordFil::ReadIfPresent(ppDatafile& table, int32_t id) {
  try {
    table.ReadRecord(id, nullptr);
    return true;
  } catch (int32_t error) {
    if (error != db::kNotFound && error != db::kOutOfRange) throw;
    return false;
  }
}
