// Plans of numbered units for the property and numbering tests: a canvas installed as the top canvas,
// and units with a left anchor (code -5 at x 0) and a right anchor (code 5 at x 100) that join when
// placed 100 mm apart and re-snapped, as the dragging task leaves them.
#pragma once

#include "elements/topview/TopViewTestSupport.h"
#include "elements/topview/iCalculationUpdate.h"

namespace tvtest {

class NumberingTest : public TopViewTest {
 protected:
  void SetUp() override {
    TopViewTest::SetUp();
    canvas_ = std::make_unique<eltest::RecordingCanvas>(eltest::Rect(0, 0, 1000, 1000));
    host_.topCanvas = canvas_.get();
    {
      // A catalogue with an identifier, so that values in dbId form name it.
      std::unique_ptr<zelvDatabase> first = Open("numbered.cdb");
      cattest::AddRecord(first->SettingsFile(), {{"identifier", kIdentifier}});
    }
    db_ = &MakeDatabase("numbered.cdb");
  }
  void TearDown() override {
    iCalculationUpdate::Install(nullptr);
    host_.topCanvas = nullptr;
    canvas_.reset();
    TopViewTest::TearDown();
  }

  // A top-view record linking a class of stored id `classId` (numbered with the class flag 0x800)
  // through its second "Type" field.
  int32_t UnitRecord(int32_t classId, bool numbered) {
    const int32_t cls = AddClass(*db_, classId, numbered ? 0x800 : 0);
    zelvproTopViewFil& topViews = db_->TopViewFile();
    topViews.ClearRecordBuffer(nullptr);
    RecordField(topViews, "Type", 1).SetLong(topViews.GetRecordBuffer(), cls);
    cattest::SetWords(topViews, "Snappoints",
                      eltest::Join({eltest::SnapEntry(-5, 0, 0, 0), eltest::SnapEntry(5, 100, 0, 0)}));
    int32_t id = 0;
    topViews.AddRecord(&id, nullptr);
    return id;
  }
  // A unit of `record` on the canvas at (x, y, z), re-snapped to its neighbours.
  zelvproTopViewElement* Place(int32_t record, float x, float y = 0.0f, float z = 0.0f) {
    zelvproTopViewElement* unit = Make(*db_, record, canvas_.get());
    unit->SetPosition(ppVector3(x, y, z));
    unit->Resnap();
    return unit;
  }
  static int32_t Read(zelvproTopViewElement* unit, const char* name) {
    return unit->GetValueByName(name).ToLong();
  }

  static constexpr int32_t kIdentifier = 7;
  std::unique_ptr<eltest::RecordingCanvas> canvas_;
  zelvDatabase* db_ = nullptr;
};

}  // namespace tvtest
