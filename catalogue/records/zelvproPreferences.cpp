#include "catalogue/records/zelvproPreferences.h"

#include <algorithm>
#include <memory>

#include "catalogue/records/LocalisedText.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/ppDatabase.h"
#include "database/InTransaction.h"

namespace {

// Makes a table of class T over the database, runs its upgrade step and deletes it.
template <typename T, typename Step>
void UpgradeTable(ppDatabase& database, Step step, int32_t from, int32_t to) {
  auto table = std::make_unique<T>(database);
  ((*table).*step)(from, to);
}

}  // namespace

zelvproPreferences::zelvproPreferences(ppDatabase& database)
    : ppItemfile(kLayout, database),
      record_(GetRecordBuffer()),
      version_(*this, "version"),
      name_(*this, "name"),
      colorCatalogLink_(*this, "colorCatalogLink"),
      helpText_(*this, "helpText"),
      printNote_(*this, "printNote"),
      colors_(*this, "colors"),
      languageId_(*this, "languageID"),
      useExtendedColorSystem_(*this, "useExtendedColorSystem"),
      tname_(*this, "tname"),
      thelpText_(*this, "thelpText"),
      tprintNote_(*this, "tprintNote") {}

void zelvproPreferences::InitDefaults() {
  SelectAll();
  if (GetSelectedCount() == 0) {
    // A catalogue without settings gets one record with every field empty.
    ClearRecordBuffer(nullptr);
    db::InTransaction(Database(), [&] { InsertRecordAt(-1, nullptr); });
    SelectAll();
  }
  ReadRecordAt(0, nullptr);
  if (Version() < kCatalogVersion) UpgradeCatalog(Version(), kCatalogVersion);
  Localise(name_, tname_, 0);
  Localise(helpText_, thelpText_, 1);
  Localise(printNote_, tprintNote_, 2);
}

void zelvproPreferences::Localise(const RecordField& narrow, const RecordField& wide, int32_t k) {
  Vcon::WString text = WideFromString(narrow.Text(record_));
  LocaliseRecordText(Database(), CurrentRecordId(), k, text);
  wide.SetWideText(record_, text);
}

void zelvproPreferences::UpgradeCatalog(int32_t from, int32_t to) {
  ppDatabase& database = Database();
  db::InTransaction(database, [&] {
    SelectAll();
    ReadRecordPinnedAt(0, nullptr);
    try {
      UpgradeTable<zelvproShapeFil>(database, &zelvproShapeFil::ConvertShapes, from, to);
      UpgradeTable<zelvproTopViewFil>(database, &zelvproTopViewFil::ConvertSnappoints, from, to);
      UpgradeTable<zelvproUnitFil>(database, &zelvproUnitFil::ResetRoundShapeFlags, from, to);
      version_.SetLong(record_, to);
      WriteRecordAt(0, nullptr);
    } catch (...) {
      ReleaseRecordAt(0);
      throw;
    }
    ReleaseRecordAt(0);
  });
}

void zelvproPreferences::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }

int32_t zelvproPreferences::VisitRecord(void*, int32_t) { return 1; }

bool zelvproPreferences::AnswersRecordQuery(void*, int32_t, int32_t) { return true; }

bool zelvproPreferences::AllowsDeleteOf(int32_t fileId, int32_t id) {
  if (fileId != zelvproColorCatalogFil::kFileId) return true;
  if (id == ColorCatalogLink()) return false;
  const std::vector<int32_t> colors = colors_.Words(record_);
  return std::find(colors.begin(), colors.end(), id) == colors.end();
}
