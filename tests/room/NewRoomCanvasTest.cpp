// The new-room canvas: its own record and outline table, the module table it loads, its room-wide
// properties, its panel, the offsets of its children and the plan bounds of the outline.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "catalogue/records/qxLineSegmentFil.h"
#include "catalogue/records/qxSceneFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "database/HandleList.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/topview/iConfigurator.h"
#include "elements/units/WallTopViewRecord.h"
#include "foundation/Geometry3D.h"
#include "foundation/TextsById.h"
#include "framework/ppPropertyBinding.h"
#include "platform/HeadlessDriver.h"
#include "room/RoomTestSupport.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxWallElement.h"

namespace {

using roomtest::RoomTest;
using V = ppVector3;

// A room canvas that records the commands it is sent (the rebuild is another part's), and lets the
// tests set its corners and cycles.
class TestRoomCanvas : public qxNewRoomCanvas {
 public:
  explicit TestRoomCanvas(zelvDatabase* db) : qxNewRoomCanvas(nullptr, plat::RECT{0, 0, 800, 600}, db) {}
  void DoCommand(int32_t command, intptr_t /*parameter*/) override { commands.push_back(command); }
  void SetOutline(qxJunction* chain, qxLineCycle* list) { junctions = chain, cycles = list; }
  std::vector<int32_t> commands;
};

class CountingEditor : public iPlanEditor {
 public:
  void Invalidate() override { ++invalidated; }
  int32_t invalidated = 0;
};

// Hears the room-wide wall values on channel 1004: (message, millimetres).
class WallListener : public ppCollaborator {
 public:
  WallListener() {
    Subscribe(qxNewRoomCanvas::kWallChannel, qxNewRoomCanvas::kAllWallHeights);
    Subscribe(qxNewRoomCanvas::kWallChannel, qxNewRoomCanvas::kAllWallThicknesses);
  }
  void ReceiveMessage(ppCollaborator*, int32_t, int32_t id, intptr_t parameter) override {
    heard.emplace_back(id, *reinterpret_cast<const float*>(parameter));
  }
  std::vector<std::pair<int32_t, float>> heard;
};

// Texts 7001-7006 as "#n", but 7002 is empty in this language.
class RoomTexts : public iTextSource {
 public:
  bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
    if (number < 7001 || number > 7006) return false;
    text = number == 7002 ? Vcon::WString() : WideFromNarrow(("#" + std::to_string(number)).c_str());
    return true;
  }
};

float FloatField(ppDatafile& file, const char* name) {
  ppParameter value;
  file.GetFieldValue(RecordField(file, name).Index(), value, file.GetRecordBuffer());
  return value.ToFloat();
}

int32_t LongField(ppDatafile& file, const char* name) {
  return RecordField(file, name).Long(file.GetRecordBuffer());
}

class NewRoomCanvasTest : public RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    WallTopViewRecord::Reset();
    settings_.flags1 = iApplicationSettings::kRoomGridOn;
    iApplicationSettings::Install(&settings_);
    room_ = std::make_unique<TestRoomCanvas>(db_);
    doc_ = std::make_unique<zelvproDocFil>(*db_);
  }
  void TearDown() override {
    loaded_.reset();
    room_.reset();
    doc_.reset();
    iApplicationSettings::Install(nullptr);
    RoomTest::TearDown();
  }

  qxRoomSegment* AddSegment(ppView* parent, const V& start, const V& end) {
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    auto* segment = new qxRoomSegment(topView_, parent, plat::RECT{0, 0, 10, 10},
                                      db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
    segment->SetEnds(start, end);
    return segment;
  }
  qxWallElement* AddWall(const WallEdge& edge) {
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    return new qxWallElement(topView_, room_.get(), plat::RECT{0, 0, 10, 10},
                             db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile(), edge);
  }
  void Set(const char* name, const ppParameter& value) {
    room_->SetValue(room_->IndexOf(Vcon::String(name)), value);
  }
  ppParameter Get(const char* name) { return room_->GetValue(room_->IndexOf(Vcon::String(name))); }

  // The plan's module table after saving the room canvas with its children.
  zelvproDocModuleFil& Save() {
    zelvproDocModuleFil& module = doc_->RoomTable();
    room_->SaveTree(module, false, 0);
    return module;
  }
  TestRoomCanvas& Load(ppDatafile& module) {
    loaded_ = std::make_unique<TestRoomCanvas>(db_);
    loaded_->LoadPlanModules(module);
    return *loaded_;
  }
  static std::vector<std::pair<int32_t, int32_t>> CycleShape(const qxNewRoomCanvas& canvas) {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (qxLineCycle* c = canvas.Cycles(); c != nullptr; c = c->next) out.emplace_back(c->id, c->EdgeCount());
    return out;
  }

  iApplicationSettings settings_;
  std::unique_ptr<zelvproDocFil> doc_;
  std::unique_ptr<TestRoomCanvas> room_, loaded_;
};

