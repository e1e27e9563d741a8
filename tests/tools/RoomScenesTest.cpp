// The demo room templates that mkcatalog built with the room code: every "qxScene" record but the
// spare is a document whose room, loaded back on a room canvas, has one floor of the record's room
// type; the new document's room is a rectangle with four wall bodies.
// Disabled until the room canvas loads floors from their module records (type 1025); with that
// maker both pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxSceneFil.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iElementHost.h"
#include "elements/units/WallTopViewRecord.h"
#include "foundation/Geometry3D.h"
#include "foundation/Vcon_HandleManager.h"
#include "platform/HeadlessDriver.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/qxRoundWallTask.h"
#include "room/qxWallElement.h"
#include "room/zelvproWall.h"
#include "support/DemoSettings.h"

namespace {

class Host : public iElementHost {
 public:
  zelvDatabase* FindDatabase(int32_t identifier) override { return identifier == 1 ? db : nullptr; }
  zelvproElement* NewRoomCanvas() override { return room; }
  zelvDatabase* db = nullptr;
  zelvproElement* room = nullptr;
};

class RoomScenesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ppFileSpec file{Vcon::WString(demo_.File("catalogs/kitchen.cdb").string().c_str())};
    db_ = std::make_unique<zelvDatabase>(file);
    host_.db = db_.get();
    iElementHost::Install(&host_);
  }
  void TearDown() override {
    room_.reset();
    iElementHost::Install(nullptr);
    WallTopViewRecord::Reset();
    db_.reset();
    plat::HeadlessDriver::Reset();
  }

  // Unpacks the document and loads its room plan on a new room canvas; null when it was refused.
  qxNewRoomCanvas* Load(Handle document) {
    zelvproDocFil file(*db_);
    if (file.Unpack(document, Vcon::String()) != zelvproDocFil::UnpackResult::kAccepted) return nullptr;
    file.RoomTable().LoadFromBlob();
    room_.reset();
    room_ = std::make_unique<qxNewRoomCanvas>(nullptr, plat::RECT{0, 0, 800, 600}, db_.get());
    host_.room = room_.get();
    room_->LoadPlanModules(file.RoomTable());
    return room_.get();
  }

  // The new document's bytes in a handle the caller disposes of; null when the file is missing.
  Handle NewDocument() const {
    std::ifstream in(demo_.File("user/new.qxf"), std::ios::binary);
    if (!in) return nullptr;
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    Handle document = nullptr;
    Vcon_HandleManager::MemNew(&document, uint32_t(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), *document);
    return document;
  }
  // The top-left corner (plan x, z in millimetres) of the loaded room's wall centre lines; (inf, inf)
  // without walls.
  static ppVector2 TopLeft(const qxNewRoomCanvas& room) {
    ppVector2 corner(std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity());
    ForEachChildElement(room, [&](zelvproElement* e) {
      if (auto* wall = dynamic_cast<qxRoomSegment*>(e))
        for (const ppVector3& p : {wall->Start(), wall->End()})
          corner = ppVector2(std::min(corner.x, p.x), std::min(corner.y, p.z));
    });
    return corner;
  }

  // Loads the room shape whose "id" is `id`; null when there is none.
  qxNewRoomCanvas* LoadScene(int32_t id) {
    qxSceneFil scenes(*db_);
    scenes.SelectAll();
    for (int32_t i = 0; i < scenes.GetSelectedCount(); ++i) {
      scenes.ReadRecordAt(i, nullptr);
      if (RecordField(scenes, "id").Long(scenes.GetRecordBuffer()) != id) continue;
      Handle scene = nullptr;
      MemDuplicate(RecordField(scenes, "scene").Data(scenes.GetRecordBuffer()), &scene);
      qxNewRoomCanvas* room = Load(scene);
      MemDispose(scene);
      return room;
    }
    return nullptr;
  }

  static int32_t WallBodies(const zelvproElement& floor) {
    int32_t n = 0;
    ForEachChildElement(floor, [&](zelvproElement* e) { n += dynamic_cast<qxWallElement*>(e) != nullptr; });
    return n;
  }

  DemoSettings demo_;
  std::unique_ptr<zelvDatabase> db_;
  std::unique_ptr<qxNewRoomCanvas> room_;
  Host host_;
};

