// The room canvas as an editor: deleting the selection, the child order after edits and commands
// sent to every child, the painted room (background, grid, outline), the printed page with the
// drawing export's LINEs, and a press on a room without a floor.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <utility>
#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/iPlanEditor.h"
#include "elements/base/qxViewHolder.h"
#include "elements/topview/iPrintSettings.h"
#include "foundation/OwnedHandle.h"
#include "framework/TestCanvas.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "framework/ppTask.h"
#include "room/RoomTestSupport.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"

namespace {

using V = ppVector3;

const ppRGBColor kBackground{200, 220, 240}, kGrid{0, 0, 192};

class RoomColours : public ppApplication {
 public:
  RoomColours() : ppApplication(nullptr, nullptr) { gApplication = this; }
  ~RoomColours() override { gApplication = nullptr; }
  ppRGBColor GetColor(int32_t id) override {
    if (id == qxNewRoomCanvas::kBackgroundColour) return kBackground;
    return id == qxNewRoomCanvas::kGridColour ? kGrid : ppRGBColor{255, 255, 255};
  }
};

// Deletes exactly the elements of the selection it was given.
class DeleteTask : public ppTask {
 public:
  void Do() override {
    for (zelvproElement* e : elements) {
      e->DetachFromSupervisor();
      delete e;
    }
  }
  std::vector<zelvproElement*> elements;
};

class PasteTask : public ppTask {
 public:
  void Do() override { ++done; }
  int32_t done = 0;
};

// Its delete task deletes the selection it is given; its paste task records its chain.
class TaskFactory : public iElementTaskFactory {
 public:
  ppTask* NewDeleteTask(zelvproCanvas* /*canvas*/, const qxViewHolder* selection) override {
    auto* task = new DeleteTask;
    for (const qxViewHolder* h = selection; h != nullptr; h = h->Next())
      task->elements.push_back(h->Element());
    return task;
  }
  ppTask* NewPasteTask(zelvproCanvas* /*canvas*/, qxViewHolder* made, int32_t /*flag*/) override {
    for (qxViewHolder* h = made; h != nullptr; h = h->Next()) pasted.push_back(h->Element());
    delete made;
    paste = new PasteTask;
    return paste;
  }
  std::vector<zelvproElement*> pasted;
  PasteTask* paste = nullptr;
};

// A document window whose copy datafile the room canvas builds from.
class PasteHost : public eltest::RecordingHost {
 public:
  ppDatafile* CopyDatafile(zelvproCanvas* /*canvas*/) override { return copy; }
  void ShowDefaultConfigurator() override { ++configurators; }
  ppDatafile* copy = nullptr;
  int32_t configurators = 0;
};

class PageSettings : public iPrintSettings {
 public:
  PrintPageFields PageFields(int32_t /*page*/) override { return page; }
  void PrintHeader(ppDC& /*dc*/, int32_t /*page*/) override { ++headers; }
  void MarkPageDone(int32_t /*page*/) override { page.done = true; }
  PrintPageFields page;
  int32_t headers = 0;
};

// A child of a given kind that records the commands it is sent.
class Probe : public zelvproElement {
 public:
  Probe(ppView* parent, int32_t k) : zelvproElement(0, parent, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0) {
    kind = k;
  }
  void DoCommand(int32_t command, intptr_t /*parameter*/) override { commands.push_back(command); }
  std::vector<int32_t> commands;
};

// A room canvas that runs the corner steps of a rebuild (corners, side faces, cycles) without floors.
class Room : public roomtest::CornerRoom {
 public:
  Room(zelvDatabase* db, const plat::RECT& frame) : CornerRoom(db, frame) {}