TEST_F(NewRoomCanvasTest, CanvasRecordKeepsWallValuesAndTheGridUnlessItHasNoGridSize) {
  Set("WallThickness", ppParameter(u"150.7"));
  zelvproDocModuleFil& module = Save();
  module.ReadRecordAt(0, nullptr);
  EXPECT_EQ(LongField(module, "type"), -1);
  EXPECT_EQ(RecordField(module, "wallThickness", 1).Long(module.GetRecordBuffer()), 150);
  EXPECT_EQ(LongField(module, "wallHeight"), 2350);
  EXPECT_EQ(LongField(module, "heightAboveFloor"), 222);
  EXPECT_EQ(LongField(module, "showName"), 333);
  EXPECT_EQ(FloatField(module, "radius"), 500.0f);
  EXPECT_EQ(LongField(module, "circleFlags"), 1);

  struct {
    float radius;
    int32_t circleFlags;
    bool grid;
    float size;
  } const kCases[] = {{750.0f, 0, false, 750.0f}, {0.0f, 0, true, 300.0f}};
  for (const auto& c : kCases) {
    module.SetFieldValue(RecordField(module, "radius").Index(), ppParameter(c.radius),
                         module.GetRecordBuffer());
    RecordField(module, "circleFlags").SetLong(module.GetRecordBuffer(), c.circleFlags);
    TestRoomCanvas reader(db_);
    reader.SetValue(reader.IndexOf(Vcon::String("GridSize")), ppParameter(u"300"));
    reader.ReadCanvasRecord(module);
    EXPECT_EQ(reader.WallThickness(), 150.0f);
    EXPECT_EQ(reader.WallHeight(), 2350.0f);
    EXPECT_EQ(reader.GridEnabled(), c.grid) << c.radius;
    EXPECT_EQ(reader.GridSize(), c.size) << c.radius;
  }
}

