// The room's floor: a new floor's settings, properties and record, a loaded
// floor finding its room, the wall bodies it builds on its faces and hands over
// from the floor it replaces.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "elements/topview/FileSelection.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/qxSceneFil.h"
#include "elements/base/MenuCheckState.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/topview/iConfigurator.h"
#include "foundation/UserPreferences.h"
#include "framework/ppSweeper.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"
#include "room/RoomTestSupport.h"
#include "room/qxFloorElement.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxWallElement.h"

namespace {

using roomtest::RoomTest;
using V = ppVector3;

// A room canvas whose cycles the test lays by hand; it records the commands
// that reach it.
class FloorCanvas : public qxNewRoomCanvas {
 public:
  using qxNewRoomCanvas::qxNewRoomCanvas;
  // Puts `cycle` at the head of the canvas's list, which owns it.
  qxLineCycle *AddCycle(qxLineCycle *cycle) {
    cycle->next = cycles;
    cycles = cycle;
    return cycle;
  }
  void DoCommand(int32_t command, intptr_t /*parameter*/) override { commands.push_back(command); }
  void BuildInfoPanel(qxViewHolder * /*source*/) override { ++panels; }
  std::vector<int32_t> commands;
  int32_t panels = 0;
};

class FloorElementTest : public RoomTest {
 protected:
  void SetUp() override {
    RoomTest::SetUp();
    iApplicationSettings::Install(&settings_);
    room_ = std::make_unique<FloorCanvas>(nullptr, plat::RECT{0, 0, 800, 600}, db_);
  }
  void TearDown() override {
    plat::HeadlessDriver::RunUntilIdle();
    doc_.reset();
    room_.reset();
    iApplicationSettings::Install(nullptr);
    RoomTest::TearDown();
  }