  // The outline becomes `cycle` alone.
  void SetCycles(qxLineCycle* cycle) {
    delete cycles;
    cycles = cycle;
  }
  void SetGrid(bool on, float size) {
    gridEnabled = on ? 1 : 0;
    gridSize = size;
  }
};

class RoomCanvasCommandsTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    RoomTest::SetUp();
    host_.palette->SetScale(10.0);  // millimetres per pixel
    iApplicationSettings::Install(&settings_);
    iElementTaskFactory::Install(&factory_);
    iPrintSettings::Install(&print_);
    room_ = std::make_unique<Room>(db_, plat::RECT{0, 0, 300, 200});
  }
  void TearDown() override {
    room_.reset();
    iPrintSettings::Install(nullptr);
    iApplicationSettings::Install(nullptr);
    RoomTest::TearDown();
  }

  qxRoomSegment* Wall(const V& start, const V& end) { return MakeSegment(start, end, room_.get()); }

  // Walls round the rectangle (x, z)-(x + w, z + d) with the room's corners and cycles.
  std::vector<qxRoomSegment*> RectangleRoom(float x, float z, float w, float d) {
    const V c[] = {V(x, 0, z), V(x + w, 0, z), V(x + w, 0, z + d), V(x, 0, z + d)};
    std::vector<qxRoomSegment*> walls;
    for (int i = 0; i < 4; ++i) walls.push_back(Wall(c[i], c[(i + 1) % 4]));
    room_->RebuildCorners();
    return walls;
  }

  std::vector<ppView*> Children() const {
    std::vector<ppView*> out;
    for (int32_t i = 0; i < room_->Subviews().Count(); ++i) out.push_back(room_->Subviews().At(i));
    return out;
  }

  RoomColours colours_;
  iApplicationSettings settings_;
  TaskFactory factory_;
  PageSettings print_;
  std::unique_ptr<Room> room_;
};

plat::COLORREF Ref(const ppRGBColor& c) { return plat::RGB(c.red, c.green, c.blue); }