TEST_F(NewRoomCanvasTest, OutlineTableRoundTripsTwoCyclesOfARectangleRoom) {
  // A 4000 x 3000 room: the faces inside (cycle depth 1) and outside (depth 0) of its four walls;
  // clear of the 500 mm margin, so that loading leaves it in place.
  const V corners[] = {V(1000, 0, 1000), V(5000, 0, 1000), V(5000, 0, 4000), V(1000, 0, 4000)};
  std::vector<qxRoomSegment*> walls;
  qxJunction* chain = nullptr;
  for (int32_t i = 0; i < 4; ++i) {
    walls.push_back(AddSegment(room_.get(), corners[i], corners[(i + 1) % 4]));
    chain = new qxJunction(chain);
    chain->SetPosition(corners[i]);
  }
  std::vector<qxJunction*> junctions;
  for (qxJunction* j = chain; j != nullptr; j = j->GetNext()) junctions.insert(junctions.begin(), j);
  auto* outer = new qxLineCycle(nullptr, 21);
  auto* inner = new qxLineCycle(outer, 20);
  inner->depth = 1, inner->flags = outer->flags = qxLineCycle::kClosed;
  for (int32_t i = 0; i < 8; ++i) {
    WallEdge e;
    e.id = 100 + i;
    e.segment = walls[i % 4];
    e.start = corners[i % 4], e.end = corners[(i + 1) % 4];
    e.startJunction = junctions[i % 4];
    e.endJunction = i == 7 ? nullptr : junctions[(i + 1) % 4];
    e.clockwise = i == 1, e.arched = i == 2, e.extra = i == 3;
    e.radius = float(i);
    (i < 4 ? inner : outer)->AppendEdge(e);
  }
  room_->SetOutline(chain, inner);
  qxWallElement* body = AddWall(*inner->EdgeAt(0));
  inner->EdgeAt(0)->wall = body;

  zelvproDocModuleFil& module = Save();
  module.ReadRecordAt(0, nullptr);
  Handle blob = RecordField(module, "privateData2").Data(module.GetRecordBuffer());
  qxLineSegmentFil table(*db_, blob);
  table.LoadFromBlob();
  ASSERT_EQ(table.GetRecordCount(), 8);
  for (int32_t i = 0; i < 8; ++i) {
    table.ReadRecordAt(i, nullptr);
    EXPECT_EQ(LongField(table, "id"), 100 + i);
    EXPECT_EQ(LongField(table, "cycle"), i < 4 ? 20 : 21);
    EXPECT_EQ(LongField(table, "cycleDepth"), i < 4 ? 1 : 0);
    EXPECT_EQ(LongField(table, "segment"), walls[i % 4]->GetSaveId());
    EXPECT_EQ(LongField(table, "startJct"), int32_t(junctions[i % 4]->GetId()));
    EXPECT_EQ(LongField(table, "endJct"), i == 7 ? 0 : int32_t(junctions[(i + 1) % 4]->GetId()));
    EXPECT_EQ(LongField(table, "circleFlags"), i == 1 ? 1 : i == 2 ? 2 : i == 3 ? 4 : 0) << i;
    EXPECT_EQ(FloatField(table, "endPt.z"), corners[(i + 1) % 4].z);
    EXPECT_EQ(LongField(table, "wall"), i == 0 ? body->GetSaveId() : 0);
  }

  // Read back: the cycles in reverse record order, each face bound to its loaded wall; no corners
  // until the room is rebuilt.
  TestRoomCanvas& loaded = Load(module);
  EXPECT_EQ(CycleShape(loaded), (std::vector<std::pair<int32_t, int32_t>>{{21, 4}, {20, 4}}));
  for (int32_t i = 0; i < 8; ++i) {
    const WallEdge* e = loaded.FindEdgeById(100 + i);
    ASSERT_NE(e, nullptr);
    ASSERT_NE(e->segment, nullptr);
    EXPECT_EQ(e->segment->GetSaveId(), walls[i % 4]->GetSaveId());
    EXPECT_EQ(e->segment->GetSupervisor(), &loaded);
    EXPECT_EQ(e->startJunction, nullptr);
    EXPECT_EQ(e->endJunction, nullptr);
    EXPECT_EQ(std::tuple(e->clockwise, e->arched, e->extra), std::tuple(i == 1, i == 2, i == 3));
    EXPECT_EQ(e->radius, float(i));
    EXPECT_EQ(e->end, corners[(i + 1) % 4]);
    EXPECT_EQ(e->wall != nullptr ? e->wall->GetSaveId() : 0, i == 0 ? body->GetSaveId() : 0);
  }
  EXPECT_EQ(loaded.FindCycleById(20)->depth, 1u);
  EXPECT_EQ(loaded.FindCycleById(21)->depth, 0u);
  EXPECT_TRUE(loaded.commands.empty());
}

TEST_F(NewRoomCanvasTest, OutlineCyclesFollowTheRecordsCycleValues) {
  auto* second = new qxLineCycle(nullptr, 8);
  auto* first = new qxLineCycle(second, 5);
  for (int32_t id : {1, 2}) first->AppendEdge(WallEdge{.id = id});
  second->AppendEdge(WallEdge{.id = 3});
  room_->SetOutline(nullptr, first);
  TestRoomCanvas& loaded = Load(Save());
  EXPECT_EQ(CycleShape(loaded), (std::vector<std::pair<int32_t, int32_t>>{{8, 1}, {5, 2}}));
  EXPECT_EQ(loaded.Cycles()->next->EdgeAt(0)->id, 1);
  EXPECT_EQ(loaded.Cycles()->next->EdgeAt(1)->id, 2);
}

