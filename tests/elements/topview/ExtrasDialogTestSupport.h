// The fixture of the extras dialog tests: a fresh headless driver with the control views registered,
// a grid maker that records what it is asked for, and no extras catalogue left behind.
#pragma once

#include <cstdint>
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "elements/topview/TopViewTestSupport.h"
#include "elements/topview/iRecordGrids.h"
#include "framework/ppControlView.h"
#include "platform/HeadlessDriver.h"

namespace tvtest {

// Keeps the layouts of the grids it is asked to make, and the rows the last one opened with.
class RecordingGrids : public iRecordGrids {
 public:
  void MakeGrid(ppView& /*host*/, const RecordGridLayout& layout) override {
    specs.push_back(layout);
    rowsAtOpen = layout.rows != nullptr ? layout.rows->GetRecordCount() : -1;
  }
  std::vector<RecordGridLayout> specs;
  int32_t rowsAtOpen = -1;
};

class ExtrasDialogTest : public TopViewTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    TopViewTest::SetUp();
    RegisterControlViewClass();
    iRecordGrids::Install(&grids_);
  }
  void TearDown() override {
    plat::HeadlessDriver::SetIdleScript(nullptr);
    iRecordGrids::Install(nullptr);
    ExtrasCatalogDatabase = nullptr;
    TopViewTest::TearDown();
  }
  RecordingGrids grids_;
};

}  // namespace tvtest