TEST_F(RoomScenesTest, EveryTemplateButTheSpareLoadsAsOneFloorOfItsRoomType) {
  qxSceneFil scenes(*db_);
  scenes.SelectAll();  // in "id" order, the spare last
  const int32_t count = scenes.GetSelectedCount();
  ASSERT_EQ(count, 15);  // types 1-9, 11, 13, 14, the arched room, the room with a piece, the spare
  std::vector<int32_t> ids;
  for (int32_t i = 0; i + 1 < count; ++i) {
    scenes.ReadRecordAt(i, nullptr);
    const int32_t id = RecordField(scenes, "id").Long(scenes.GetRecordBuffer());
    ids.push_back(id);
    Handle scene = nullptr;
    MemDuplicate(RecordField(scenes, "scene").Data(scenes.GetRecordBuffer()), &scene);
    qxNewRoomCanvas* room = Load(scene);
    MemDispose(scene);
    ASSERT_NE(room, nullptr) << id;
    ASSERT_EQ(room->CountFloors(), 1) << id;
    auto* floor = dynamic_cast<qxFloorElement*>(room->FindFloor());
    ASSERT_NE(floor, nullptr);
    // The floors of the arched shape and of the room with a piece are classified by their corners,
    // those of the rectangle.
    EXPECT_EQ(floor->RoomType(), id >= 15 ? 1 : id);
  }
  EXPECT_EQ(ids, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13, 14, 15, 16}));
}

// The "Room Shape" selector shows the templates by their previews: each offered template links a
// picture of its own walls, so the rectangle and the L-shapes look different.
TEST_F(RoomScenesTest, EveryOfferedTemplateLinksAPictureOfItsWalls) {
  qxSceneFil scenes(*db_);
  zelvproPreviewFil previews(*db_);
  scenes.SelectAll();
  std::set<std::string> pictures;
  for (int32_t i = 0; i + 1 < scenes.GetSelectedCount(); ++i) {
    scenes.ReadRecordAt(i, nullptr);
    const int32_t link = RecordField(scenes, "preview").Long(scenes.GetRecordBuffer());
    ASSERT_NE(link, 0) << i;
    previews.ReadRecord(link, nullptr);
    Handle picture = RecordField(previews, "preview").Data(previews.GetRecordBuffer());
    ASSERT_NE(picture, nullptr) << i;
    const std::string bytes(*picture, MemGetSize(picture));
    ASSERT_GT(bytes.size(), 8u) << i;
    EXPECT_EQ(bytes.substr(1, 3), "PNG") << i;
    pictures.insert(bytes);
  }
  // Templates of one shape turned differently are pictures of their own too.
  EXPECT_EQ(pictures.size(), size_t(scenes.GetSelectedCount() - 1));
}

TEST_F(RoomScenesTest, TheNewDocumentHoldsARectangleWithFourWallBodies) {
  Handle document = NewDocument();
  ASSERT_NE(document, nullptr);
  qxNewRoomCanvas* room = Load(document);
  MemDispose(document);
  ASSERT_NE(room, nullptr);
  ASSERT_EQ(room->CountFloors(), 1);
  auto* floor = dynamic_cast<qxFloorElement*>(room->FindFloor());
  EXPECT_EQ(floor->ClassifyRoomShape(), 1);
  EXPECT_EQ(WallBodies(*floor), 4);
}

// Choosing a room shape replaces the room by its template: every template's walls reach up and left
// exactly as far as those of the new document's room, so the chosen room stands where the plan's
// rulers count from and where the start plan's units stand, not a step away from them.
TEST_F(RoomScenesTest, EveryTemplateStandsWhereTheNewDocumentsRoomStands) {
  Handle document = NewDocument();
  ASSERT_NE(document, nullptr);
  qxNewRoomCanvas* start = Load(document);
  MemDispose(document);
  ASSERT_NE(start, nullptr);
  const ppVector2 place = TopLeft(*start);
  EXPECT_EQ(place.x, 1925.0f);
  EXPECT_EQ(place.y, 1925.0f);
  qxSceneFil scenes(*db_);
  scenes.SelectAll();
  ASSERT_GT(scenes.GetSelectedCount(), 0);
  for (int32_t i = 0; i < scenes.GetSelectedCount(); ++i) {
    scenes.ReadRecordAt(i, nullptr);
    const int32_t id = RecordField(scenes, "id").Long(scenes.GetRecordBuffer());
    Handle scene = nullptr;
    MemDuplicate(RecordField(scenes, "scene").Data(scenes.GetRecordBuffer()), &scene);
    qxNewRoomCanvas* room = Load(scene);
    MemDispose(scene);
    ASSERT_NE(room, nullptr) << id;
    const ppVector2 corner = TopLeft(*room);
    EXPECT_EQ(corner.x, place.x) << "template " << id;
    EXPECT_EQ(corner.y, place.y) << "template " << id;
  }
}