TEST_F(NewRoomCanvasTest, SettersClampAndGridChangesRedrawTheEditor) {
  CountingEditor editor;
  room_->SetEditor(&editor);
  struct {
    const char* name;
    const char16_t* text;
    float thickness, height;
    int32_t redraws;
  } const kCases[] = {
      {"WallThickness", u"-5", 10.0f, 2350.0f, 0},    {"WallThickness", u"6000", 5000.0f, 2350.0f, 0},
      {"WallThickness", u"99.5", 99.5f, 2350.0f, 0},  {"WallHeight", u"-5", 99.5f, 0.0f, 0},
      {"WallHeight", u"200000", 99.5f, 100000.0f, 0}, {"GridSize", u"250", 99.5f, 100000.0f, 1},
  };
  for (const auto& c : kCases) {
    editor.invalidated = 0;
    Set(c.name, ppParameter(c.text));
    EXPECT_FLOAT_EQ(room_->WallThickness(), c.thickness) << c.name;
    EXPECT_FLOAT_EQ(room_->WallHeight(), c.height) << c.name;
    EXPECT_EQ(editor.invalidated, c.redraws) << c.name;
  }
  EXPECT_EQ(room_->GridSize(), 250.0f);
  editor.invalidated = 0;
  Set("ShowNumbers", ppParameter(true));
  Set("GridEnabled", ppParameter(false));
  EXPECT_TRUE(Get("ShowNumbers").ToBool());
  EXPECT_FALSE(room_->GridEnabled());
  EXPECT_EQ(editor.invalidated, 2);
  EXPECT_TRUE(room_->commands.empty());
  room_->SetEditor(nullptr);
}

TEST_F(NewRoomCanvasTest, AllWallValuesGoToEveryWallThenTheRoomIsRebuilt) {
  qxRoomSegment* segment = AddSegment(room_.get(), V(0, 0, 0), V(4000, 0, 0));
  qxWallElement* body = AddWall(WallEdge{.segment = segment});
  WallListener walls;
  Set("AllWallHeights", ppParameter(u"2600"));
  Set("AllWallThicknesses", ppParameter(u"6000"));
  const std::vector<std::pair<int32_t, float>> kHeard = {{1020, 2600.0f}, {1021, 5000.0f}};
  EXPECT_EQ(walls.heard, kHeard);
  EXPECT_EQ(room_->commands, (std::vector<int32_t>{4033, 4034, 4033, 4034}));
  EXPECT_EQ(room_->WallHeight(), 2600.0f);
  EXPECT_EQ(body->GetHeight(), 2600.0f);
  EXPECT_EQ(segment->GetHeight(), 2600.0f);
  EXPECT_EQ(segment->GetThickness(), 5000.0f);
}

// The room's values typed in its panels change the plan, and so do their Undo and Redo; a default
// set to what it was does not.
TEST_F(NewRoomCanvasTest, RoomValuesTypedOrUndoneMarkThePlanChanged) {
  qxRoomSegment* segment = AddSegment(room_.get(), V(0, 0, 0), V(4000, 0, 0));
  AddWall(WallEdge{.segment = segment});
  host_.modifiedMarks = 0;
  Set("WallHeight", Get("WallHeight"));
  EXPECT_EQ(host_.modifiedMarks, 0) << "the same default again";

  // The room panel's Wall Height is undoable on the canvas's own history.
  ppPropertyBinding height(room_.get(), "AllWallHeights", true);
  height.SetValue(ppParameter(u"2600"), true);
  EXPECT_EQ(host_.modifiedMarks, 1);
  room_->Undo();
  EXPECT_EQ(segment->GetHeight(), 2350.0f);
  EXPECT_EQ(host_.modifiedMarks, 2) << "undone";
  room_->Redo();
  EXPECT_EQ(segment->GetHeight(), 2600.0f);
  EXPECT_EQ(host_.modifiedMarks, 3) << "redone";

  Set("WallThickness", ppParameter(u"200"));
  EXPECT_EQ(host_.modifiedMarks, 4) << "the default of new walls is saved with the plan";
  segment->SetValue(segment->IndexOf(Vcon::String("WallThickness")), ppParameter(u"300"));
  EXPECT_EQ(host_.modifiedMarks, 5) << "one wall's own thickness";
}

