// The catalogue databases of the run: every file that a function record of type 4 of the
// application record names, opened in the order of those records.
//
// A file whose head carries the code "Zelv" at byte 8 is listed, with the word at byte 4 as its
// type code. One that carries it at byte 4 is opened but never listed (the list's lookups do not
// find it; with no top views it becomes ExtrasCatalogDatabase) and is kept open until the list
// goes. A file with neither is skipped. One that fails to open is left out and noted in Failures(),
// for the application to tell the user; the next one is still tried.
//
// The list owns every database it opened and deletes the listed ones in list order, then the
// unlisted ones. Construction needs the application database open (ApplicationRecordFile); without
// it the list stays empty. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/FileRecord.h"

class zelvDatabase;

class CatalogDatabaseList {
 public:
  // "Zelv" as a number, its first character the most significant (on disk: v, l, e, Z).
  static constexpr uint32_t kCatalogueCode = 0x5A656C76;

  struct Entry {
    uint32_t fileTypeCode = 0;  // the word at byte 4 of the file
    std::unique_ptr<zelvDatabase> database;
    ppFileSpec fileSpec;
  };
  // A catalogue file the application record names that could not be opened.
  struct Failure {
    Vcon::WString path;  // as the record names it
    int32_t error = 0;   // the file or database error; 0 for an error without a code
  };

  // Opens the catalogues (OpenFromApplication) and becomes the global list; MainCatalogDatabase
  // becomes FindById(1).
  CatalogDatabaseList();
  ~CatalogDatabaseList();
  CatalogDatabaseList(const CatalogDatabaseList&) = delete;
  CatalogDatabaseList& operator=(const CatalogDatabaseList&) = delete;

  int32_t Count() const { return int32_t(entries_.size()); }
  // The first listed database whose settings record has this "identifier"; null when none.
  zelvDatabase* FindById(int32_t identifier) const;
  // The database of entry `index`; null outside 0 to Count() - 1.
  zelvDatabase* DatabaseAt(int32_t index) const;
  const Entry* EntryAt(int32_t index) const;
  // The catalogues OpenFromApplication left out because they failed to open, in record order.
  const std::vector<Failure>& Failures() const { return failures_; }

  // Opens every catalogue file that a function record of type 4 names, in record order.
  void OpenFromApplication();
  // Reads the file's head and opens it as a catalogue when it carries the code; errors of the file
  // or of the database pass to the caller (nothing is kept of a database that failed).
  void OpenDatabaseFile(const ppFileSpec& fileSpec);

 private:
  std::vector<Entry> entries_;
  std::vector<std::unique_ptr<zelvDatabase>> unlisted_;
  std::vector<Failure> failures_;
};

// The one list of the run while it exists, else null. Not owned. User-interface thread only.
extern CatalogDatabaseList* CatalogDatabases;
// The listed catalogue with identifier 1 (null when none), from the list's construction until it
// goes. Not owned. User-interface thread only.
extern zelvDatabase* MainCatalogDatabase;
