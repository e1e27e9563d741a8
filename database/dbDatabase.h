// One database file as the rest of the program uses it: record access by number, records found by
// name through the directory, and nestable transactions whose abort is deferred to the outermost
// level.
//
// Owns the store and the directory; the directory goes first when the database is destroyed. A
// failed commit is thrown from the outermost EndTransaction after the changes were rolled back, so a
// failed save is never reported as success.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "database/dbData.h"
#include "database/dbStore.h"

class ppFileSpec;
class dbDatafile;

// Frees a registered table file; given by whoever registers it (the table-file code knows the type).
using dbDatafileDeleter = void (*)(dbDatafile*);

class dbDatabase {
 public:
  // Opens (or creates) the file and its directory; fileSpec's words come back from the file.
  explicit dbDatabase(ppFileSpec& fileSpec);
  virtual ~dbDatabase();
  dbDatabase(const dbDatabase&) = delete;
  dbDatabase& operator=(const dbDatabase&) = delete;

  void BeginTransaction();
  void EndTransaction();
  void AbortTransaction();
  int32_t TransactionNesting() const { return nesting_; }

  // The handle belongs to the store's record cache: change it in place, mark it, release it.
  Handle ReadRecord(int32_t number);
  int32_t AddRecord(Handle data);
  void MarkRecordChanged(int32_t number);
  void ReleaseRecord(int32_t number);
  void DeleteRecord(int32_t number);

  // Adds a record under a name (db::kAlreadyExists when the name exists); returns its record number.
  int32_t AddNamedRecord(const char* name, Handle data);
  // db::kNotFound when no record has the name.
  int32_t RecordNumberOfName(const char* name);
  // Rebuilds the directory's lists and returns the number of named records.
  int32_t FileCount();
  // The i-th name (in name order) of the list the last FileCount built.
  std::string FileNameAt(int32_t i) const;

  // The registry of table files opened by name. A name is at most 35 characters and matches
  // exactly (case-sensitive). The database owns every registered file and deletes it, through the
  // given deleter, after the directory and before the store.
  static constexpr size_t kMaxFileNameLength = 35;
  dbDatafile* RegisteredFile(const char* name) const;  // null when none has the name
  // Registers `file` under `name` and returns it; -50 (and the file freed) for a name too long or
  // already registered.
  dbDatafile* RegisterFile(const char* name, dbDatafile* file, dbDatafileDeleter deleter);
  int32_t RegisteredFileCount() const { return int32_t(files_.size()); }
  dbDatafile* RegisteredFileAt(int32_t i) const { return files_.at(size_t(i)).file; }

  dbStore& Store() { return *store_; }
  dbData& Directory() { return *directory_; }

 private:
  struct RegisteredDatafile {
    std::string name;
    dbDatafile* file;
    dbDatafileDeleter deleter;
  };

  int16_t nesting_ = 0;
  bool abortPending_ = false;
  std::unique_ptr<dbStore> store_;
  std::unique_ptr<dbData> directory_;
  std::vector<RegisteredDatafile> files_;
};
