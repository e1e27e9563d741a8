// Catalogue browser texts kept in a catalogue database: each record holds one text in the browser's
// entry format (blob "catalog"), used instead of the files of the catalogs folder when the
// application is set to take its browser from the catalogues.
// The table of a catalogue database bound to layout "qxCatalog" ("id", "name", "catalog").
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class qxCatalogFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5442;
  static constexpr const char* kLayout = "qxCatalog";

  explicit qxCatalogFil(ppDatabase& database);

  // The record's "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  // The "catalog" text of the record in `buffer` (null: the current buffer); still the record's, null
  // when the record has none.
  Handle CatalogText(char* buffer = nullptr) const;

 private:
  RecordField name_, catalog_;
};
