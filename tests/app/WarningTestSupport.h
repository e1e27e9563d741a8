// The placement-warning tests' plan: a private copy of the demo settings as the current program
// folder, its main catalogue open, a top canvas and a second canvas standing for the new-room
// canvas, and demo units placed on them by top-view name. Plan millimetres.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/warnings/ShowWarning.h"
#include "app/warnings/WarningRules.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewElementFactory.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "platform/HeadlessDriver.h"
#include "support/DemoSettings.h"

namespace warntest {

// Makes a folder current for its lifetime (the program reads ".\settings\warnings\...").
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::filesystem::path& folder) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~CurrentFolder() { std::filesystem::current_path(saved_); }

 private:
  std::filesystem::path saved_;
};

class Host : public iElementHost {
 public:
  zelvDatabase* FindDatabase(int32_t identifier) override { return identifier == 1 ? db : nullptr; }
  zelvproElement* TopCanvas() override { return top; }
  zelvproElement* NewRoomCanvas() override { return room; }
  plat::HWND DocumentWindow() override { return document; }
  void MarkDocumentModified() override {}
  zelvproLayerPalette* LayerPalette() override { return palette.get(); }
  std::unique_ptr<zelvproLayerPalette> palette = std::make_unique<zelvproLayerPalette>();
  zelvDatabase* db = nullptr;
  zelvproElement* top = nullptr;
  zelvproElement* room = nullptr;
  plat::HWND document = nullptr;
};

class DemoPlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    folder_ = std::make_unique<CurrentFolder>(demo_.Root());
    ppFileSpec file{Vcon::WString(demo_.File("catalogs/kitchen.cdb").string().c_str())};
    db_ = std::make_unique<zelvDatabase>(file);
    host_.db = db_.get();
    iElementHost::Install(&host_);
    TopViewElementFactory::Install();
    top_ = std::make_unique<zelvproTopCanvas>(nullptr, plat::RECT{0, 0, 800, 600}, db_.get());
    room_ = std::make_unique<zelvproTopCanvas>(nullptr, plat::RECT{0, 0, 800, 600}, db_.get());
    host_.top = top_.get();
    host_.room = room_.get();
  }
  void TearDown() override {
    DestroyWarningWindow();
    top_.reset();
    room_.reset();
    iElementHost::Install(nullptr);
    db_.reset();
    plat::HeadlessDriver::Reset();
    folder_.reset();
  }

  void WriteRules(const std::string& text) {
    std::ofstream out(demo_.File("warnings/warnings.txt"), std::ios::binary);
    out << text;
  }
  // The demo's top-view record named `name`.
  int32_t TopViewNamed(const std::string& name) {
    zelvproTopViewFil& file = db_->TopViewFile();
    file.SelectAll();
    for (int32_t i = 0; i < file.GetSelectedCount(); ++i) {
      file.ReadRecordAt(i, nullptr);
      if (std::string(RecordField(file, "Name").Text(file.GetRecordBuffer()).c_str()) == name)
        return file.RecordIdAt(i);
    }
    return 0;
  }
  // A unit of top view `name` on `canvas` at (x, 0, z).
  zelvproTopViewElement* Place(zelvproElement* canvas, const std::string& name, float x, float z = 0.0f) {
    const int32_t record = TopViewNamed(name);
    EXPECT_NE(record, 0) << name;
    db_->TopViewFile().ReadRecord(record, nullptr);
    auto* unit = new zelvproTopViewElement(record, canvas, plat::RECT{0, 0, 10, 10},
                                           db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
    unit->SetPosition(ppVector3(x, 0.0f, z));
    return unit;
  }
  // Clears the plan's numbers and runs the program's check, as the edit tasks do.
  void Check() {
    top_->ClearTreeMark();
    room_->ClearTreeMark();
    host_.CheckPlanWarnings();
  }

  DemoSettings demo_;
  std::unique_ptr<CurrentFolder> folder_;
  std::unique_ptr<zelvDatabase> db_;
  Host host_;
  std::unique_ptr<zelvproTopCanvas> top_, room_;
};

}  // namespace warntest
