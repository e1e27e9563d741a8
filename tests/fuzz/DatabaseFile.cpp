// A database file as a damaged disk, a crash or another program may leave it: opened (header, record
// map, free extents, directory), its tables opened with their layouts (descriptors, stored layouts,
// index lists), every record of every table read through its layout and by each index, a range
// query and a key lookup made, and one record added. Every step may answer with an error number;
// none may crash, hang or read outside what it was given.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "database/TableViewTestSupport.h"
#include "database/dbDatabase.h"

using namespace viewtest;

namespace {

// More records than the seeds hold; the limit only keeps a file with a huge list fast.
constexpr int32_t kMostRecords = 500;

// Every named record of the store.
void ReadNamedRecords(dbDatabase& db) {
  const int32_t count = std::min(db.FileCount(), kMostRecords);
  for (int32_t i = 0; i < count; ++i) {
    const std::string name = db.FileNameAt(i);
    const int32_t n = db.RecordNumberOfName(name.c_str());
    db.ReadRecord(n);
    db.ReleaseRecord(n);
  }
}

void ReadSelection(ppDatafile& view) {
  const int32_t count = std::min(view.GetSelectedCount(), kMostRecords);
  for (int32_t i = 0; i < count; ++i) {
    view.ReadRecordAt(i, nullptr);
    for (int32_t field = 0; field < view.FieldCount(); ++field) {
      ppParameter value;
      view.GetFieldValue(field, value, nullptr);
      value.AsString();
    }
  }
}

// Reads the table through each of its fields' order (an unindexed field answers nothing) and looks
// up a text key in its first field.
void ReadTable(ppDatabase& db, const char* name, bool textKey) {
  try {
    ppDatafile view(name, db);
    for (int32_t field = 0; field < view.FieldCount(); ++field) {
      view.SelectAllByIndex(field);
      ReadSelection(view);
    }
    if (textKey) view.FindRecordByKey(0, "Oslo");
  } catch (int32_t) {
  }
}

void Exercise(ppDatabase& db) {
  try {
    ReadNamedRecords(db);
  } catch (int32_t) {
  }
  ReadTable(db, "people", true);
  ReadTable(db, "towns", true);
  ReadTable(db, "docs", true);
  ReadTable(db, "parts", true);
  ReadTable(db, "qxSettings", false);
  try {
    ppDatafile people("people", db);
    people.Select(kAge, dbDatafile::kInside, ppParameter(10), ppParameter(50), '#');
    ReadSelection(people);
    AddPerson(people, "Zed", 33, "added", 1);
  } catch (int32_t) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  const std::string path = fuzz::WriteScratchFile("damaged.db", data, size);
  try {
    ViewDatabase base(path);
    Exercise(base.Db());
  } catch (int32_t) {
    // The file was refused as a whole.
  }
  return 0;
}
