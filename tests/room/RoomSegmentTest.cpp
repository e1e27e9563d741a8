// Room segments: the junction order, moving the ends with the openings in the wall, the wall
// properties as the canvas sees them, and the document record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "room/RoomTestSupport.h"
#include "foundation/Geometry3D.h"
#include "room/SegmentGeometry.h"
#include "room/WallEdge.h"

namespace {

using roomtest::RoomTest;
using V = ppVector3;

class RoomSegmentTest : public RoomTest {
 protected:
  void TearDown() override {
    doc_.reset();
    RoomTest::TearDown();
  }
  static void Set(qxRoomSegment& s, const char* name, const ppParameter& value) {
    s.SetValue(s.IndexOf(Vcon::String(name)), value);
  }
  // A plain element standing in the wall at `at`, turned by `angle`.
  static zelvproElement* AddChild(qxRoomSegment* wall, const V& at, float angle = 0.0f) {
    auto* child = new zelvproElement(0, wall, plat::RECT{0, 0, 5, 5}, nullptr, 0, 0);
    child->position = at;
    child->angle = angle;
    return child;
  }
  std::unique_ptr<zelvproDocFil> doc_;
};

class CountingSegment : public qxRoomSegment {
 public:
  using qxRoomSegment::qxRoomSegment;
  void Invalidate() override {
    ++invalidations;
    qxRoomSegment::Invalidate();
  }
  int32_t invalidations = 0;
};

TEST_F(RoomSegmentTest, JunctionsComeInOrderOfDistanceEqualOnesAsAdded) {
  qxRoomSegment* s = MakeSegment(V(0, 0, 0), V(1000, 0, 0));
  auto far = MakeJunction(V(300, 0, 0), {s});
  auto nearFirst = MakeJunction(V(100, 0, 0), {s});
  auto nearSecond = MakeJunction(V(100, 0, 0), {s});
  EXPECT_EQ(JunctionsOf(*s), (std::vector<qxJunction*>{nearFirst.get(), nearSecond.get(), far.get()}));
  // Reversed, the segment's far junction is now the nearest.
  s->SetEnds(V(1000, 0, 0), V(0, 0, 0));
  s->SortJunctions();
  EXPECT_EQ(JunctionsOf(*s).front(), far.get());
  s->ClearJunctions();
  EXPECT_EQ(s->GetFirstJunctionLink(), nullptr);
}

TEST_F(RoomSegmentTest, NewSegmentTakesTheCanvasWallValues) {
  canvas_->thickness = u"120";
  canvas_->height = u"2500";
  qxRoomSegment* s = MakeSegment(V(0, 0, 0), V(1000, 0, 0));
  EXPECT_EQ(s->GetThickness(), 120.0f);
  EXPECT_EQ(s->GetHeight(), 2500.0f);
  EXPECT_EQ(s->kind, qxRoomSegment::kKind);
  EXPECT_FALSE(s->IsArched());
}

TEST_F(RoomSegmentTest, RoundWallBulgesAFortiethOfTheChordAndRebuildsTheRoom) {
  qxRoomSegment* s = MakeSegment(V(1000, 0, 1000), V(5000, 0, 1000));
  Set(*s, "RoundWall", ppParameter(true));
  EXPECT_TRUE(s->IsArched());
  EXPECT_NEAR(s->GetRadius(), 20050.0f, 0.5f);
  // The arc's apex: from the centre through the chord's midpoint, one radius out.
  const V mid(3000, 0, 1000);
  const V toMid = mid - s->GetCenter();
  const V apex = s->GetCenter() + toMid * (s->GetRadius() / Distance3(mid, s->GetCenter()));
  EXPECT_NEAR(Distance3(apex, mid), 100.0f, 0.5f);
  const std::vector<std::pair<int32_t, intptr_t>> kRebuild = {{4033, reinterpret_cast<intptr_t>(s)},
                                                              {4034, 0}};
  EXPECT_EQ(canvas_->commands, kRebuild);
  EXPECT_TRUE(s->GetValue(s->IndexOf(Vcon::String("RoundWall"))).ToBool());
}

TEST_F(RoomSegmentTest, WallValuesTakeTheCanvasLimits) {
  qxRoomSegment* s = MakeSegment(V(0, 0, 0), V(1000, 0, 0));
  const struct {
    const char* name;
    const char16_t* text;
    float thickness, height;
  } kCases[] = {
      {"WallThickness", u"-50", 10.0f, 2350.0f},   {"WallThickness", u"6000", 5000.0f, 2350.0f},
      {"WallThickness", u"99.6", 99.6f, 2350.0f},  {"WallHeight", u"-1", 99.6f, 0.0f},
      {"WallHeight", u"200000", 99.6f, 100000.0f}, {"WallHeight", u"2400", 99.6f, 2400.0f},
  };
  for (const auto& c : kCases) {
    canvas_->commands.clear();
    Set(*s, c.name, ppParameter(c.text));
    EXPECT_FLOAT_EQ(s->GetThickness(), c.thickness)
        << c.name << " " << ppParameter(c.text).AsString().c_str();
    EXPECT_FLOAT_EQ(s->GetHeight(), c.height) << c.name;
    ASSERT_EQ(canvas_->commands.size(), 2u);
    EXPECT_EQ(canvas_->commands[0].first, 4033);
    EXPECT_EQ(canvas_->commands[1].first, 4034);
  }
}

TEST_F(RoomSegmentTest, RecordKeepsTheWallAndItsJunctionIdsButLoadsWithoutJunctions) {
  qxRoomSegment* s = MakeSegment(V(0, 0, 0), V(4000, 0, 0));
  Set(*s, "WallThickness", ppParameter(u"99.6"));
  Set(*s, "RoundWall", ppParameter(true));
  s->SetClockwise(true);
  s->MoveEndPoint(V(4000, 0, 0), V(3000, 0, 500));
  ASSERT_NE(s->PreviousEnd(), s->End());
  auto a = MakeJunction(V(0, 0, 0), {s});
  auto b = MakeJunction(V(3000, 0, 500), {s});

  doc_ = std::make_unique<zelvproDocFil>(*db_);
  zelvproDocModuleFil& module = doc_->FurnitureTable();
  s->SaveTree(module, false, 0);
  EXPECT_EQ(s->SavedStart(), s->Start());
  EXPECT_EQ(s->SavedEnd(), s->End());
  EXPECT_EQ(s->PreviousStart(), s->Start());
  EXPECT_EQ(s->PreviousEnd(), s->End());

  module.ReadRecordAt(0, nullptr);
  const char* r = module.GetRecordBuffer();
  EXPECT_EQ(RecordField(module, "type").Long(r), 1026);
  EXPECT_EQ(RecordField(module, "wallThickness", 1).Long(r), 99);
  EXPECT_EQ(RecordField(module, "circleFlags").Long(r), 3);
  const std::vector<int32_t> ids = RecordField(module, "privateData2").Words(r);
  ASSERT_GE(ids.size(), 4u);
  EXPECT_EQ(ids[0], 2);
  EXPECT_EQ(ids[2], int32_t(a->GetId()));
  EXPECT_EQ(ids[3], int32_t(b->GetId()));

  qxRoomSegment loaded(nullptr, module, false);
  EXPECT_EQ(loaded.GetThickness(), 99.0f);
  EXPECT_EQ(loaded.GetHeight(), s->GetHeight());
  EXPECT_EQ(loaded.Start(), s->Start());
  EXPECT_EQ(loaded.End(), s->End());
  EXPECT_EQ(loaded.PreviousEnd(), s->End());
  EXPECT_EQ(loaded.GetRadius(), s->GetRadius());
  EXPECT_EQ(loaded.GetCenter(), s->GetCenter());
  EXPECT_TRUE(loaded.IsArched());
  EXPECT_TRUE(loaded.IsClockwise());
  EXPECT_EQ(loaded.GetFirstJunctionLink(), nullptr);
  EXPECT_EQ(loaded.kind, qxRoomSegment::kKind);
}

TEST_F(RoomSegmentTest, MovingAnEndCarriesTheOpeningsOntoTheWallFace) {
  const float c = float(M_SQRT1_2);
  const struct {
    const char* what;
    V start, end, from, to, child, expected;
  } kCases[] = {
      // On the centre line, angle 0: the face it looks toward (z -75).
      {"end along x", V(0, 0, 0), V(4000, 0, 0), V(4000, 0, 0), V(2000, 0, 0), V(1000, 0, 0), V(500, 0, -75)},
      {"start along x", V(0, 0, 0), V(4000, 0, 0), V(0, 0, 0), V(2000, 0, 0), V(1000, 0, 0), V(2500, 0, -75)},
      // On a face already: it stays on its own side.
      {"child on the far face", V(0, 0, 0), V(4000, 0, 0), V(4000, 0, 0), V(2000, 0, 0), V(1000, 0, 75),
       V(500, 0, 75)},
      // At 45 degrees the offset is still across the wall, 75 from the centre line.
      {"45 degrees", V(0, 0, 0), V(4000 * c, 0, 4000 * c), V(4000 * c, 0, 4000 * c), V(2000 * c, 0, 2000 * c),
       V(1000 * c, 0, 1000 * c), V((500 + 75) * c, 0, (500 - 75) * c)},
      // A wall moved to no length puts its openings at its start.
      {"no length", V(0, 0, 0), V(4000, 0, 0), V(4000, 0, 0), V(0, 0, 0), V(1000, 0, 0), V(0, 0, 0)},
  };
  for (const auto& k : kCases) {
    canvas_->thickness = u"150";
    qxRoomSegment* s = MakeSegment(k.start, k.end);
    zelvproElement* child = AddChild(s, k.child);
    s->MoveEndPoint(k.from, k.to);
    EXPECT_NEAR(child->position.x, k.expected.x, 0.05f) << k.what;
    EXPECT_NEAR(child->position.z, k.expected.z, 0.05f) << k.what;
    EXPECT_TRUE(std::isfinite(child->angle)) << k.what;
    EXPECT_EQ(child->GetSupervisor(), s) << k.what;
    delete s;
  }
}

TEST_F(RoomSegmentTest, OldWallOfNoLengthKeepsTheChildsDistance) {
  roomgeo::WallMove move{V(0, 0, 0), V(0, 0, 0), V(0, 0, 0), V(2000, 0, 0), false, 100.0f};
  const V p = roomgeo::CarryAlongWall(move, V(0, 0, 0), 0.0f);
  EXPECT_FLOAT_EQ(p.x, 0.0f);
  EXPECT_FLOAT_EQ(p.z, -50.0f);
}

TEST_F(RoomSegmentTest, MovingAPointThatIsNeitherEndOnlyInvalidatesTwice) {
  auto* s = MakeSegment<CountingSegment>(V(0, 0, 0), V(4000, 0, 0));
  zelvproElement* child = AddChild(s, V(1000, 0, 0), 0.25f);
  s->invalidations = 0;
  s->MoveEndPoint(V(2000, 0, 0), V(3000, 0, 0));
  EXPECT_EQ(s->invalidations, 2);
  EXPECT_EQ(s->Start(), V(0, 0, 0));
  EXPECT_EQ(s->End(), V(4000, 0, 0));
  EXPECT_EQ(child->position, V(1000, 0, 0));
  EXPECT_EQ(child->angle, 0.25f);
}

TEST_F(RoomSegmentTest, TranslateMovesTheJunctionsItLeadsAndItsChildren) {
  qxRoomSegment* a = MakeSegment(V(0, 0, 0), V(1000, 0, 0));
  qxRoomSegment* b = MakeSegment(V(1000, 0, 0), V(1000, 0, 1000));
  auto led = MakeJunction(V(0, 0, 0), {a});
  auto shared = MakeJunction(V(1000, 0, 0), {a, b});  // b is its first link
  zelvproElement* child = AddChild(a, V(500, 0, 0));
  a->Translate(V(10, 0, 20));
  EXPECT_EQ(a->Start(), V(10, 0, 20));
  EXPECT_EQ(a->End(), V(1010, 0, 20));
  EXPECT_EQ(led->Position(), V(10, 0, 20));
  EXPECT_EQ(shared->Position(), V(1000, 0, 0));
  EXPECT_EQ(child->position, V(510, 0, 20));
}

}  // namespace