TEST_F(RoomCanvasCommandsTest, DeleteKeepsWallSegmentsUnlessTheOptionLetsThemGo) {
  struct Case {
    const char* name;
    bool option, otherSelected;
    bool segmentGoes, otherGoes, taskPosted;
  } cases[] = {
      {"walls only, option off", false, false, false, false, false},
      {"wall and another element, option off", false, true, false, true, true},
      {"walls only, option on", true, false, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    room_ = std::make_unique<Room>(db_, plat::RECT{0, 0, 300, 200});
    settings_.flags1 = c.option ? iApplicationSettings::kDeleteWallSegments : 0;
    qxRoomSegment* wall = Wall(V(0, 0, 0), V(1000, 0, 0));
    auto* other = new Probe(room_.get(), ElementKinds::kPlain);
    wall->Select(false);
    if (c.otherSelected) other->Select(false);
    const ppTask* before = room_->DoneTop();
    room_->DoCommand(qxNewRoomCanvas::kDeleteSelection, 0);
    const std::vector<ppView*> left = Children();
    EXPECT_EQ(std::count(left.begin(), left.end(), wall) == 0, c.segmentGoes);
    EXPECT_EQ(std::count(left.begin(), left.end(), other) == 0, c.otherGoes);
    EXPECT_EQ(room_->DoneTop() != before, c.taskPosted);
  }
}

TEST_F(RoomCanvasCommandsTest, AfterEditPutsWallBodiesLastInReverseAndChildCommandsReachEveryChild) {
  auto* segment = new Probe(room_.get(), ElementKinds::kRoomSegment);
  auto* wall1 = new Probe(room_.get(), ElementKinds::kWallBody);
  auto* floor = new Probe(room_.get(), ElementKinds::kFloor);
  auto* wall2 = new Probe(room_.get(), ElementKinds::kWallBody);
  room_->AfterEdit(nullptr);
  EXPECT_EQ(Children(), (std::vector<ppView*>{segment, floor, wall2, wall1}));
  // A child of kind 2 goes in front of all.
  auto* front = new Probe(room_.get(), 2);
  room_->AfterEdit(nullptr);
  EXPECT_EQ(Children(), (std::vector<ppView*>{front, segment, floor, wall1, wall2}));

  for (int32_t command : {qxNewRoomCanvas::kChildCommandA, qxNewRoomCanvas::kChildCommandB}) {
    room_->DoCommand(command, 0);
    for (Probe* p : {segment, wall1, floor, wall2, front}) EXPECT_EQ(p->commands.back(), command);
  }
}

// Paints the room into a 300 by 200 pixel bitmap through the view's own drawing.
std::unique_ptr<picture_tests::Canvas> Paint(qxNewRoomCanvas& room) {
  auto bitmap = std::make_unique<picture_tests::Canvas>(300, 200);
  ppRegion all(plat::RECT{0, 0, 300, 200});
  ppDC dc(bitmap->dc(), nullptr, all.Handle());
  room.Draw(dc);
  return bitmap;
}

TEST_F(RoomCanvasCommandsTest, PaintFillsTheFrameDrawsTheGridEveryStepAndSelectedFacesRed) {
  // The room (600, 600)-(2400, 1400) lies at pixels 60-240 by 60-140; row 20 and column 20 are clear
  // of it and of every grid line. Lines lie at the rulers' origins plus multiples of 500 mm, one
  // pixel up and left of where they map.
  const std::vector<qxRoomSegment*> walls = RectangleRoom(600, 600, 1800, 800);
  walls[1]->Select(false);
  struct Rulers : iPlanEditor {
    int32_t HorizontalRulerOrigin() override { return x; }
    int32_t VerticalRulerOrigin() override { return z; }
    int32_t x = 0, z = 0;
  } rulers;
  room_->SetEditor(&rulers);
  struct Case {
    bool grid;
    int32_t x, z;
    std::set<int32_t> columns, rows;
  } cases[] = {
      {false, 0, 0, {}, {}},
      {true, 0, 0, {49, 99, 149, 199}, {49, 99, 149, 199}},
      {true, 130, 570, {12, 62, 112, 162}, {6, 56, 106, 156}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.grid << " " << c.x << " " << c.z);
    room_->SetGrid(c.grid, 500.0f);
    rulers.x = c.x;
    rulers.z = c.z;
    auto bitmap = Paint(*room_);
    std::set<int32_t> gridColumns, gridRows;
    for (int32_t i = 0; i < 200; ++i) {
      if (bitmap->At(i, 20) == Ref(kGrid)) gridColumns.insert(i);
      if (bitmap->At(20, i) == Ref(kGrid)) gridRows.insert(i);
      if (bitmap->At(i, 20) != Ref(kGrid)) EXPECT_EQ(bitmap->At(i, 20), Ref(kBackground)) << i;
    }
    EXPECT_EQ(gridColumns, c.columns);
    EXPECT_EQ(gridRows, c.rows);
    // Every face at its midpoint: red on the selected wall, black on the others.
    int32_t faces = 0;
    for (qxLineCycle* c = room_->Cycles(); c != nullptr; c = c->next) {
      for (int32_t i = 0; i < c->EdgeCount(); ++i, ++faces) {
        const WallEdge& e = *c->EdgeAt(i);
        plat::POINT p{};
        PlanPointToScreen((e.start + e.end) * 0.5f, p);
        EXPECT_EQ(bitmap->At(p.x, p.y), e.segment == walls[1] ? plat::RGB(255, 0, 0) : plat::RGB(0, 0, 0))
            << p.x << "," << p.y;
      }
    }
    EXPECT_EQ(faces, 8);
  }
  room_->SetEditor(nullptr);
}

TEST_F(RoomCanvasCommandsTest, PaintedArchedWallBulgesOutwardsOnlyAndLeavesTheRoomClear) {
  // A room (1000, 500)-(2000, 1500) whose right wall bulges 300 mm outwards: the circle of its centre
  // line (radius 567 mm about (1733, 1000)) reaches far into the room, so an arc drawn the long way
  // round, or from a wrong start point, crosses the floor. The faces are drawn after other walls' faces,
  // so the arc must start at its own face's start, not where the previous face ended.
  const V c[] = {V(1000, 0, 500), V(2000, 0, 500), V(2000, 0, 1500), V(1000, 0, 1500)};
  std::vector<qxRoomSegment*> walls;
  for (int i = 0; i < 4; ++i) walls.push_back(Wall(c[i], c[(i + 1) % 4]));
  const float bulge = 300.0f, chord = 1000.0f;
  const float radius = (chord * chord / 4.0f + bulge * bulge) / (2.0f * bulge);
  walls[1]->SetValue(walls[1]->IndexOf("RoundWall"), ppParameter(true));
  walls[1]->SetRadius(radius);
  walls[1]->SetCenter(V(2000 + bulge - radius, 0, 1000));
  walls[1]->SetClockwise(false);  // the arc from the wall's start to its end turns away from the room
  room_->RebuildCorners();
  room_->SetGrid(false, 500.0f);
  auto bitmap = Paint(*room_);
  const float half = walls[0]->GetThickness() / 2.0f;
  // Inside the inner faces by three pixels, and the arc's apex beyond the chord: nothing but background.
  const int32_t left = int32_t((1000 + half) / 10) + 3, right = int32_t((2000 - half) / 10) - 3;
  const int32_t top = int32_t((500 + half) / 10) + 3, bottom = int32_t((1500 - half) / 10) - 3;
  int32_t drawn = 0;
  for (int32_t y = top; y <= bottom; ++y)
    for (int32_t x = left; x <= right; ++x) drawn += bitmap->At(x, y) != Ref(kBackground);
  EXPECT_EQ(drawn, 0);
  // The arched faces are drawn where they belong: at the apex, beyond the chord.
  int32_t apex = 0;
  for (int32_t x = 200; x < 240; ++x) apex += bitmap->At(x, 100) == plat::RGB(0, 0, 0);
  EXPECT_EQ(apex, 2);
}

int32_t DarkPixels(const picture_tests::Canvas& page, int32_t w, int32_t h) {
  int32_t n = 0;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) n += page.At(x, y) != plat::RGB(255, 255, 255);
  return n;
}

