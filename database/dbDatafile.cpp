#include "database/dbDatafile.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include "database/HandleList.h"
#include "database/TextCollation.h"
#include "database/dbBytes.h"
#include "database/dbDatabase.h"
#include "database/dbErrors.h"
#include "database/dbListCombine.h"
#include "database/dbNumIndex.h"
#include "database/dbStrIndex.h"
#include "database/dbStringHandler.h"
#include "foundation/ResourceAccess.h"
#include "foundation/ppParameter.h"

namespace {

constexpr int32_t kResourceMissing = -1;
constexpr uint32_t kRecordCountWord = 16;  // descriptor word 4
constexpr int32_t kTextType = 1, kLongType = 2;
constexpr int32_t kLowestKey = std::numeric_limits<int32_t>::min();
constexpr int32_t kHighestKey = std::numeric_limits<int32_t>::max();
constexpr char kLowestText[] = "";

// One line in the program's log (standard error).
void LogLine(const std::string& line) { std::fprintf(stderr, "planner: %s\n", line.c_str()); }

// A record-number list freed when it goes out of scope unless taken.
class ListGuard {
 public:
  explicit ListGuard(Handle list) : list_(list) {}
  ~ListGuard() { HandleList::Dispose(list_); }
  ListGuard(const ListGuard&) = delete;
  ListGuard& operator=(const ListGuard&) = delete;
  Handle Get() const { return list_; }
  Handle Take() {
    Handle list = list_;
    list_ = nullptr;
    return list;
  }

 private:
  Handle list_;
};

Handle NewHandleOf(const std::vector<uint8_t>& bytes) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, uint32_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(*h, bytes.data(), bytes.size());
  return h;
}

bool FlaggedIndexed(const std::vector<uint8_t>& layout, int32_t field) {
  const uint32_t at = dbRecordLayout::kFields + dbRecordLayout::kEntrySize * uint32_t(field);
  return (db::GetI32(layout.data(), at + dbRecordLayout::kEntryFlags) & 1) != 0;
}

}  // namespace

