// What a wall segment leaves to others: it prints nothing of its own (the room's outline stands for
// it, on paper and in the drawing export), and it takes no part in snapping, whichever element's
// links it is asked to touch.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "elements/base/PlanAnnotation.h"
#include "elements/topview/iPrintSettings.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "framework/TestCanvas.h"
#include "framework/ppDC.h"
#include "room/RoomTestSupport.h"

namespace {

using V = ppVector3;

class PageSettings : public iPrintSettings {
 public:
  PrintPageFields PageFields(int32_t /*page*/) override { return page; }
  PrintPageFields page;
};

// A plain element with the anchors it is given, at `at` (millimetres).
class Anchored : public zelvproElement {
 public:
  Anchored(ppView* parent, const V& at, std::vector<SnapAnchor> anchors)
      : zelvproElement(0, parent, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0) {
    position = at;
    snapPoints = std::move(anchors);
  }
};

SnapAnchor Anchor(int32_t code, const V& point = V()) {
  SnapAnchor anchor;
  anchor.code = code;
  anchor.point = point;
  anchor.flags = SnapAnchor::kNoAccessRequest;
  return anchor;
}

// The BLOCKS and ENTITIES sections of a DXF file's text as "TYPE name" lines (the name group 2, when
// the entity has one).
std::vector<std::string> DxfEntities(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  std::string code, value, type, section;
  while (std::getline(in, code) && std::getline(in, value)) {
    const int32_t c = std::stoi(code);
    value.erase(0, value.find_first_not_of(' '));
    if (c == 0) type = value;
    if (type == "SECTION" && c == 2) {
      section = value;
      continue;
    }
    if ((section != "BLOCKS" && section != "ENTITIES") || type == "SECTION" || type == "ENDSEC") continue;
    if (c == 0) out.push_back(value);
    if (c == 2) out.back() += " " + value;
  }
  return out;
}

class SegmentPrintAndSnapTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    RoomTest::SetUp();
    host_.palette->SetScale(10.0);  // millimetres per pixel
    iPrintSettings::Install(&print_);
    print_.page.pixelsPerMillimetre = 0.1f;
    print_.page.outlinePage = true;  // the export prints the plan as outlines
  }
  void TearDown() override {
    room_.reset();
    iPrintSettings::Install(nullptr);
    RoomTest::TearDown();
  }

  // The whole room canvas printed, as the drawing export prints it, into a DXF file read back.
  std::vector<std::string> ExportRoom() {
    return DxfEntities(eltest::PrintToDxf(1000.0f, {{"ROOM", "1"}, {"FURNITURE", "2"}},
                                          [&](ppDC& dc) { room_->Print(dc, 1); }));
  }

  PageSettings print_;
  std::unique_ptr<roomtest::CornerRoom> room_;
};