TEST_F(RoomCanvasCommandsTest, PrintedPageHonoursDoneAndHeaderFlags) {
  // A tenth of a pixel per millimetre; the inner corner (1175, 1175) lands on pixel (10, 10), so the
  // inner face along the top wall runs along row 10 from column 10 to 295.
  RectangleRoom(1100, 1100, 3000, 2000);
  print_.page.pixelsPerMillimetre = 0.1f;
  print_.page.origin = ppVector2(1075, 1075);
  struct Case {
    const char* name;
    bool done, header;
    int32_t headers;
    bool printed;
  } cases[] = {
      {"done", true, false, 0, false}, {"header", false, true, 1, true}, {"plain", false, false, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    print_.page.done = c.done;
    print_.page.header = c.header;
    print_.headers = 0;
    for (int pass = 0; pass < 2; ++pass) {
      picture_tests::Canvas page(320, 240);
      ppDC dc(page.dc());
      room_->PrintContent(dc, 1);
      // A header page is done after its first print: the second prints nothing.
      const bool expected = c.printed && (pass == 0 || !c.header);
      EXPECT_EQ(DarkPixels(page, 320, 240) > 0, expected) << pass;
      if (expected) EXPECT_EQ(page.At(150, 10), plat::RGB(0, 0, 0)) << pass;
    }
    EXPECT_EQ(print_.headers, c.headers);
    EXPECT_EQ(print_.page.done, c.done || c.header);
  }
}

// The ENTITIES section's LINEs of a DXF file's text as "layer x1 y1 x2 y2" (numbers as %g).
std::vector<std::string> DxfLines(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  std::string code, value, type, section;
  while (std::getline(in, code) && std::getline(in, value)) {
    const int32_t c = std::stoi(code);
    value.erase(0, value.find_first_not_of(' '));
    if (c == 0) type = value;
    if (type == "SECTION" && c == 2) section = value;
    if (section != "ENTITIES" || type != "LINE") continue;
    if (c == 0) out.emplace_back();
    if (c == 8) out.back() += value;
    if (c == 10 || c == 20 || c == 11 || c == 21) {
      char text[32];
      std::snprintf(text, sizeof text, " %g", std::stod(value));
      out.back() += text;
    }
  }
  return out;
}

std::vector<std::string> ExportRoom(qxNewRoomCanvas& room, float sheetHeight) {
  return DxfLines(
      eltest::PrintToDxf(sheetHeight, {{"ROOM", "1"}}, [&](ppDC& dc) { room.PrintContent(dc, 1); }));
}

// A LINE as "layer x1 y1 x2 y2" with its lesser end first, so that either direction compares equal.
std::string Unordered(const std::string& line) {
  char layer[16];
  float x1, y1, x2, y2;
  if (std::sscanf(line.c_str(), "%15s %f %f %f %f", layer, &x1, &y1, &x2, &y2) != 5) return line;
  if (std::make_pair(x2, y2) < std::make_pair(x1, y1)) std::swap(x1, x2), std::swap(y1, y2);
  char text[96];
  std::snprintf(text, sizeof text, "%s %g %g %g %g", layer, x1, y1, x2, y2);
  return text;
}

TEST_F(RoomCanvasCommandsTest, ExportWritesEachStraightFaceAsALineOnRoomAndNoArc) {
  // Half a pixel per millimetre with the plan origin on pixel (10, 20); the sheet is 1000 high, so
  // a face point (x, z) goes to (x / 2 + 10, 1000 - (z / 2 + 20)). The faces lie 75 mm either side of
  // the centre lines: inside x 75..1925 and z 75..925, outside x -75..2075 and z -75..1075.
  print_.page.pixelsPerMillimetre = 0.5f;
  print_.page.offset = plat::POINT{10, 20};
  RectangleRoom(0, 0, 2000, 1000);
  std::multiset<std::string> lines;
  for (const std::string& l : ExportRoom(*room_, 1000.0f)) lines.insert(Unordered(l));
  const std::multiset<std::string> expected = {
      "ROOM 47.5 517.5 47.5 942.5",    "ROOM 47.5 942.5 972.5 942.5",     "ROOM 47.5 517.5 972.5 517.5",
      "ROOM 972.5 517.5 972.5 942.5",  "ROOM -27.5 442.5 -27.5 1017.5",   "ROOM -27.5 1017.5 1047.5 1017.5",
      "ROOM -27.5 442.5 1047.5 442.5", "ROOM 1047.5 442.5 1047.5 1017.5",
  };
  EXPECT_EQ(lines, expected);

  // A round room of two arched faces writes nothing.
  auto circle = std::make_unique<qxLineCycle>(nullptr, 1);
  for (float sign : {1.0f, -1.0f}) {
    WallEdge e;
    e.start = V(1000 - 500 * sign, 0, 500);
    e.end = V(1000 + 500 * sign, 0, 500);
    e.centre = V(1000, 0, 500);
    e.radius = 500;
    e.arched = true;
    circle->AppendEdge(e);
  }
  room_->SetCycles(circle.release());
  EXPECT_TRUE(ExportRoom(*room_, 1000.0f).empty());
}

TEST_F(RoomCanvasCommandsTest, PressOnARoomWithoutFloorIsRefusedAndKeepsTheSelection) {
  const std::vector<qxRoomSegment*> walls = RectangleRoom(600, 600, 1800, 800);
  walls[2]->Select(false);
  EXPECT_FALSE(room_->IsDoubleClick(150, 100));
  for (qxRoomSegment* w : walls) EXPECT_EQ(w->IsSelected(), w == walls[2]);
}

}  // namespace

