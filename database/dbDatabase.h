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

#include "database/dbData.h"
#include "database/dbStore.h"

class ppFileSpec;

class dbDatabase {
 public:
  // Opens (or creates) the file and its directory; spec's words come back from the file.
  explicit dbDatabase(ppFileSpec& spec);
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

  // Adds a record under a name (3606 when the name exists); returns its record number.
  int32_t AddNamedRecord(const char* name, Handle data);
  // 3602 when no record has the name.
  int32_t RecordNumberOfName(const char* name);
  // Rebuilds the directory's lists and returns the number of named records.
  int32_t FileCount();
  // The i-th name (in name order) of the list the last FileCount built.
  std::string FileNameAt(int32_t i) const;

  dbStore& Store() { return *store_; }
  dbData& Directory() { return *directory_; }

 private:
  int16_t nesting_ = 0;
  bool abortPending_ = false;
  std::unique_ptr<dbStore> store_;
  std::unique_ptr<dbData> directory_;
};
