// A database of small test tables for the table-view, embedded-table and property tests, with the
// layouts registered before any view opens them.
//
// people (file id 6001): 0 name (text, indexed), 1 age (long, indexed), 2 note (text),
//                        3 picture (handle), 4 town (link to towns)
// towns (6002):          0 tname (text, indexed), 1 zip (long, indexed)
// docs (6004):           0 title (text, indexed), 1 lines (blob holding an embedded people table)
// qxSettings (6003):     0 version (long, indexed), 1 identifier (long)
// parts (6005):          0 part (text, indexed), 1 width (double), 2 depth (float), 3 count (long)
//
// The layouts carry a high version so that the program's own layout of the same name (qxSettings)
// never replaces them when a database reopens.
#pragma once

#include <memory>
#include <string>

#include "DbTestSupport.h"
#include "LayoutTestSupport.h"
#include "database/dbDatafile.h"
#include "database/ppDatabase.h"
#include "database/ppDatafile.h"

namespace viewtest {

enum { kName, kAge, kNote, kPicture, kTown };
enum { kTownName, kZip };
enum { kTitle, kLines };
enum { kPart, kWidth, kDepth, kCount };

inline constexpr int32_t kPeopleId = 6001, kTownsId = 6002, kSettingsId = 6003, kDocsId = 6004,
                         kPartsId = 6005;

inline std::vector<uint8_t> PeopleLayout() {
  return dbtest::MakeLayout(
      1000, {{"name", 1, 1}, {"age", 2, 1}, {"note", 1}, {"picture", 16}, {"town", 8, 0, kTownsId}},
      dbtest::kAsGiven, kPeopleId);
}
inline std::vector<uint8_t> TownsLayout() {
  return dbtest::MakeLayout(1000, {{"tname", 1, 1}, {"zip", 2, 1}}, dbtest::kAsGiven, kTownsId);
}
inline std::vector<uint8_t> SettingsLayout() {
  return dbtest::MakeLayout(1000, {{"version", 2, 1}, {"identifier", 2}}, dbtest::kAsGiven, kSettingsId);
}
inline std::vector<uint8_t> DocsLayout() {
  return dbtest::MakeLayout(1000, {{"title", 1, 1}, {"lines", 10}}, dbtest::kAsGiven, kDocsId);
}

inline std::vector<uint8_t> PartsLayout() {
  return dbtest::MakeLayout(1000, {{"part", 1, 1}, {"width", 4}, {"depth", 13}, {"count", 2}},
                            dbtest::kAsGiven, kPartsId);
}

class ViewDatabase {
 public:
  explicit ViewDatabase(std::string path) : path_(std::move(path)) { Open(); }

  // (Re)opens the file; views made before are invalid afterwards.
  void Open() {
    db_.reset();
    ppFileSpec fileSpec = dbtest::SpecFor(path_);
    db_ = std::make_unique<ppDatabase>(fileSpec);
    Register("people", PeopleLayout());
    Register("towns", TownsLayout());
    Register("qxSettings", SettingsLayout());
    Register("docs", DocsLayout());
    Register("parts", PartsLayout());
  }
  void Close() { db_.reset(); }
  ppDatabase& Db() { return *db_; }
  const std::string& Path() const { return path_; }

  // Writes a settings record carrying the database number; it counts from the next Open.
  void SetNumber(int32_t number) {
    ppDatafile settings("qxSettings", *db_);
    settings.ClearRecordBuffer(nullptr);
    settings.SetFieldValue(0, ppParameter(1), nullptr);
    settings.SetFieldValue(1, ppParameter(number), nullptr);
    settings.AddRecord(nullptr, nullptr);
  }

 private:
  void Register(const char* name, const std::vector<uint8_t>& layout) {
    if (db_->RegisteredFile(name) != nullptr) return;
    db_->RegisterFile(name, new dbDatafile(name, *db_, layout), [](dbDatafile* f) { delete f; });
  }

  std::string path_;
  std::unique_ptr<ppDatabase> db_;
};

// Adds a record through the view's own buffer and returns its id.
inline int32_t AddPerson(ppDatafile& view, const char* name, int32_t age, const char* note = "",
                         int32_t town = 0) {
  view.ClearRecordBuffer(nullptr);
  view.SetFieldValue(kName, ppParameter(name), nullptr);
  view.SetFieldValue(kAge, ppParameter(age), nullptr);
  view.SetFieldValue(kNote, ppParameter(note), nullptr);
  view.SetFieldValue(kTown, ppParameter(town), nullptr);
  int32_t id = 0;
  view.AddRecord(&id, nullptr);
  return id;
}

inline int32_t AddTown(ppDatafile& view, const char* name, int32_t zip) {
  view.ClearRecordBuffer(nullptr);
  view.SetFieldValue(kTownName, ppParameter(name), nullptr);
  view.SetFieldValue(kZip, ppParameter(zip), nullptr);
  int32_t id = 0;
  view.AddRecord(&id, nullptr);
  return id;
}

inline std::string Text(const ppParameter& value) { return value.AsString().c_str(); }

}  // namespace viewtest
