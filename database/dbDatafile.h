// One open table file of a database: the records of one record layout, their indexes and queries.
//
// Stored form (records of the store): a 24-byte descriptor found by the file's name in the
// directory {0 its own record number, 1 layout record, 2 -, 3 index-list record, 4 record count,
// 5 -}; the layout record, a byte copy of the DICT resource as of the last upgrade; the index-list
// record {u32 count, then count entries of 20 bytes: header record, field number, three words
// written as 0 and never read}.
//
// The layout is upgraded from the program's DICT resource when the resource's version is greater:
// indexes whose field lost its index flag are dropped (their nodes deleted), newly flagged fields
// get an index built from the records already in the file.
//
// Records change only inside the caller's transaction; the open's own changes (creation, upgrade,
// index building) run in transactions of their own, nested in the caller's when there is one. The
// store must outlive the table file. Record buffers come from NewRecordBuffer and belong to the
// caller; every list returned is a HandleList the caller frees.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "database/dbHandler.h"
#include "database/dbRecordLayout.h"
#include "foundation/Vcon_HandleManager.h"

class dbDatabase;

class dbDatafile {
 public:
  static constexpr int32_t kDescriptorSize = 24;
  static constexpr uint32_t kIndexEntrySize = 20;

  // Select comparisons.
  enum Comparison : int32_t {
    kEqual = 1,
    kNotEqual,
    kAbove,
    kBelow,
    kAtLeast,
    kAtMost,
    kOutside,
    kOutsideOrOnBound,
    kInsideExclusive,
    kInside,
  };

  // Opens (creating when the database has no file of that name) with the program's DICT resource
  // of the name, looked up without regard to case.
  dbDatafile(const char* layoutName, dbDatabase& database);
  // The same with the given layout bytes in place of the resource.
  dbDatafile(const char* layoutName, dbDatabase& database, const std::vector<uint8_t>& layout);
  virtual ~dbDatafile();
  dbDatafile(const dbDatafile&) = delete;
  dbDatafile& operator=(const dbDatafile&) = delete;

  // The database's table file of that name: the registered one, else a new one opened (Open) and
  // registered; the database owns it. Names are at most 35 characters (db::kBadCall otherwise).
  static dbDatafile& FileByName(dbDatabase& database, const char* name);
  // The first registered file whose layout has this file id; null when none.
  static dbDatafile* FileById(dbDatabase& database, int32_t fileId);

  const std::string& Name() const { return name_; }
  int32_t FileId() const;
  dbDatabase& Database() { return database_; }
  const dbRecordLayout& Layout() const { return *layout_; }

  int32_t FieldCount() const { return layout_->FieldCount(); }
  int32_t FieldType(int32_t field) const { return layout_->FieldType(field); }
  bool IsIndexed(int32_t field) const { return (layout_->FieldFlags(field) & 1) != 0; }

  char* NewRecordBuffer() const { return layout_->NewRecord(); }
  void DisposeRecordBuffer(char* buffer) const { layout_->DisposeRecord(buffer); }

  void ReadRecord(int32_t number, char* buffer);
  // The same, leaving the stored record pinned in the store's cache.
  void ReadRecordPinned(int32_t number, char* buffer);
  void WriteRecord(int32_t number, const char* buffer);
  int32_t AddRecord(const char* buffer);
  void DeleteRecord(int32_t number);
  int32_t RecordCount();
  void CheckOwner(int32_t number, int32_t owner);

  // 0 numeric, 1 text, -1 when the field has no index.
  int32_t IndexKind(int32_t field) const;
  // Keys are addressed: a pointer to an int32_t or to a NUL-terminated text. 0 when not found or
  // when the field has no index.
  int32_t FindByKey(int32_t field, const void* key);
  // Every record number in the order of the field's index; empty without an index.
  Handle AllByIndex(int32_t field);
  // The records that compare with key1 (and key2 for the two-bound comparisons) combined into
  // `current` by '&', '+' or '-'. Without an index on the field, `current` comes back unchanged.
  Handle Select(int32_t field, int32_t combine, int32_t comparison, const void* key1, const void* key2,
                Handle current);
  // Records whose indexed text fields start with `text` (any case) or whose indexed long fields
  // equal its number (when not 0). Empty text: every record, in the first index's order. Null when
  // nothing contributed.
  Handle QuickSearch(const char* text);

  // Empties every index of the file (inside the caller's transaction).
  void ClearIndexes();

  // Index-list entries as held in memory (for inspection).
  const std::vector<dbIndexEntry>& Indexes() const { return entries_; }

 private:
  class Transaction;

  void Open();
  void LoadResource();
  void ReadStoredFile(int32_t descriptor);
  void CreateFile();
  void Upgrade();
  void AttachIndexes();
  void BuildIndex(dbIndexEntry& entry, const dbIndexEntry* source);
  void DropIndex(const dbIndexEntry& entry);
  void WriteIndexListIfChanged();
  std::vector<uint8_t> StoredIndexList() const;
  void ChangeRecordCount(int32_t delta);
  std::vector<uint8_t> CopyOfRecord(int32_t number);
  void ReplaceRecordBytes(int32_t number, const std::vector<uint8_t>& bytes);
  const dbIndexEntry* EntryOf(int32_t field) const;
  Handle Compare(dbIndex& index, int32_t comparison, const void* key1, const void* key2);
  Handle AtLeast(dbIndex& index, const void* key);
  Handle AtMost(dbIndex& index, const void* key);
  void UnpackStored(int32_t number, char* buffer);
  Handle TextStartsWith(int32_t field, const char* text);

  std::string name_;
  dbDatabase& database_;
  std::vector<uint8_t> resource_;  // the DICT resource, empty when the program has none
  int32_t descriptor_ = 0;
  int32_t layoutRecord_ = 0;
  int32_t indexListRecord_ = 0;
  std::vector<uint8_t> storedLayout_;
  std::vector<dbIndexEntry> entries_;
  std::vector<uint8_t> indexListAtOpen_;
  std::unique_ptr<dbRecordLayout> layout_;
  char* scratch_ = nullptr;  // the stored contents of a record being replaced or deleted
};
