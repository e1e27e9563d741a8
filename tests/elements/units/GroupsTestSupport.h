// The fixture of the special-unit tests: the top-view fixture with a canvas installed as the top
// canvas and a document window that runs posted sweepers, so deferred passes run in
// RunUntilIdle.
#pragma once

#include <memory>

#include "elements/topview/TopViewTestSupport.h"
#include "framework/ppSweeper.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace unittest {

class SweepingUnitsTest : public tvtest::TopViewTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    TopViewTest::SetUp();
    host_.documentWindow = eltest::OpenSweeperWindow("UnitsWindow");
    canvas_ = std::make_unique<eltest::RecordingCanvas>(eltest::Rect(0, 0, 1000, 1000));
    host_.topCanvas = canvas_.get();
    db_ = &MakeDatabase();
  }
  void TearDown() override {
    plat::HeadlessDriver::RunUntilIdle();
    host_.topCanvas = nullptr;
    canvas_.reset();
    TopViewTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  // A top-view record of `type` whose outline is a `w` by `d` millimetre rectangle at the origin.
  int32_t BoxRecord(int32_t type, float w, float d, std::initializer_list<eltest::BlobField> blobs = {}) {
    const int32_t shape = AddShape(*db_, {0, 0, w, 0, w, d, 0, d});
    const int32_t id = AddTopView(*db_, {{"Type", type}}, blobs);
    zelvproTopViewFil& topViews = db_->TopViewFile();
    topViews.ReadRecord(id, nullptr);
    cattest::SetWords(topViews, "Subelements", eltest::PieceEntry(shape, 0, 0));
    topViews.WriteRecord(id, nullptr);
    return id;
  }

  std::unique_ptr<eltest::RecordingCanvas> canvas_;
  zelvDatabase* db_ = nullptr;
};

}  // namespace unittest