// A transaction of the database that is aborted unless committed.
class dbDatafile::Transaction {
 public:
  explicit Transaction(dbDatabase& database) : database_(database) { database_.BeginTransaction(); }
  ~Transaction() {
    if (done_) return;
    try {
      database_.AbortTransaction();
    } catch (...) {  // the error that unwinds us is the one to report
    }
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit() {
    done_ = true;
    database_.EndTransaction();
  }

 private:
  dbDatabase& database_;
  bool done_ = false;
};

dbDatafile::dbDatafile(const char* layoutName, dbDatabase& database)
    : name_(layoutName != nullptr ? layoutName : ""), database_(database) {
  if (name_.empty()) db::Fail(db::kBadCall);
  LoadResource();
  Open();
}

dbDatafile::dbDatafile(const char* layoutName, dbDatabase& database, const std::vector<uint8_t>& layout)
    : name_(layoutName != nullptr ? layoutName : ""), database_(database), resource_(layout) {
  if (name_.empty()) db::Fail(db::kBadCall);
  dbRecordLayout::UsableFieldCount(resource_.data(), uint32_t(resource_.size()));
  Open();
}

void dbDatafile::Open() {
  try {
    int32_t descriptor = 0;
    try {
      descriptor = database_.RecordNumberOfName(name_.c_str());
    } catch (int32_t error) {
      if (error != db::kNotFound) throw;
    }
    std::optional<Transaction> transaction;
    if (descriptor == 0) {
      transaction.emplace(database_);
      CreateFile();
    } else {
      ReadStoredFile(descriptor);
    }
    const bool upgrade =
        !resource_.empty() && db::GetI32(resource_.data(), 0) > db::GetI32(storedLayout_.data(), 0);
    bool unbuilt = false;
    for (const dbIndexEntry& e : entries_) unbuilt = unbuilt || e.headerRecord <= 0 || e.fieldNumber < 0;
    if (!transaction && (upgrade || unbuilt)) transaction.emplace(database_);
    if (upgrade) Upgrade();
    layout_ = std::make_unique<dbRecordLayout>(storedLayout_.data(), uint32_t(storedLayout_.size()));
    scratch_ = layout_->NewRecord();
    AttachIndexes();
    if (transaction) transaction->Commit();
  } catch (...) {
    for (dbIndexEntry& e : entries_) delete e.index;
    if (layout_) layout_->DisposeRecord(scratch_);
    throw;
  }
}

dbDatafile::~dbDatafile() {
  for (dbIndexEntry& e : entries_) delete e.index;
  layout_->DisposeRecord(scratch_);
}

dbDatafile& dbDatafile::FileByName(dbDatabase& database, const char* name) {
  if (name == nullptr) db::Fail(db::kBadCall);
  if (dbDatafile* file = database.RegisteredFile(name)) return *file;
  if (std::strlen(name) > dbDatabase::kMaxFileNameLength) db::Fail(db::kBadCall);
  return *database.RegisterFile(name, new dbDatafile(name, database), [](dbDatafile* file) { delete file; });
}

dbDatafile* dbDatafile::FileById(dbDatabase& database, int32_t fileId) {
  for (int32_t i = 0; i < database.RegisteredFileCount(); ++i) {
    dbDatafile* file = database.RegisteredFileAt(i);
    if (file->FileId() == fileId) return file;
  }
  return nullptr;
}

int32_t dbDatafile::FileId() const { return db::GetI32(layout_->Bytes().data(), dbRecordLayout::kFileId); }

void dbDatafile::ClearIndexes() {
  for (dbIndexEntry& e : entries_) {
    if (e.index != nullptr) e.index->Clear();
  }
}

void dbDatafile::LoadResource() {
  Handle h = nullptr;
  try {
    h = LoadResourceHandle(ResourceTypeCode("DICT"), name_.c_str());
  } catch (int32_t error) {
    if (error != kResourceMissing) throw;
    return;  // a file that exists opens without its resource: no upgrade check
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(*h);
  resource_.assign(bytes, bytes + MemGetSize(h));
  ReleaseResourceHandle(h);
  dbRecordLayout::UsableFieldCount(resource_.data(), uint32_t(resource_.size()));
}

std::vector<uint8_t> dbDatafile::CopyOfRecord(int32_t number) {
  Handle h = database_.ReadRecord(number);
  const auto* bytes = reinterpret_cast<const uint8_t*>(*h);
  std::vector<uint8_t> copy(bytes, bytes + MemGetSize(h));
  database_.ReleaseRecord(number);
  return copy;
}

void dbDatafile::ReplaceRecordBytes(int32_t number, const std::vector<uint8_t>& bytes) {
  Handle h = database_.ReadRecord(number);
  MemSetSize(h, uint32_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(*h, bytes.data(), bytes.size());
  database_.MarkRecordChanged(number);
  database_.ReleaseRecord(number);
}

void dbDatafile::ReadStoredFile(int32_t descriptor) {
  descriptor_ = descriptor;
  const std::vector<uint8_t> words = CopyOfRecord(descriptor);
  if (words.size() < size_t(kDescriptorSize)) db::Fail(db::kDamagedFile);
  layoutRecord_ = db::GetI32(words.data(), 4);
  indexListRecord_ = db::GetI32(words.data(), 12);
  storedLayout_ = CopyOfRecord(layoutRecord_);
  dbRecordLayout::UsableFieldCount(storedLayout_.data(), uint32_t(storedLayout_.size()));
  indexListAtOpen_ = CopyOfRecord(indexListRecord_);
  const auto size = uint32_t(indexListAtOpen_.size());
  if (size < 4) db::Fail(db::kDamagedFile);
  const int32_t count = db::GetI32(indexListAtOpen_.data(), 0);
  if (count < 0 || (size - 4) / kIndexEntrySize < uint32_t(count)) db::Fail(db::kDamagedFile);
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t at = 4 + kIndexEntrySize * uint32_t(i);
    dbIndexEntry e;
    e.headerRecord = db::GetI32(indexListAtOpen_.data(), at);
    e.fieldNumber = db::GetI32(indexListAtOpen_.data(), at + 4);
    entries_.push_back(e);
  }
}

void dbDatafile::CreateFile() {
  if (resource_.empty()) db::Fail(kResourceMissing);  // a new file's layout is a copy of the resource
  storedLayout_ = resource_;
  db::PutI32(storedLayout_.data(), dbRecordLayout::kVersion, 0);  // so the upgrade fills the list
  indexListAtOpen_.assign(4, 0);
  Handle descriptor = NewHandleOf(std::vector<uint8_t>(kDescriptorSize, 0));
  descriptor_ = database_.AddNamedRecord(name_.c_str(), descriptor);
  layoutRecord_ = database_.AddRecord(NewHandleOf(storedLayout_));
  indexListRecord_ = database_.AddRecord(NewHandleOf(indexListAtOpen_));
  db::PutI32(*descriptor, 0, descriptor_);
  db::PutI32(*descriptor, 4, layoutRecord_);
  db::PutI32(*descriptor, 12, indexListRecord_);
  database_.MarkRecordChanged(descriptor_);
  database_.ReleaseRecord(descriptor_);
  database_.ReleaseRecord(layoutRecord_);
  database_.ReleaseRecord(indexListRecord_);
}

void dbDatafile::Upgrade() {
  const int32_t count = dbRecordLayout::UsableFieldCount(resource_.data(), uint32_t(resource_.size()));
  for (dbIndexEntry& e : entries_) {
    if (e.fieldNumber >= count || (e.fieldNumber >= 0 && !FlaggedIndexed(resource_, e.fieldNumber)))
      e.fieldNumber = -1;
  }
  for (int32_t field = 0; field < count; ++field) {
    if (!FlaggedIndexed(resource_, field)) continue;
    bool present = false;
    for (const dbIndexEntry& e : entries_) present = present || e.fieldNumber == field;
    if (!present) entries_.push_back({0, field, nullptr, nullptr});
  }
  storedLayout_ = resource_;
  ReplaceRecordBytes(layoutRecord_, storedLayout_);
}

void dbDatafile::DropIndex(const dbIndexEntry& entry) {
  if (entry.headerRecord <= 0) return;
  const std::vector<uint8_t> header = CopyOfRecord(entry.headerRecord);
  if (header.size() < 20) db::Fail(db::kDamagedFile);
  {
    std::unique_ptr<dbIndex> index;
    if (db::GetI32(header.data(), 16) == dbIndex::kTextKeys)
      index = std::make_unique<dbStrIndex>(entry.headerRecord, database_.Store());
    else
      index = std::make_unique<dbNumIndex>(entry.headerRecord, database_.Store());
    index->Clear();
  }
  database_.DeleteRecord(entry.headerRecord);
}

void dbDatafile::AttachIndexes() {
  for (size_t i = entries_.size(); i-- > 0;) {
    if (entries_[i].fieldNumber >= 0) continue;
    DropIndex(entries_[i]);
    entries_.erase(entries_.begin() + std::ptrdiff_t(i));
  }
  for (dbIndexEntry& e : entries_) {
    if (e.fieldNumber >= FieldCount()) db::Fail(db::kDamagedFile);
    e.handler = &layout_->Handler(e.fieldNumber);
    if (e.headerRecord > 0) e.index = e.handler->OpenIndex(e.headerRecord, database_);
  }
  // A new index is filled from an index that existed before this open and lists every record.
  const int32_t records = RecordCount();
  const dbIndexEntry* source = nullptr;
  for (const dbIndexEntry& e : entries_) {
    if (source == nullptr && e.index != nullptr && e.index->Count() == records) source = &e;
  }
  for (dbIndexEntry& e : entries_) {
    if (e.headerRecord <= 0) BuildIndex(e, source);
  }
  WriteIndexListIfChanged();
}

void dbDatafile::BuildIndex(dbIndexEntry& entry, const dbIndexEntry* source) {
  entry.index = entry.handler->NewIndex(&entry, database_);
  if (entry.index == nullptr || RecordCount() == 0) return;
  if (source == nullptr) {
    std::string field;
    layout_->FieldName(entry.fieldNumber, field);
    LogLine("table \"" + name_ + "\": the new index of field " + std::to_string(entry.fieldNumber) + " (" +
            field + ") starts empty: no complete index lists the file's " + std::to_string(RecordCount()) +
            " records");
    return;
  }
  ListGuard records(source->index->AllValues());
  for (uint32_t i = 0; i < HandleList::Count(records.Get()); ++i) {
    const int32_t number = HandleList::At(records.Get(), i);
    UnpackStored(number, scratch_);
    entry.handler->AddKey(number, &entry, scratch_);
  }
}

std::vector<uint8_t> dbDatafile::StoredIndexList() const {
  std::vector<uint8_t> bytes(4 + kIndexEntrySize * entries_.size(), 0);
  db::PutI32(bytes.data(), 0, int32_t(entries_.size()));
  for (size_t i = 0; i < entries_.size(); ++i) {
    const auto at = uint32_t(4 + kIndexEntrySize * i);
    db::PutI32(bytes.data(), at, entries_[i].headerRecord);
    db::PutI32(bytes.data(), at + 4, entries_[i].fieldNumber);
  }
  return bytes;
}

void dbDatafile::WriteIndexListIfChanged() {
  std::vector<uint8_t> bytes = StoredIndexList();
  if (bytes == indexListAtOpen_) return;
  ReplaceRecordBytes(indexListRecord_, bytes);
  indexListAtOpen_ = std::move(bytes);
}

void dbDatafile::UnpackStored(int32_t number, char* buffer) {
  Handle h = database_.ReadRecord(number);
  MemLock(h);  // unpacking blobs allocates in the zone
  try {
    layout_->Unpack(buffer, reinterpret_cast<const uint8_t*>(*h), uint32_t(MemGetSize(h)));
  } catch (...) {
    MemUnlock(h);
    database_.ReleaseRecord(number);
    throw;
  }
  MemUnlock(h);
  database_.ReleaseRecord(number);
}

void dbDatafile::ReadRecord(int32_t number, char* buffer) { UnpackStored(number, buffer); }

void dbDatafile::ReadRecordPinned(int32_t number, char* buffer) {
  UnpackStored(number, buffer);
  database_.ReadRecord(number);  // pins it again
}

void dbDatafile::WriteRecord(int32_t number, const char* buffer) {
  UnpackStored(number, scratch_);
  for (dbIndexEntry& e : entries_) e.handler->UpdateKey(number, &e, buffer, scratch_);
  Handle h = database_.ReadRecord(number);
  layout_->PackInto(h, buffer);
  database_.MarkRecordChanged(number);
  database_.ReleaseRecord(number);
}

int32_t dbDatafile::AddRecord(const char* buffer) {
  // Made at its packed size at once rather than grown from nothing (one block taken, none freed).
  Handle h = layout_->NewPacked(buffer);
  const int32_t number = database_.AddRecord(h);
  if (number == 0) {  // outside a transaction the store takes nothing
    MemDispose(h);
    db::Fail(db::kBadCall);
  }
  database_.ReleaseRecord(number);
  for (dbIndexEntry& e : entries_) e.handler->AddKey(number, &e, buffer);
  ChangeRecordCount(1);
  return number;
}

void dbDatafile::DeleteRecord(int32_t number) {
  UnpackStored(number, scratch_);
  for (dbIndexEntry& e : entries_) e.handler->RemoveKey(number, &e, scratch_);
  database_.DeleteRecord(number);
  ChangeRecordCount(-1);
}

void dbDatafile::ChangeRecordCount(int32_t delta) {
  Handle h = database_.ReadRecord(descriptor_);
  if (MemGetSize(h) < kDescriptorSize) {
    database_.ReleaseRecord(descriptor_);
    db::Fail(db::kDamagedFile);
  }
  db::PutI32(*h, kRecordCountWord, db::GetI32(*h, kRecordCountWord) + delta);
  database_.MarkRecordChanged(descriptor_);
  database_.ReleaseRecord(descriptor_);
}

int32_t dbDatafile::RecordCount() {
  Handle h = database_.ReadRecord(descriptor_);
  const int32_t count = MemGetSize(h) < kDescriptorSize ? -1 : db::GetI32(*h, kRecordCountWord);
  database_.ReleaseRecord(descriptor_);
  if (count < 0) db::Fail(db::kDamagedFile);
  return count;
}

void dbDatafile::CheckOwner(int32_t number, int32_t owner) { database_.Store().CheckOwner(number, owner); }

const dbIndexEntry* dbDatafile::EntryOf(int32_t field) const {
  for (const dbIndexEntry& e : entries_) {
    if (e.fieldNumber == field && e.index != nullptr) return &e;
  }
  return nullptr;
}

int32_t dbDatafile::IndexKind(int32_t field) const {
  const dbIndexEntry* e = EntryOf(field);
  return e != nullptr ? e->index->GetKeyKind() : -1;
}

int32_t dbDatafile::FindByKey(int32_t field, const void* key) {
  const dbIndexEntry* e = EntryOf(field);
  int32_t value = 0;
  if (e == nullptr || key == nullptr || e->index->Find(key, &value) != 0) return 0;
  return value;
}

Handle dbDatafile::AllByIndex(int32_t field) {
  const dbIndexEntry* e = EntryOf(field);
  return e != nullptr ? e->index->AllValues() : HandleList::New(0);
}

Handle dbDatafile::AtLeast(dbIndex& index, const void* key) {
  if (index.GetKeyKind() != dbIndex::kTextKeys) return index.Range(key, &kHighestKey);
  // Text has no highest key: everything not below the key is everything minus what lies below.
  Handle below = db::Minus(index.Range(kLowestText, key), index.Range(key, key));
  return db::Minus(index.AllValues(), below);
}

Handle dbDatafile::AtMost(dbIndex& index, const void* key) {
  if (index.GetKeyKind() != dbIndex::kTextKeys) return index.Range(&kLowestKey, key);
  return index.Range(kLowestText, key);
}

Handle dbDatafile::Compare(dbIndex& index, int32_t comparison, const void* key1, const void* key2) {
  switch (comparison) {
    case kEqual:
      return index.Equal(key1);
    case kNotEqual:
      return db::Minus(index.AllValues(), index.Equal(key1));
    case kAbove:
      return db::Minus(AtLeast(index, key1), index.Equal(key1));
    case kBelow:
      return db::Minus(AtMost(index, key1), index.Equal(key1));
    case kAtLeast:
      return AtLeast(index, key1);
    case kAtMost:
      return AtMost(index, key1);
    case kOutside:
      return db::Minus(index.AllValues(), index.Range(key1, key2));
    case kOutsideOrOnBound:
      return db::Plus(db::Plus(db::Minus(index.AllValues(), index.Range(key1, key2)), index.Equal(key1)),
                      index.Equal(key2));
    case kInsideExclusive:
      return db::Minus(db::Minus(index.Range(key1, key2), index.Equal(key1)), index.Equal(key2));
    case kInside:
      return index.Range(key1, key2);
    default:
      return nullptr;
  }
}

Handle dbDatafile::Select(int32_t field, int32_t combine, int32_t comparison, const void* key1,
                          const void* key2, Handle current) {
  const dbIndexEntry* e = EntryOf(field);
  const bool twoKeys = comparison >= kOutside && comparison <= kInside;
  if (e == nullptr || key1 == nullptr || (twoKeys && key2 == nullptr)) return current;
  ListGuard s(Compare(*e->index, comparison, key1, key2));
  if (s.Get() == nullptr) return current;
  if (combine != '&' && combine != '+' && combine != '-') return current;
  if (current == nullptr) {
    if (combine == '+') return s.Take();
    current = e->index->AllValues();
  }
  db::CombineInto(current, s.Get(), combine);
  return current;
}

Handle dbDatafile::QuickSearch(const char* text) {
  if (text == nullptr || *text == 0) {
    for (int32_t field = 0; field < FieldCount(); ++field) {
      if (EntryOf(field) != nullptr) return AllByIndex(field);
    }
    return nullptr;
  }
  Handle result = nullptr;
  for (int32_t field = 0; field < FieldCount(); ++field) {
    if (EntryOf(field) == nullptr) continue;
    if (FieldType(field) == kTextType) {
      result = db::Plus(result == nullptr ? HandleList::New(0) : result, TextStartsWith(field, text));
    } else if (FieldType(field) == kLongType) {
      const int64_t number = ppParameter(text).ToInt64();
      if (number == 0 || number < kLowestKey || number > kHighestKey) continue;
      const auto key = int32_t(number);
      result = Select(field, '+', kEqual, &key, nullptr, result);
    }
  }
  return result;
}

Handle dbDatafile::TextStartsWith(int32_t field, const char* text) {
  // The index's prefix match also answers keys shorter than the text ("1" for "12"); only the
  // records whose text really starts with it are kept.
  ListGuard candidates(EntryOf(field)->index->Equal(text));
  const size_t length = std::strlen(text);
  Handle kept = HandleList::New(0);
  for (uint32_t i = 0; i < HandleList::Count(candidates.Get()); ++i) {
    const int32_t number = HandleList::At(candidates.Get(), i);
    UnpackStored(number, scratch_);
    const Vcon::String& value = dbStringHandler::Text(scratch_ + layout_->Handler(field).Offset());
    if (value.size() >= length && db::CompareText(value.c_str(), length, text, length, 2) == 0)
      HandleList::Insert(kept, number);
  }
  return kept;
}