  qxFloorElement *NewFloor() {
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    return new qxFloorElement(topView_, room_.get(), plat::RECT{0, 0, 10, 10},
                              db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
  }

  // The faces of a square room of `size` around (0, 0)-(size, size), starting
  // at corner `first` (0 to 3, counter-clockwise from the origin), reversed
  // when asked; one segment per face.
  qxLineCycle *Square(int32_t id, float size, int32_t first, bool reversed = false) {
    const V corners[4] = {V(0, 0, 0), V(size, 0, 0), V(size, 0, size), V(0, 0, size)};
    auto *cycle = new qxLineCycle(nullptr, id);
    cycle->flags = qxLineCycle::kClosed;
    cycle->depth = qxLineCycle::kInside;
    for (int32_t k = 0; k < 4; ++k) {
      const int32_t a = reversed ? (first - k + 8) % 4 : (first + k) % 4;
      const int32_t b = reversed ? (a + 3) % 4 : (a + 1) % 4;
      WallEdge edge;
      edge.start = corners[a], edge.end = corners[b];
      edge.segment = MakeSegment(edge.start, edge.end);
      edge.id = ++lastEdgeId_;
      cycle->AppendEdge(edge);
    }
    return room_->AddCycle(cycle);
  }

  static int32_t Index(qxFloorElement &floor, const char *name) { return floor.IndexOf(Vcon::String(name)); }

  iApplicationSettings settings_;
  std::unique_ptr<FloorCanvas> room_;
  std::unique_ptr<zelvproDocFil> doc_;
  int32_t lastEdgeId_ = 0;
};

TEST_F(FloorElementTest, NewFloorHasItsDefaultsTenPropertiesAndIgnoresTwoCommands) {
  qxFloorElement &floor = *NewFloor();
  EXPECT_EQ(floor.kind, 1025);
  EXPECT_EQ(floor.locked, 1);
  EXPECT_EQ(floor.GetValue(Index(floor, "Color")).ToLong(), 0x50505000);
  EXPECT_EQ(floor.TextureId(), 0);  // no floor colour group
  EXPECT_EQ(floor.GetPropertyCount(), 10);
  const struct {
    const char *name;
    int32_t index;
  } names[] = {{"Color", 0}, {"Texture", 1}, {"Measurement0", 2},  {"Measurement5", 7}, {"RoomType", 8},
               {"Area", 9},  {"area", -1},   {"Measurement6", -1}, {"this", -10000}};
  for (const auto &n : names) EXPECT_EQ(Index(floor, n.name), n.index) << n.name;
  Vcon::String name("x");
  floor.GetPropertyName(name, 9);
  EXPECT_EQ(name, "Area");
  floor.GetPropertyName(name, 10);
  EXPECT_EQ(name, "");

  floor.DoCommand(3042, 0);
  floor.DoCommand(3045, 0);
  floor.DoCommand(4711, 0);  // any other command goes up to the canvas
  EXPECT_EQ(room_->commands, std::vector<int32_t>{4711});
  EXPECT_EQ(floor.GetValue(0).ToLong(), 0x50505000);
}

TEST_F(FloorElementTest, NewFloorTakesTheFirstTextureOfTheFloorColourGroup) {
  // Without a database number and with one: the texture travels in the catalogue's dbId form.
  for (int32_t number : {-1, 5}) {
    SCOPED_TRACE(number);
    if (number > 0) {
      room_.reset();
      cattest::ChangeSettings(*Open("numbered.cdb"), {{"identifier", number}});
      db_ = &MakeDatabase("numbered.cdb");
      topView_ = eltest::AddRecordWith(db_->TopViewFile(), {{"ID", 900}}, {});
      room_ = std::make_unique<FloorCanvas>(nullptr, plat::RECT{0, 0, 800, 600}, db_);
    }
    ASSERT_EQ(db_->Identifier(), number);
    zelvproColorCatalogFil &colours = db_->ColorCatalogFile();
    // The first of the group by name, not by record id.
    eltest::AddRecordWith(colours, {{"colorGroup", 3}, {"name", "Aaa"}}, {});
    const int32_t pine = eltest::AddRecordWith(colours, {{"colorGroup", 7}, {"name", "Pine"}}, {});
    const int32_t first = eltest::AddRecordWith(colours, {{"colorGroup", 7}, {"name", "Ash"}}, {});
    settings_.floorColorGroup = 7;
    qxFloorElement &floor = *NewFloor();
    EXPECT_EQ(floor.TextureId(), first);
    FileSelection::Set(colours, {pine});
    colours.GoToItem(0);
    const ppParameter listed = colours.GetValueByName("dbId");  // what the texture selector hands on
    const int32_t value = floor.GetValue(Index(floor, "Texture")).ToLong();
    EXPECT_EQ(value, ppDatafile::DbIdValue(first, number).ToLong());
    floor.SetValue(Index(floor, "Texture"), listed);
    EXPECT_EQ(floor.TextureId(), pine);
    EXPECT_EQ(floor.GetValue(Index(floor, "Texture")).ToLong(), listed.ToLong());
    // A texture of another catalogue (or, without a number, a value naming none) is refused.
    floor.SetValue(Index(floor, "Texture"), ppParameter(number > 0 ? value + 1 : -value));
    EXPECT_EQ(floor.TextureId(), pine);
  }
}

// The floor's panel: a colour row, a texture row only with a floor colour group; the canvas builds
// its own panel instead while the menu's panel switch or the panel routing is on.
TEST_F(FloorElementTest, PanelHasATextureRowOnlyWithAFloorColourGroup) {
  eltest::TabRecorder configurator;
  iConfigurator::Install(&configurator);
  const struct {
    int32_t group;
    bool menuChecked, routing;
    std::vector<ConfigField::Kind> rows;  // empty: the canvas's panel
  } cases[] = {{0, false, false, {ConfigField::kColour}},
               {7, false, false, {ConfigField::kColour, ConfigField::kSelector}},
               {7, true, false, {}},
               {0, false, true, {}}};
  for (const auto &c : cases) {
    settings_.floorColorGroup = c.group;
    settings_.panelRouting = c.routing;
    SetMenuCommandChecked(3001, c.menuChecked);
    configurator.panels.clear();
    room_->panels = 0;
    qxFloorElement &floor = *NewFloor();
    floor.BuildInfoPanel(nullptr);
    EXPECT_EQ(room_->panels, c.rows.empty() ? 1 : 0) << c.group;
    if (c.rows.empty()) continue;
    ASSERT_EQ(configurator.panels.size(), 1u);
    std::vector<ConfigField::Kind> kinds;
    for (const ConfigField &f : configurator.panels[0]->fields) kinds.push_back(f.kind);
    EXPECT_EQ(kinds, c.rows) << c.group;
    EXPECT_EQ(configurator.panels[0]->fields[0].property, "Color");
    if (kinds.size() > 1) EXPECT_EQ(configurator.panels[0]->fields[1].property, "Texture");
  }
  iConfigurator::Install(nullptr);
}

TEST_F(FloorElementTest, SavedFloorLoadsWithItsColourOutlineAndRoom) {
  qxLineCycle *cycle = Square(7, 1000, 0);
  qxFloorElement &floor = *NewFloor();
  floor.SetRoom(cycle);
  host_.modifiedMarks = 0;
  floor.SetValue(Index(floor, "Color"), ppParameter(eltest::Rgba(10, 20, 30, 0)));
  EXPECT_EQ(host_.modifiedMarks, 1) << "a chosen colour is saved with the plan";
  ASSERT_NE(floor.OutlinePath().Records(), nullptr);

  doc_ = std::make_unique<zelvproDocFil>(*db_);
  zelvproDocModuleFil &module = doc_->FurnitureTable();
  floor.SaveTree(module, false, 0);
  module.ReadRecordAt(0, nullptr);
  const char *r = module.GetRecordBuffer();
  EXPECT_EQ(RecordField(module, "type").Long(r), 1025);
  EXPECT_EQ(RecordField(module, "locked").Long(r), 1);
  EXPECT_EQ(RecordField(module, "colorBgreen").Long(r), 20);
  EXPECT_EQ(RecordField(module, "under").Long(r), 7);

  auto *loaded = new qxFloorElement(room_.get(), module, false);
  EXPECT_EQ(host_.modifiedMarks, 1) << "a loaded floor";
  EXPECT_EQ(loaded->Cycle(), cycle);
  EXPECT_EQ(cycle->floor, loaded);
  EXPECT_EQ(loaded->GetValue(0).ToLong(), eltest::Rgba(10, 20, 30, 0));
  EXPECT_EQ(loaded->locked, 1);
  const Handle a = floor.OutlinePath().Records(), b = loaded->OutlinePath().Records();
  ASSERT_EQ(MemGetSize(b), MemGetSize(a));
  EXPECT_EQ(std::memcmp(*a, *b, size_t(MemGetSize(a))), 0);

  // A room id the canvas does not know leaves the floor without a room.
  RecordField(module, "under").SetLong(module.GetRecordBuffer(), 99);
  auto *lost = new qxFloorElement(room_.get(), module, false);
  EXPECT_EQ(lost->Cycle(), nullptr);
}

// A room type posts the template swap only when it differs from the room's and has a stored
// template; 12 posts a swap without a task, which only clears the selection.
TEST_F(FloorElementTest, RoomTypeChangePostsATemplateOnlyForAnotherStoredType) {
  host_.documentWindow = eltest::OpenSweeperWindow("FloorDocumentWindow");
  qxSceneFil scenes(*db_);
  eltest::AddRecordWith(scenes, {{"id", 2}}, {{"scene", {0x41424344}}});
  qxFloorElement &floor = *NewFloor();
  floor.SetRoom(Square(1, 1000, 0));
  const int32_t current = floor.GetValue(Index(floor, "RoomType")).ToLong();
  ASSERT_NE(current, 2);
  ASSERT_NE(current, 3);
  const struct {
    int32_t type;
    int32_t posted;
  } cases[] = {{current, 0}, {3, 0}, {2, 1}, {12, 1}};
  for (const auto &c : cases) {
    floor.Select(false);  // posts the canvas's own update
    const int32_t before = ppSweeper::PendingCount();
    floor.SetValue(Index(floor, "RoomType"), ppParameter(c.type));
    EXPECT_EQ(ppSweeper::PendingCount() - before, c.posted) << c.type;
    plat::HeadlessDriver::RunUntilIdle();
    EXPECT_EQ(floor.IsSelected(), c.posted == 0) << c.type;
  }
}

// The area is written with a comma for its decimals, also for a user whose preferences show numbers
// with a point.
TEST_F(FloorElementTest, AreaOfASquareMetreInEitherDirectionAndUnit) {
  const struct {
    bool reversed;
    uint32_t unit;
    char decimal, thousands;  // the user's separators
    const char *text;         // narrow Windows-1252: 0xB2 is the superscript two
  } cases[] = {{false, kUnitMillimetres, ',', '.', "1,0 m\xB2"},
               {true, kUnitMillimetres, '.', ',', "1,0 m\xB2"},
               {false, kUnitImperial, '.', ',', "10,8 ft\xB2"},
               {true, kUnitImperial, ',', '.', "10,8 ft\xB2"}};
  const UserPreferences saved = Preferences();
  for (const auto &c : cases) {
    Preferences().unitSystem = c.unit;
    SetPreferenceText(Preferences().decimalSeparator, Vcon::String(1, c.decimal));
    SetPreferenceText(Preferences().thousandsSeparator, Vcon::String(1, c.thousands));
    ApplyNumberFormats();
    qxFloorElement &floor = *NewFloor();
    floor.SetRoom(Square(3, 1000, 0, c.reversed));
    const ppParameter area = floor.GetValue(Index(floor, "Area"));
    EXPECT_EQ(area.Type(), ppParameter::kString);
    EXPECT_EQ(area.AsString(), c.text) << c.reversed << " " << c.unit << " " << c.decimal;
  }
  Preferences() = saved;
  ApplyNumberFormats();
}

TEST_F(FloorElementTest, SetRoomBuildsOneWallBodyPerFaceAtTheWallsHeight) {
  qxLineCycle *cycle = Square(1, 2000, 1);
  qxFloorElement &floor = *NewFloor();
  floor.SetRoom(cycle);
  std::vector<qxWallElement *> walls;
  for (int32_t i = 0; i < cycle->EdgeCount(); ++i) {
    const WallEdge &edge = *cycle->EdgeAt(i);
    ASSERT_NE(edge.wall, nullptr) << i;
    EXPECT_EQ(edge.wall->GetSupervisor(), &floor);
    EXPECT_EQ(edge.wall->Edge().start, edge.start);
    EXPECT_EQ(edge.wall->Edge().end, edge.end);
    EXPECT_EQ(edge.wall->GetHeight(), edge.segment->GetHeight());
    walls.push_back(edge.wall);
  }
  EXPECT_EQ(floor.Subviews().Count(), 4);
  ppVector2 size;
  floor.GetOutlineExtent(size);
  EXPECT_EQ(size.x, 2000.0f);
  EXPECT_EQ(size.y, 2000.0f);
}

// The old room and the rebuilt one run from different corners; each new wall
// body must take the colour of the old one on the same face, whichever corner
// the walk starts from.
TEST_F(FloorElementTest, AdoptWallsFromCopiesEveryFaceOfARebuiltRoom) {
  const struct {
    int32_t mode;
    bool matchStart;
    int32_t corner;
  } cases[] = {{0, true, 2}, {0, false, 3}, {1, true, 1}, {1, false, 0}};
  for (const auto &c : cases) {
    qxFloorElement &old = *NewFloor();
    old.SetRoom(Square(1, 1000, 0));
    for (int32_t i = 0; i < 4; ++i) {
      qxWallElement *wall = old.Cycle()->EdgeAt(i)->wall;
      wall->SetValue(wall->IndexOf(Vcon::String("Color")), ppParameter(eltest::Rgba(10 + i, 20, 30, 0)));
    }
    qxFloorElement &rebuilt = *NewFloor();
    rebuilt.SetRoom(Square(2, 1000, 3));
    const V corners[4] = {V(0, 0, 0), V(1000, 0, 0), V(1000, 0, 1000), V(0, 0, 1000)};
    rebuilt.AdoptWallsFrom(&old, corners[c.corner], c.matchStart, c.mode);
    for (int32_t i = 0; i < 4; ++i) {
      const WallEdge &face = *rebuilt.Cycle()->EdgeAt(i);
      int32_t same = 0;
      while (!(old.Cycle()->EdgeAt(same)->start == face.start)) ++same;
      EXPECT_EQ(face.wall->Red(), old.Cycle()->EdgeAt(same)->wall->Red())
          << "mode " << c.mode << " start " << c.matchStart << " face " << i;
    }
  }
}

TEST_F(FloorElementTest, AdoptWallsFromAnEmptyFloorChangesNothing) {
  auto *none = new qxLineCycle(nullptr, 5);
  room_->AddCycle(none);
  qxFloorElement &empty = *NewFloor();
  empty.SetRoom(none);
  qxFloorElement &room = *NewFloor();
  room.SetRoom(Square(1, 1000, 0));
  const int32_t red = room.Cycle()->EdgeAt(0)->wall->Red();
  room.AdoptWallsFrom(&empty, V(0, 0, 0), true, 1);
  empty.AdoptWallsFrom(&room, V(0, 0, 0), true, 1);
  EXPECT_EQ(room.Cycle()->EdgeAt(0)->wall->Red(), red);
  EXPECT_EQ(empty.Subviews().Count(), 0);
}

}  // namespace

namespace {

// A press hits the floor inside its room and on its walls (the walls' own regions), nowhere else.
TEST_F(FloorElementTest, HitTestCoversTheRoomAndItsWalls) {
  host_.palette->SetScale(10.0);  // millimetres per pixel
  qxFloorElement &floor = *NewFloor();
  floor.SetRoom(Square(1, 1000, 0));
  const struct {
    V plan;
    bool hit;
  } cases[] = {{V(500, 0, 500), true},
               {V(500, 0, -40), true},
               {V(-40, 0, 500), true},
               {V(3000, 0, 500), false},
               {V(500, 0, 1300), false}};
  for (const auto &c : cases) {
    plat::POINT p{};
    PlanPointToScreen(c.plan, p);
    EXPECT_EQ(floor.ContainsPoint(p.x, p.y), c.hit) << c.plan.x << ", " << c.plan.z;
  }
}

}  // namespace
