// The application tests' fixture: a fresh headless desktop, a private copy of the demo settings with
// its application and skin databases open, and a zelvProApp as the process's application object.
// Preferences, the current language and the user's language go back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/shell/zelvProApp.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/databases/qxSkindb.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxApplicationFil.h"
#include "catalogue/records/qxFunctionFil.h"
#include "catalogue/records/qxSkinObjectFil.h"
#include "database/DbTestSupport.h"
#include "foundation/TextsById.h"
#include "foundation/UserPreferences.h"
#include "platform/HeadlessDriver.h"
#include "platform/UserLanguage.h"
#include "support/DemoSettings.h"

namespace apptest {

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    savedPreferences_ = Preferences();
    plat::SetUserDefaultLangID(plat::kLangEnglish);
    Preferences().languageCode = 1033;
    ApplyDerivedSettings();
    ppFileSpec application = dbtest::SpecFor(demo_.File("zadezodid.cdb").string());
    applicationDb_ = std::make_unique<qxApplicationdb>(application);
    ppFileSpec skin = dbtest::SpecFor(demo_.File("skin.cdb").string());
    skinDb_ = std::make_unique<qxSkindb>(skin);
    app_ = std::make_unique<zelvProApp>(nullptr, nullptr);
    gApplication = app_.get();
  }
  void TearDown() override {
    gApplication = nullptr;
    app_.reset();
    skinDb_.reset();
    applicationDb_.reset();
    plat::HeadlessDriver::Reset();
    plat::ResetUserDefaultLangID();
    Preferences() = savedPreferences_;
    ApplyDerivedSettings();
  }

  qxApplicationFil& ApplicationFile() { return applicationDb_->ApplicationFile(); }
  qxFunctionFil& Functions() { return ApplicationFile().FunctionFile(); }

  // Sets a field of the application record's buffer (not written to the file).
  void SetApplicationField(const char* name, int32_t value) {
    RecordField(ApplicationFile(), name).SetLong(ApplicationFile().GetRecordBuffer(), value);
  }
  void SetApplicationText(const char* name, const char* text) {
    RecordField(ApplicationFile(), name).SetText(ApplicationFile().GetRecordBuffer(), text);
  }

  // Replaces the function records by {cmd, type, name} rows.
  struct Function {
    int32_t command;
    int32_t type;
    const char* name;
  };
  void SetFunctions(std::initializer_list<Function> functions) {
    qxFunctionFil& table = Functions();
    table.DisposeRecords();
    for (const Function& f : functions) {
      table.ClearRecordBuffer(nullptr);
      RecordField(table, "cmd").SetLong(table.GetRecordBuffer(), f.command);
      RecordField(table, "type").SetLong(table.GetRecordBuffer(), f.type);
      RecordField(table, "name").SetText(table.GetRecordBuffer(), f.name);
      table.InsertRecordAt(-1, nullptr);
    }
  }

  // Removes the skin bitmap of `id` (the about or credits picture).
  void RemoveSkinBitmap(int32_t id) {
    qxSkinObjectFil& bitmaps = skinDb_->BitmapFile();
    const int32_t record = bitmaps.FindRecordByKey(0, &id);
    ASSERT_NE(record, 0) << id;
    bitmaps.BeginTransaction();
    bitmaps.DeleteRecord(record);
    bitmaps.EndTransaction();
  }

  // Adds a skin colour record; answers its record id.
  int32_t AddSkinColor(int32_t id, uint32_t rgba, int32_t bitmapLink = 0) {
    qxSkinObjectFil& colors = skinDb_->ColorFile();
    colors.BeginTransaction();
    colors.ClearRecordBuffer(nullptr);
    RecordField(colors, "id").SetLong(colors.GetRecordBuffer(), id);
    RecordField(colors, "rgba").SetLong(colors.GetRecordBuffer(), int32_t(rgba));
    RecordField(colors, "bitmap").SetLong(colors.GetRecordBuffer(), bitmapLink);
    int32_t record = 0;
    colors.AddRecord(&record, nullptr);
    colors.EndTransaction();
    return record;
  }

  DemoSettings demo_;
  std::unique_ptr<qxApplicationdb> applicationDb_;
  std::unique_ptr<qxSkindb> skinDb_;
  std::unique_ptr<zelvProApp> app_;

 private:
  UserPreferences savedPreferences_;
};

}  // namespace apptest