TEST_F(NewRoomCanvasTest, ModuleTablesMakeTheRoomsElementsAndConvertOldPolygons) {
  zelvproDocModuleFil& module = doc_->RoomTable();
  room_->SaveTree(module, false, 0);  // the canvas's own record
  const int32_t canvasId = room_->GetSaveId();
  auto addPolygon = [&](const std::vector<float>& xz) {
    char* r = module.GetRecordBuffer();
    module.ClearRecordBuffer(r);
    RecordField(module, "type").SetLong(r, 2);
    RecordField(module, "parent").SetLong(r, canvasId);
    RecordField(module, "wallThickness").SetDouble(r, 200.0);
    RecordField(module, "height").SetDouble(r, 2500.0);
    RecordField(module, "xposition").SetDouble(r, 1100.0);
    RecordField(module, "zposition").SetDouble(r, 1200.0);
    Handle points = RecordField(module, "points").Data(r);
    MemSetSize(points, uint32_t(xz.size() * sizeof(float)));
    if (!xz.empty()) std::memcpy(*points, xz.data(), xz.size() * sizeof(float));
    module.InsertRecordAt(-1, r);
  };
  auto addSegment = [&](int32_t id) {
    qxRoomSegment* s = AddSegment(nullptr, V(1000, 0, 1000), V(2000, 0, 1000));
    s->saveId = id;
    s->SaveTree(module, false, 0);
    delete s;
    const int32_t last = module.GetRecordCount() - 1;
    module.ReadRecordAt(last, nullptr);
    RecordField(module, "parent").SetLong(module.GetRecordBuffer(), canvasId);
    module.WriteRecordAt(last, nullptr);
  };
  auto addOther = [&](int32_t type) {
    module.ClearRecordBuffer(nullptr);
    RecordField(module, "type").SetLong(module.GetRecordBuffer(), type);
    module.InsertRecordAt(-1, nullptr);
  };
  struct Case {
    const char* what;
    std::function<void()> fill;
    int32_t segments, nextSaveId;
    std::vector<int32_t> commands;
  } const kCases[] = {
      {"segments 7 and 3", [&] { addSegment(7), addSegment(3); }, 2, 9, {}},
      {"old square room",
       [&] {
         addPolygon({0, 0, 4000, 0, 4000, 3000, 0, 3000});
       },
       4,
       -1,
       {4033, 4034}},
      {"two points",
       [&] {
         addPolygon({0, 0, 4000, 0});
       },
       0,
       0,
       {}},
      {"a broken point",
       [&] {
         addPolygon({0, 0, 4000, 0, 4000, 3000, 7});
       },
       0,
       0,
       {}},
      {"unknown kinds", [&] { addOther(77), addOther(-5); }, 0, 0, {}},
  };
  for (const Case& c : kCases) {
    while (module.GetRecordCount() > 1) module.DeleteRecordAt(1);
    c.fill();
    TestRoomCanvas& loaded = Load(module);
    int32_t segments = 0;
    std::vector<qxRoomSegment*> made;
    for (int32_t i = 0; i < loaded.Subviews().Count(); ++i)
      if (auto* s = dynamic_cast<qxRoomSegment*>(loaded.Subviews().At(i))) made.push_back(s), ++segments;
    EXPECT_EQ(segments, c.segments) << c.what;
    if (c.nextSaveId >= 0) EXPECT_EQ(loaded.NextSaveId(), c.nextSaveId) << c.what;
    EXPECT_EQ(loaded.commands, c.commands) << c.what;
    if (c.segments != 4) continue;
    // Without the catalogue's wall record the walls are made of record 0, moved by the polygon's
    // position and by half a wall thickness sideways, and closed.
    EXPECT_EQ(loaded.WallThickness(), 200.0f);
    for (size_t i = 0; i < made.size(); ++i) {
      EXPECT_EQ(made[i]->recordId, 0);
      EXPECT_FLOAT_EQ(made[i]->GetThickness(), 200.0f);
      EXPECT_EQ(made[i]->End(), made[(i + 1) % 4]->Start());
      EXPECT_NEAR(Distance3(made[i]->Start(),
                            V(1100, 0, 1200) + V(i == 1 || i == 2 ? 4000 : 0, 0, i >= 2 ? 3000 : 0)),
                  100.0f * std::sqrt(2.0f), 0.01f);
    }
  }
}

TEST_F(NewRoomCanvasTest, OffsetMovesEveryChildButTheWallSegments) {
  qxRoomSegment* segment = AddSegment(room_.get(), V(0, 0, 0), V(1000, 0, 0));
  segment->position = V(5, 0, 5);
  auto* body = new zelvproElement(0, room_.get(), plat::RECT{0, 0, 1, 1}, nullptr, 0, 0);
  body->kind = 1024;
  body->position = V(10, 0, 20);
  room_->OffsetTopViewChildren(V(100, 0, -50));
  EXPECT_EQ(body->position, V(110, 0, -30));
  EXPECT_EQ(segment->position, V(5, 0, 5));
  EXPECT_EQ(segment->Start(), V(0, 0, 0));
}