namespace {

TEST_F(RoomCanvasCommandsTest, LoadingBuildsTheCopiedElementsOfItsKindsAndPostsThemAsOnePaste) {
  zelvproDocFil doc(*db_);
  zelvproDocModuleFil& copy = doc.FurnitureTable();
  db_->TopViewFile().ReadRecord(topView_, nullptr);
  zelvproTopViewElement plain(topView_, nullptr, plat::RECT{0, 0, 10, 10},
                              db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
  plain.SaveTree(copy, false, 0);
  // A wall segment's record is not one the paste builds.
  qxRoomSegment* wall = Wall(V(0, 0, 0), V(1000, 0, 0));
  wall->SaveTree(copy, false, 0);
  wall->Select(false);

  PasteHost host;
  host.databases = host_.databases;
  host.palette = std::make_unique<zelvproLayerPalette>();
  host.copy = &copy;
  iElementHost::Install(&host);
  room_->LoadDocumentModules(1);
  iElementHost::Install(&host_);

  EXPECT_FALSE(wall->IsSelected());
  ASSERT_EQ(factory_.pasted.size(), 1u);
  EXPECT_EQ(factory_.pasted[0]->kind, ElementKinds::kPlain);
  EXPECT_EQ(factory_.pasted[0]->GetSupervisor(), room_.get());
  EXPECT_EQ(Children().size(), 2u);
  ASSERT_NE(factory_.paste, nullptr);
  EXPECT_EQ(factory_.paste->done, 1);
  EXPECT_EQ(room_->DoneTop(), factory_.paste);
  EXPECT_EQ(host.configurators, 1);
}

}  // namespace
