// The database object the program works with: one database file (dbDatabase) that also shows its
// tables as properties, so that property paths can list a database's tables by name and reach a
// table view for each. It reads the database's identifier (its number in record ids) from the
// "identifier" field of the first "qxSettings" record. As a text source it answers texts by number
// from the database's own string table, where a database kind has one (none here).
//
// Owns the table views it hands out through GetValue; they live until the database is destroyed.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "database/dbDatabase.h"
#include "database/iProperty.h"
#include "foundation/iTextSource.h"

class ppDatafile;

class ppDatabase : public dbDatabase, public iProperty, public iTextSource {
 public:
  // Opens (or creates) the file; fileSpec's words come back from the file.
  explicit ppDatabase(ppFileSpec& fileSpec);
  ~ppDatabase() override;

  // -1 until a "qxSettings" record gave one.
  int32_t Identifier() const { return identifier_; }

  // The first table name equal to name; -1 when none.
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  // A link value holding the table view of table `index` (made once, all its records selected);
  // an empty value for an index that names no table.
  ppParameter GetValue(int32_t index) override;

  // Text `number` in `language` from the database's string table; false here, `text` unchanged.
  bool GetString(int32_t number, Vcon::WString& text, int32_t language) override;
  // Asked by the table views before a guarded delete; true here.
  virtual bool CanDeleteRecord(int32_t fileId, int32_t recordId);
  // Drops the store's unpinned clean cached records and pages.
  void FlushCaches();

 private:
  void ReadIdentifier();

  int32_t identifier_ = -1;
  std::map<int32_t, std::unique_ptr<ppDatafile>> views_;
};