TEST_F(NewRoomCanvasTest, BoundsCoverTheWallEndsAndTheArcsMiddle) {
  struct Case {
    const char* what;
    V start, end;
    float radius;  // 0: straight
    V centre;
    bool clockwise;
    ppVector2 low, high;
  } const kCases[] = {
      {"no wall", V(), V(), -1, V(), false, ppVector2(0, 0), ppVector2(10000, 6000)},
      {"straight", V(1000, 0, 2000), V(4000, 0, 2000), 0, V(), false, ppVector2(1000, 2000),
       ppVector2(4000, 2000)},
      // A quarter of the circle bulging away from its centre at (0, 0, 3000).
      {"bulge", V(-3000, 0, 0), V(3000, 0, 0), std::sqrt(18.0e6f), V(0, 0, 3000), false,
       ppVector2(-3000, -(std::sqrt(18.0e6f) - 3000)), ppVector2(3000, 0)},
      {"half circle", V(0, 0, 0), V(4000, 0, 0), 2000, V(2000, 0, 0), false, ppVector2(0, -2000),
       ppVector2(4000, 0)},
      {"half circle clockwise", V(0, 0, 0), V(4000, 0, 0), 2000, V(2000, 0, 0), true, ppVector2(0, 0),
       ppVector2(4000, 2000)},
  };
  for (const Case& c : kCases) {
    auto* cycle = new qxLineCycle(nullptr, 1);
    if (c.radius >= 0) {
      qxRoomSegment* s = AddSegment(room_.get(), c.start, c.end);
      if (c.radius > 0) {
        s->SetValue(s->IndexOf(Vcon::String("RoundWall")), ppParameter(true));
        s->SetRadius(c.radius), s->SetCenter(c.centre), s->SetClockwise(c.clockwise);
      }
      cycle->AppendEdge(WallEdge{.segment = s});
    }
    cycle->AppendEdge(WallEdge{});  // a face without a segment adds nothing
    room_->ClearRoom();
    room_->SetOutline(nullptr, cycle);
    ppVector2 corners[4];
    room_->ComputeBounds(corners);
    const ppVector2 expected[4] = {c.low, ppVector2(c.low.x, c.high.y), c.high, ppVector2(c.high.x, c.low.y)};
    for (int32_t i = 0; i < 4; ++i) {
      EXPECT_NEAR(corners[i].x, expected[i].x, 0.5f) << c.what << " corner " << i;
      EXPECT_NEAR(corners[i].y, expected[i].y, 0.5f) << c.what << " corner " << i;
    }
  }
}

TEST_F(NewRoomCanvasTest, PanelOffersEveryRoomShapeButTheLastOnlyWithAFloor) {
  eltest::TabRecorder configurator;
  RoomTexts texts;
  iConfigurator::Install(&configurator);
  SetTextSource(&texts);
  qxSceneFil scenes(*db_);
  for (const char* name : {"L", "U", "last"}) cattest::AddRecord(scenes, {{"name", name}});
  // Each row as kind:text[:property].
  auto rows = [&] {
    std::vector<std::string> out;
    for (const ConfigField& f : configurator.panels.at(0)->fields)
      out.push_back(std::to_string(f.kind) + ":" + NarrowFromWide(f.text).c_str() +
                    (f.property.empty() ? "" : std::string(":") + f.property.c_str()));
    return out;
  };
  room_->BuildInfoPanel(nullptr);
  EXPECT_EQ(rows(), (std::vector<std::string>{"0:#7005", "0:#7006"}));

  auto* floor = new zelvproElement(0, room_.get(), plat::RECT{0, 0, 1, 1}, nullptr, 0, 0);
  floor->kind = 1025;
  room_->BuildInfoPanel(nullptr);
  EXPECT_TRUE(floor->IsSelected());
  EXPECT_EQ(rows(), (std::vector<std::string>{"0:#7001", "4:Room Shape:RoomType", "0:#7003", "0:#7004",
                                              "3:Wall Height:AllWallHeights", "0:#7005", "0:#7006"}));
  const ConfigField& shapes = configurator.panels[0]->fields[1];
  EXPECT_EQ(shapes.target, floor);
  ASSERT_NE(shapes.list, nullptr);
  EXPECT_EQ(HandleList::Count(shapes.list->GetSelection()), 2u);
  const ConfigField& height = configurator.panels[0]->fields[4];
  EXPECT_EQ(height.target, room_.get());
  EXPECT_EQ(std::tuple(height.columnWidth, height.undoable, height.selectAll), std::tuple(40, true, true));
  configurator.panels.clear();
  iConfigurator::Install(nullptr);
  SetTextSource(nullptr);
}

}  // namespace