namespace roomtest {
namespace {

// The segment's faces come from its own corners: at a right-angle corner of two 150 mm walls the
// outer faces meet at the outer mitre point and the inner ones at the inner point.
TEST_F(RoomTest, SideFacesFollowTheSegmentsCorners) {
  qxRoomSegment* a = MakeSegment(ppVector3(0, 0, 0), ppVector3(1000, 0, 0));
  qxRoomSegment* b = MakeSegment(ppVector3(1000, 0, 0), ppVector3(1000, 0, 1000));
  auto start = MakeJunction(ppVector3(0, 0, 0), {a});
  auto corner = MakeJunction(ppVector3(1000, 0, 0), {a, b});
  auto end = MakeJunction(ppVector3(1000, 0, 1000), {b});
  Handle faces = a->BuildSideEdges();
  std::vector<ppVector3> ends;
  for (int32_t i = 0; i < WallEdge::CountIn(faces); ++i) {
    EXPECT_EQ(WallEdge::At(faces, i)->segment, a);
    ends.push_back(WallEdge::At(faces, i)->start);
    ends.push_back(WallEdge::At(faces, i)->end);
  }
  MemDispose(faces);
  auto has = [&](float x, float z) {
    return std::any_of(ends.begin(), ends.end(), [&](const ppVector3& p) {
      return std::fabs(p.x - x) < 0.01f && std::fabs(p.z - z) < 0.01f;
    });
  };
  EXPECT_TRUE(has(1075, -75));  // outer mitre
  EXPECT_TRUE(has(925, 75));    // inner
  EXPECT_TRUE(has(-75, 75));    // the free start's face is extended by half the thickness
  EXPECT_FALSE(has(1075, 75));  // no face runs on past the corner
}

}  // namespace
}  // namespace roomtest
