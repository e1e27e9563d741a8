// The one settings record of a catalogue database (layout "qxSettings"): the catalogue's name, help
// text and print note (narrow, with wide copies in the current language), its version, identifier
// and language id, its colour links and switches.
//
// InitDefaults makes sure the record exists, brings a catalogue older than version 4 up to date and
// fills the wide texts; afterwards the record stays current in the record buffer. The wide texts live
// only in the buffer: InitDefaults writes nothing but an appended empty record and an upgrade.
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "database/ppItemfile.h"

class zelvproPreferences : public ppItemfile {
 public:
  static constexpr int32_t kFileId = 5412;
  static constexpr const char* kLayout = "qxSettings";
  // The catalogue version this program's tables are in.
  static constexpr int32_t kCatalogVersion = 4;

  explicit zelvproPreferences(ppDatabase& database);

  void InitDefaults();
  // Brings the database's shape, top-view and unit tables (in this order) from catalogue version
  // `from` to `to` and stores `to` as the version, all in one transaction.
  virtual void UpgradeCatalog(int32_t from, int32_t to);

  // The record's "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  int32_t VisitRecord(void* argument, int32_t id) override;
  bool AnswersRecordQuery(void* argument, int32_t a, int32_t b) override;
  // False for colour `id` (file 5408) while it is the "colorCatalogLink" or listed in "colors".
  bool AllowsDeleteOf(int32_t fileId, int32_t id) override;

  // Fields of the current record.
  int32_t Version() const { return version_.Long(record_); }
  int32_t ColorCatalogLink() const { return colorCatalogLink_.Long(record_); }
  int32_t LanguageId() const { return languageId_.Long(record_); }
  void SetLanguageId(int32_t id) { languageId_.SetLong(record_, id); }
  int32_t UseExtendedColorSystem() const { return useExtendedColorSystem_.Long(record_); }
  Vcon::WString LocalName() const { return tname_.WideText(record_); }
  Vcon::WString LocalHelpText() const { return thelpText_.WideText(record_); }
  Vcon::WString LocalPrintNote() const { return tprintNote_.WideText(record_); }

 private:
  // `wide` = the widened `narrow`, replaced by text record id x 10 + k when the catalogue has it.
  void Localise(const RecordField& narrow, const RecordField& wide, int32_t k);

  char* const record_;
  RecordField version_, name_, colorCatalogLink_, helpText_, printNote_, colors_, languageId_,
      useExtendedColorSystem_, tname_, thelpText_, tprintNote_;
};
