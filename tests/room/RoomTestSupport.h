// Helpers of the room tests: a canvas double that answers the wall properties a new segment reads
// and records the commands it is sent, and a fixture that makes segments on it from a real catalogue.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/ElementTestSupport.h"
#include "elements/base/ElementChildren.h"
#include "foundation/OwnedHandle.h"
#include "room/qxJunction.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"

namespace roomtest {

class RoomCanvas : public zelvproCanvas {
 public:
  RoomCanvas() : zelvproCanvas(nullptr, plat::RECT{0, 0, 800, 600}, nullptr) {}
  int32_t IndexOf(const Vcon::String& name) override {
    if (name == "WallThickness") return 0;
    if (name == "WallHeight") return 1;
    return -1;
  }
  ppParameter GetValue(int32_t index) override {
    if (index == 0) return ppParameter(thickness.c_str());
    if (index == 1) return ppParameter(height.c_str());
    return ppParameter();
  }
  void DoCommand(int32_t command, intptr_t parameter) override { commands.emplace_back(command, parameter); }

  std::u16string thickness = u"150", height = u"2350";
  std::vector<std::pair<int32_t, intptr_t>> commands;
};

// A room canvas that runs the corner steps of a rebuild (corners at the ends and crossings, side
// faces, cycles) without making floors.
class CornerRoom : public qxNewRoomCanvas {
 public:
  explicit CornerRoom(zelvDatabase* db, const plat::RECT& frame = plat::RECT{0, 0, 800, 600})
      : qxNewRoomCanvas(nullptr, frame, db) {}

  void RebuildCorners() {
    std::vector<qxRoomSegment*> segments;
    ForEachChildElement(*this, [&](zelvproElement* child) {
      if (auto* s = dynamic_cast<qxRoomSegment*>(child)) segments.push_back(s);
    });
    if (indexed) BeginCornerIndex();
    for (qxRoomSegment* s : segments) AttachSegmentEnd(s, s->Start()), AttachSegmentEnd(s, s->End());
    for (qxRoomSegment* s : segments) AddCrossingJunctions(s);
    EndCornerIndex();
    OwnedHandle faces;
    for (qxRoomSegment* s : segments) {
      s->SortJunctions();
      OwnedHandle own(s->BuildSideEdges());
      MemInsertHandle(own.Get(), faces.Get(), kMemAppend);
    }
    delete cycles;
    cycles = BuildCycles(faces.Get());
  }

  bool indexed = true;  // the corner steps look corners up in the chain's index
};

class RoomTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    ElementTest::SetUp();
    host_.palette = std::make_unique<zelvproLayerPalette>();
    db_ = &MakeDatabase();
    topView_ = eltest::AddRecordWith(db_->TopViewFile(), {{"ID", 900}}, {});
  }
  void TearDown() override {
    canvas_.reset();  // the segments go before their catalogue
    ElementTest::TearDown();
  }

  // A segment on the canvas (or on `parent`) from `start` to `end`; its parent owns it.
  template <typename Segment = qxRoomSegment>
  Segment* MakeSegment(const ppVector3& start, const ppVector3& end, ppView* parent = nullptr) {
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    auto* segment =
        new Segment(topView_, parent != nullptr ? parent : canvas_.get(), plat::RECT{0, 0, 10, 10},
                    db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
    segment->SetEnds(start, end);
    return segment;
  }

  // A junction at `at` that the test owns, linked to `segments` in order.
  std::unique_ptr<qxJunction> MakeJunction(const ppVector3& at,
                                           std::initializer_list<qxRoomSegment*> segments) {
    auto junction = std::make_unique<qxJunction>(nullptr);
    junction->SetPosition(at);
    for (qxRoomSegment* s : segments) junction->AddSegment(s, true);
    return junction;
  }

  static std::vector<qxJunction*> JunctionsOf(const qxRoomSegment& segment) {
    std::vector<qxJunction*> out;
    for (qxJunctionRec* n = segment.GetFirstJunctionLink(); n != nullptr; n = n->GetNext())
      out.push_back(n->GetJunction());
    return out;
  }

  zelvDatabase* db_ = nullptr;
  int32_t topView_ = 0;
  std::unique_ptr<RoomCanvas> canvas_ = std::make_unique<RoomCanvas>();
};

}  // namespace roomtest