// The arched room shape (record 15): its right wall comes back arched, bulging 600 mm outwards from
// the middle of its 3500 mm chord, and its arc handle's drag bends that bulge to where the mouse is.
TEST_F(RoomScenesTest, TheArchedRoomShapeLoadsAnArchedWallWhoseArcDragChangesTheBulge) {
  qxNewRoomCanvas* room = LoadScene(15);
  ASSERT_NE(room, nullptr) << "no room shape 15";
  ASSERT_EQ(room->CountFloors(), 1);
  std::vector<qxRoomSegment*> arched;
  ForEachChildElement(*room, [&](zelvproElement* e) {
    if (auto* wall = dynamic_cast<qxRoomSegment*>(e); wall && wall->IsArched()) arched.push_back(wall);
  });
  ASSERT_EQ(arched.size(), 1u);
  qxRoomSegment& wall = *arched[0];
  // The point on the chord's bisector `bulge` millimetres out (+x) lies on the wall's circle.
  auto bulgesBy = [&](float bulge) {
    return std::fabs(Distance3(ppVector3(6425.0f + bulge, 0, 3675), wall.GetCenter()) - wall.GetRadius()) <
           1.0f;
  };
  EXPECT_NEAR(wall.GetRadius(), (1750.0f * 1750.0f + 600.0f * 600.0f) / 1200.0f, 1.0f);
  EXPECT_TRUE(bulgesBy(600.0f)) << "centre x " << wall.GetCenter().x << " radius " << wall.GetRadius();

  qxRoundWallTask task(&wall, room);
  plat::POINT mouse{};
  PlanPointToScreen(ppVector3(7425, 0, 3675), mouse);
  task.DrawFeedback(mouse.x, mouse.y);
  EXPECT_TRUE(bulgesBy(1000.0f)) << "centre x " << wall.GetCenter().x << " radius " << wall.GetRadius();
  EXPECT_FALSE(bulgesBy(600.0f));
}

// The room shape with a wall piece (record 16): besides the rectangle's four walls its document holds
// one module of type 9, a piece 2000 mm long, 100 mm thick and 1100 mm high, whose two ends carry
// handles; it bounds no floor.
TEST_F(RoomScenesTest, TheWallPieceRoomShapeHoldsAPieceAlongItsLine) {
  qxNewRoomCanvas* room = LoadScene(16);
  ASSERT_NE(room, nullptr) << "no room shape 16";
  EXPECT_EQ(room->CountFloors(), 1);
  std::vector<zelvproWall*> pieces;
  int32_t segments = 0;
  ForEachChildElement(*room, [&](zelvproElement* e) {
    if (auto* piece = dynamic_cast<zelvproWall*>(e)) pieces.push_back(piece);
    segments += dynamic_cast<qxRoomSegment*>(e) != nullptr;
  });
  EXPECT_EQ(segments, 4);
  ASSERT_EQ(pieces.size(), 1u);
  const zelvproWall& piece = *pieces[0];
  EXPECT_EQ(piece.kind, 9);
  EXPECT_EQ(piece.thickness, 100.0f);
  EXPECT_EQ(piece.wallHeight, 1100.0f);
  // Both ends are handles (where they lie on the plan is the room canvas tests' business).
  ASSERT_EQ(piece.snapPoints.size(), 2u);
  EXPECT_EQ(piece.snapPoints[0].code, zelvproWall::kEndHandle);
  EXPECT_EQ(piece.snapPoints[1].code, zelvproWall::kEndHandle);
  // Its outline: the length along x, half the thickness either side of the centre line.
  EXPECT_EQ(piece.OutlinePoints(), (std::vector<ppVector2>{{0, -50}, {2000, -50}, {2000, 50}, {0, 50}}));
}

}  // namespace
