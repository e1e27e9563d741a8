// Helpers of the catalogue tests: catalogue files made in a private folder, records written field by
// field, a start-up window that records its progress lines and a text source of program texts.
// The fixture sets the user's language to 1033 and the current language code to kLanguage, and puts
// every switch it touched back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/databases/iStartupProgress.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproPreferences.h"
#include "database/DbTestSupport.h"
#include "database/ppDatafile.h"
#include "foundation/TextsById.h"
#include "foundation/UserPreferences.h"
#include "foundation/iTextSource.h"
#include "platform/UserLanguage.h"

namespace cattest {

inline constexpr int32_t kLanguage = 2;       // the current language code of the tests
inline constexpr int32_t kOtherLanguage = 3;  // a language the tests never ask for by default

class ProgressLog : public iStartupProgress {
 public:
  void SetProgressText(const Vcon::WString& text) override { lines.push_back(text.Narrow().c_str()); }
  std::vector<std::string> lines;
};

class ProgramTexts : public iTextSource {
 public:
  bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
    auto found = texts.find(number);
    if (found == texts.end()) return false;
    text = Vcon::WString(found->second.c_str());
    return true;
  }
  std::map<int32_t, std::string> texts;
};

using Fields = std::initializer_list<std::pair<const char*, ppParameter>>;

inline void SetField(ppDatafile& table, const char* name, const ppParameter& value) {
  const int32_t field = table.IndexOf(name);
  ASSERT_GE(field, 0) << name;
  table.SetFieldValue(field, value, nullptr);
}

// Fills the table's buffer from empty and adds it as a new record; answers its id.
inline int32_t AddRecord(ppDatafile& table, Fields fields) {
  table.ClearRecordBuffer(nullptr);
  for (const auto& [name, value] : fields) SetField(table, name, value);
  int32_t id = 0;
  table.AddRecord(&id, nullptr);
  return id;
}

// Sets a blob field of the table's buffer to 32-bit words.
inline void SetWords(ppDatafile& table, const char* name, const std::vector<int32_t>& words) {
  Handle data = RecordField(table, name).Data(table.GetRecordBuffer());
  ASSERT_NE(data, nullptr) << name;
  MemSetSize(data, uint32_t(words.size() * 4));
  if (!words.empty()) std::memcpy(*data, words.data(), words.size() * 4);
}

// Changes fields of the one settings record and writes it back.
inline void ChangeSettings(zelvDatabase& db, Fields fields) {
  for (const auto& [name, value] : fields) SetField(db.SettingsFile(), name, value);
  db.SettingsFile().WriteRecordAt(0, nullptr);
}

inline int32_t LongField(ppDatafile& table, const char* name) {
  return RecordField(table, name).Long(table.GetRecordBuffer());
}

inline std::string WideField(ppDatafile& table, const char* name) {
  return RecordField(table, name).WideText(table.GetRecordBuffer()).Narrow().c_str();
}

class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedPreferences_ = Preferences();
    Preferences().languageCode = kLanguage;
    ApplyDerivedSettings();
    plat::SetUserDefaultLangID(plat::kLangEnglish);
    gStartupWindow = &progress_;
  }
  void TearDown() override {
    gStartupWindow = nullptr;
    SetTextSource(nullptr);
    plat::ResetUserDefaultLangID();
    Preferences() = savedPreferences_;
    ApplyDerivedSettings();
  }

  std::string Path(const std::string& name = "catalog.cdb") const { return folder_.Path(name); }

  // Opens (creating when missing) the catalogue file; the progress log starts empty.
  std::unique_ptr<zelvDatabase> Open(const std::string& name = "catalog.cdb") {
    progress_.lines.clear();
    ppFileSpec file = dbtest::SpecFor(Path(name));
    return std::make_unique<zelvDatabase>(file);
  }

  const std::vector<std::string>& ProgressLines() const { return progress_.lines; }

 private:
  dbtest::TempFolder folder_;
  ProgressLog progress_;
  UserPreferences savedPreferences_;
};

}  // namespace cattest