TEST_F(SegmentPrintAndSnapTest, ExportOfFourWallsAndAUnitHoldsOneFurnitureBlockAndOneInsert) {
  room_ = std::make_unique<roomtest::CornerRoom>(db_);
  const V c[] = {V(0, 0, 0), V(3000, 0, 0), V(3000, 0, 2000), V(0, 0, 2000)};
  for (int i = 0; i < 4; ++i) MakeSegment(c[i], c[(i + 1) % 4], room_.get());
  room_->RebuildCorners();
  const int32_t unitView = eltest::AddRecordWith(db_->TopViewFile(), {{"ID", 901}}, {});
  db_->TopViewFile().ReadRecord(unitView, nullptr);
  auto* unit = new zelvproTopViewElement(unitView, room_.get(), plat::RECT{0, 0, 10, 10},
                                         db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
  unit->outlines = Outline(*db_, {0, 0, 600, 0, 600, 560, 0, 560});
  unit->SetPosition(V(500, 0, 500));

  const std::vector<std::string> entities = ExportRoom();
  int32_t blocks = 0, inserts = 0, blockEnds = 0, roomLines = 0;
  for (const std::string& e : entities) {
    if (e.rfind("BLOCK ZELVO-", 0) == 0) ++blocks;
    if (e.rfind("INSERT", 0) == 0) ++inserts;
    if (e == "ENDBLK") ++blockEnds;
    if (e == "LINE") ++roomLines;
  }
  EXPECT_EQ(blocks, 1);
  EXPECT_EQ(inserts, 1);
  EXPECT_EQ(blockEnds, 3);  // model space, paper space and the unit's block
  EXPECT_EQ(roomLines, 8);  // the room's inner and outer faces still go out as lines
  const std::vector<std::string> expectedInsert = {"INSERT ZELVO-1"};
  std::vector<std::string> insertsSeen;
  for (const std::string& e : entities)
    if (e.rfind("INSERT", 0) == 0) insertsSeen.push_back(e);
  EXPECT_EQ(insertsSeen, expectedInsert);
}

TEST_F(SegmentPrintAndSnapTest, APrintedSegmentLeavesThePageBlank) {
  // A segment whose catalogue record has an outline, printed filled on a page of its own.
  print_.page.outlinePage = false;
  print_.page.pixelsPerMillimetre = 0.1f;
  qxRoomSegment* wall = MakeSegment(V(0, 0, 0), V(3000, 0, 0));
  wall->outlines = Outline(*db_, {0, 0, 3000, 0, 3000, 150, 0, 150});
  picture_tests::Canvas page(400, 100);
  ppDC dc(page.dc());
  wall->Print(dc, 1);
  int32_t marked = 0;
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 400; ++x) marked += page.At(x, y) != plat::RGB(255, 255, 255) ? 1 : 0;
  EXPECT_EQ(marked, 0);
}

TEST_F(SegmentPrintAndSnapTest, SnapCallsOnASegmentLeaveEveryLinkAlone) {
  enum class Call { kRelease, kDisconnect, kResnapLinked, kResnapFree };
  for (Call call : {Call::kRelease, Call::kDisconnect, Call::kResnapLinked, Call::kResnapFree}) {
    SCOPED_TRACE(int(call));
    canvas_ = std::make_unique<roomtest::RoomCanvas>();
    qxRoomSegment* wall = MakeSegment(V(0, 0, 0), V(3000, 0, 0));
    // Two units linked to each other, and a third whose anchor meets the wall's own anchor.
    auto* a = new Anchored(canvas_.get(), V(100, 0, 0), {Anchor(3)});
    auto* b = new Anchored(canvas_.get(), V(100, 0, 0), {Anchor(-3)});
    a->snapPoints[0].partner = b;
    b->snapPoints[0].partner = a;
    wall->snapPoints = {Anchor(5)};
    V wallAnchor;
    wall->LocalToWorld(wallAnchor);
    // The linked case's partner stands off the wall's anchor, so a rebuilt link would be broken.
    if (call == Call::kResnapLinked) wallAnchor.x += 500;
    auto* c = new Anchored(canvas_.get(), wallAnchor, {Anchor(-5)});
    if (call == Call::kResnapLinked) {
      // A link the wall holds (from an older document) is neither broken nor rebuilt.
      wall->snapPoints[0].partner = c;
      c->snapPoints[0].partner = wall;
    }

    ElementList justA{a};
    switch (call) {
      case Call::kRelease:
        wall->ReleaseOutsideSnaps(justA);
        break;
      case Call::kDisconnect:
        wall->DisconnectSnaps(a, b, 0, 0);
        break;
      case Call::kResnapLinked:
      case Call::kResnapFree:
        wall->Resnap();
        break;
    }
    EXPECT_EQ(a->snapPoints[0].partner, b);
    EXPECT_EQ(b->snapPoints[0].partner, a);
    zelvproElement* expected = call == Call::kResnapLinked ? c : nullptr;
    EXPECT_EQ(wall->snapPoints[0].partner, expected);
    EXPECT_EQ(c->snapPoints[0].partner, call == Call::kResnapLinked ? wall : nullptr);
  }
}

TEST_F(SegmentPrintAndSnapTest, ASegmentCollectsNoDimensionLines) {
  qxRoomSegment* wall = MakeSegment(V(0, 0, 0), V(3000, 0, 0));
  std::vector<PlanAnnotation> lines;
  wall->CollectDimensionLines(lines);
  EXPECT_TRUE(lines.empty());
}

}  // namespace
