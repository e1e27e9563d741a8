// The element palette on the headless desktop with the demo catalogue: its two layouts, the element
// pane's strip layout and command routing, the cells' pixels, presses on cells and the per-view
// scroll memory.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "PaletteTestSupport.h"
#include "canvas/tasks/PlanFrames.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/base/PlanPixels.h"
#include "framework/ppButton.h"
#include "framework/ppScrollBar.h"
#include "platform/Controls.h"
#include "platform/MessageBox.h"
#include "platform/TextLog.h"
#include "platform/TreeView.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/qxWallElement.h"

namespace {

using eltest::Rect;
using palettetest::Cell;
using Rows = std::vector<std::string>;

std::string Text(const plat::RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class ElementPaletteTest : public palettetest::PaletteTest {};

// ---- Layout.

TEST_F(ElementPaletteTest, BothLayoutsPlaceTreesPaneAndPathBar) {
  struct Case {
    int32_t height;
    bool overview;
    plat::RECT trees, pane, bar;
  };
  for (const Case& c :
       {Case{135, false, Rect(10, 2, 190, 130), Rect(200, 2, 993, 130), Rect(0, 0, 0, 0)},
        Case{155, true, Rect(10, 2, 200, 150), Rect(210, 2, 993, 150), Rect(210, 2, 994, 22)}}) {
    SCOPED_TRACE(c.height);
    MakeWindow(c.height, c.overview);
    EXPECT_EQ(palette_->Width(), 1001);
    EXPECT_EQ(palette_->Height(), c.height);
    EXPECT_EQ(Text(palette_->Browser()->GetFrame()), Text(c.trees));
    EXPECT_EQ(Text(palette_->Pane()->GetFrame()), Text(c.pane));
    if (c.overview) {
      ASSERT_NE(palette_->Overview(), nullptr);
      EXPECT_EQ(Text(palette_->Overview()->GetFrame()), Text(c.bar));
      EXPECT_EQ(palette_->Browser()->PictureList(), palette_->Pane());
    } else {
      EXPECT_EQ(palette_->Overview(), nullptr);
    }
    // The browser loaded once, and named itself to the strip.
    EXPECT_EQ(Strip().Catalog(), palette_->Browser());
    EXPECT_NE(palette_->Browser()->CurrentNode(), nullptr);
    canvas_.reset();
    delete window_;
    window_ = new ppWindow();
    plat::HeadlessDriver::RunUntilIdle();
  }
}

TEST_F(ElementPaletteTest, TheSettingsFlagChoosesThePathBarLayout) {
  settings_.flags1 = zelvproElementPalette::kCatalogueOverview;
  hwnd_ = adorner_tests::MakeObjectWindow(window_, kWidth, 555);
  auto* palette = new zelvproElementPalette(window_, Rect(0, 400, kWidth, 555));
  EXPECT_NE(palette->Overview(), nullptr);
  EXPECT_EQ(Text(palette->Pane()->GetFrame()), Text(Rect(210, 2, 993, 150)));
}

TEST_F(ElementPaletteTest, TheStripStartsBelowTheBarAndRepaintsLayItOutFromTheFrame) {
  MakeWindow();
  const zelvproElementPane& pane = *palette_->Pane();
  // Before the first repaint: the frame less the bar, 22 pixels down.
  EXPECT_EQ(Text(Strip().GetFrame()), Text(Rect(0, 22, 793, 110)));
  plat::HeadlessDriver::RunUntilIdle();
  for (int pass = 0; pass < 3; ++pass) {
    SCOPED_TRACE(pass);
    EXPECT_EQ(Text(Strip().GetFrame()), Text(Rect(0, 0, 791, 110)));
    EXPECT_EQ(pane.HorizontalBar()->PageSize(), 9);  // 791 pixels, 90 a cell, rounded up
    Repaint();
  }
}

// A strip that records the commands it gets.
class RecordingStrip : public zelvproElementScroller {
 public:
  RecordingStrip(ppView* pane, const plat::RECT& frame, std::vector<std::pair<int32_t, intptr_t>>* log)
      : zelvproElementScroller(pane, frame), log_(log) {}
  void DoCommand(int32_t command, intptr_t parameter) override {
    log_->emplace_back(command, parameter);
    zelvproElementScroller::DoCommand(command, parameter);
  }

 private:
  std::vector<std::pair<int32_t, intptr_t>>* log_;
};

TEST_F(ElementPaletteTest, ThePaneHandsEveryCommandToTheStripUnchanged) {
  hwnd_ = adorner_tests::MakeObjectWindow(window_, 800, 200);
  std::vector<std::pair<int32_t, intptr_t>> log;
  auto* pane = new zelvproElementPane(window_, Rect(0, 0, 800, 130), [&](ppView* p, const plat::RECT& frame) {
    return new RecordingStrip(p, frame, &log);
  });
  pane->Strip()->SetExtent(20, 1);
  // A command the strip does not know ends with it (it would otherwise go up to the pane and back).
  pane->DoCommand(7777, 42);
  pane->DoCommand(ppScroller::kScrollHorizontally, 3);
  EXPECT_EQ(log,
            (std::vector<std::pair<int32_t, intptr_t>>{{7777, 42}, {ppScroller::kScrollHorizontally, 3}}));
  EXPECT_EQ(pane->Strip()->PositionX(), 3);
  EXPECT_TRUE(pane->IsDoubleClick(5, 5));
}

TEST_F(ElementPaletteTest, AStripThatCannotBeMadeShowsMemoryError1014AndThrows3602) {
  hwnd_ = adorner_tests::MakeObjectWindow(window_, 800, 200);
  plat::ClearMessageBoxLog();
  const int32_t before = window_->Subviews().Count();
  try {
    new zelvproElementPane(
        window_, Rect(0, 0, 800, 130),
        [](ppView*, const plat::RECT&) -> zelvproElementScroller* { throw std::bad_alloc(); });
    ADD_FAILURE() << "no error thrown";
  } catch (long error) {
    EXPECT_EQ(error, zelvproElementPane::kNoStripError);
  }
  const auto boxes = plat::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find(u"1014"), std::u16string::npos);
  EXPECT_EQ(window_->Subviews().Count(), before);  // the half-made pane left the window
}

// ---- Cells.

TEST_F(ElementPaletteTest, CellsShowBackgroundSeparatorsPictureCaptionAndSelectionFrame) {
  MakeWindowShowingGroup();
  const ppRGBColor white{255, 255, 255}, black{0, 0, 0};
  // Cell 0: erased (1, 4, 88, 91), separator at x 90 from y 4 to 100; outside them the pane's fill.
  EXPECT_EQ(StripPixel(1, 4), white);
  EXPECT_EQ(StripPixel(87, 90), white);
  EXPECT_EQ(StripPixel(0, 50), kPaneFill);
  EXPECT_EQ(StripPixel(88, 50), kPaneFill);
  EXPECT_EQ(StripPixel(1, 3), kPaneFill);
  for (int32_t y : {4, 50, 99}) EXPECT_EQ(StripPixel(90, y), black) << y;
  EXPECT_EQ(StripPixel(90, 3), kPaneFill);
  EXPECT_EQ(StripPixel(90, 100), kPaneFill);
  // The demo's 48 x 64 picture, centred in (3, 6, 86, 89): columns 20 to 67, rows 16 to 79.
  EXPECT_NE(StripPixel(44, 48), white);
  EXPECT_EQ(StripPixel(18, 48), white);
  EXPECT_EQ(StripPixel(70, 48), white);
  // The caption below the cell (1, 90, 88, 104) has ink.
  bool ink = false;
  for (int32_t y = 90; y < 104; ++y)
    for (int32_t x = 1; x < 88; ++x) ink = ink || !(StripPixel(x, y) == white);
  EXPECT_TRUE(ink);

  // The item without a picture: its cell erased, with its separators, and nothing else.
  const int32_t left = palettetest::kNoPicture * 90;
  for (int32_t y = 4; y < 104; ++y)
    for (int32_t x = left + 1; x < left + 88; ++x)
      ASSERT_EQ(StripPixel(x, y), y < 91 ? white : kPaneFill) << x << "," << y;
  EXPECT_EQ(StripPixel(left, 50), black);
  EXPECT_EQ(StripPixel(left + 90, 50), black);

  // Selection frame of column 0: (7, 7, 93, 93), a 2 x 2 pen of 0, 25, 0 percent.
  Strip().SetSelection(0, 0);
  plat::HeadlessDriver::RunUntilIdle();
  const ppRGBColor green{0, PercentToByte(25), 0};
  EXPECT_EQ(StripPixel(7, 50), green);
  EXPECT_EQ(StripPixel(50, 7), green);
  EXPECT_EQ(StripPixel(8, 50), green);
  EXPECT_EQ(StripPixel(50, 91), green);
  EXPECT_EQ(StripPixel(50, 92), green);
  EXPECT_EQ(StripPixel(9, 50), white);
  EXPECT_EQ(StripPixel(50, 93), kPaneFill);
  // Drawn first, the frame's right edge (x 91, 92) lies under the next cell's background.
  EXPECT_EQ(StripPixel(91, 50), white);
  Strip().SetSelection(-1, 0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(StripPixel(7, 50), white);
}

// Captions keep inside their cells: a name wider than the cell ("Interior door 90 cm" in the plain
// face) loses its end to an ellipsis instead of both ends to the cell's edges; one that fits stays
// whole.
TEST_F(ElementPaletteTest, ACaptionWiderThanItsCellEndsInAnEllipsisInsideTheCell) {
  plat::RecordDrawnTexts(true);
  plat::ClearDrawnTextLog();
  MakeWindowShowingGroup();
  std::vector<std::u16string> captions;
  for (const plat::TextLogRecord& record : plat::DrawnTextLog()) captions.push_back(record.text);
  plat::RecordDrawnTexts(false);
  const auto drawn = [&](const std::u16string& start) {
    for (const std::u16string& caption : captions)
      if (caption.rfind(start, 0) == 0) return caption;
    return std::u16string();
  };
  const std::u16string door = drawn(u"Interior");
  ASSERT_FALSE(door.empty());
  EXPECT_EQ(door.back(), u'\u2026');
  EXPECT_LT(door.size(), std::u16string(u"Interior door 90 cm").size() + 1);
  EXPECT_EQ(drawn(u"Base"), u"Base unit 30 cm");
  // The caption band (rows 91 to 103, on the pane's fill) of each cell with a picture: no ink on its
  // first and last columns, some between them.
  for (int32_t cell : {int32_t(palettetest::kUnit), int32_t(palettetest::kDoor)}) {
    const int32_t left = cell * 90 + 1, right = cell * 90 + 88;
    bool ink = false;
    for (int32_t y = 91; y < 104; ++y) {
      EXPECT_EQ(StripPixel(left, y), kPaneFill) << cell << ": " << y;
      EXPECT_EQ(StripPixel(right - 1, y), kPaneFill) << cell << ": " << y;
      for (int32_t x = left + 1; x < right - 1; ++x) ink = ink || !(StripPixel(x, y) == kPaneFill);
    }
    EXPECT_TRUE(ink) << cell;
  }
}

TEST_F(ElementPaletteTest, TheBlankLastColumnDrawsNothing) {
  MakeWindowShowingGroup();
  EXPECT_EQ(Strip().ExtentX(), palettetest::kCells + 1);
  // The strip is 791 pixels wide: scroll so that the blank column shows.
  Strip().ScrollTo(1, 0);
  Strip().Invalidate();
  plat::HeadlessDriver::RunUntilIdle();
  const int32_t left = (palettetest::kCells - 1 - 1) * 90;            // scrolled by one cell
  EXPECT_EQ(StripPixel(left + 50, 50), (ppRGBColor{255, 255, 255}));  // the last item
  EXPECT_EQ(StripPixel(left + 90, 50), (ppRGBColor{0, 0, 0}));        // its separator
  for (int32_t x = left + 91; x < left + 180; x += 11) EXPECT_EQ(StripPixel(x, 50), kPaneFill) << x;
}

// The demo's kitchen groups open, the trees overflow the palette: a bar along the tree's right edge,
// whose thumb dragged to its end shows the last group, "Finishes", and a click on it lists its items.
TEST_F(ElementPaletteTest, TheTreesBarReachesTheLastKitchenGroup) {
  MakeWindow();
  qxCatalog& browser = *palette_->Browser();
  qxNode* base = nullptr;
  qxNode* finishes = nullptr;
  int32_t tree = 0;
  for (; tree < qxCatalog::kTreeCount && base == nullptr; ++tree) {
    base = browsertest::FindNode(browser.Top(tree), "Base");
    finishes = browsertest::FindNode(browser.Top(tree), "Finishes");
  }
  ASSERT_NE(base, nullptr);
  ASSERT_NE(finishes, nullptr);
  browser.SelectTree(tree - 1);
  base->SelectInTree();
  plat::HeadlessDriver::RunUntilIdle();
  const plat::HWND window = browser.TreeWindow(tree - 1);
  plat::RECT client;
  plat::GetClientRect(window, &client);
  const auto rowOf = [&](const qxNode* node) {
    plat::RECT row;
    *reinterpret_cast<plat::HTREEITEM*>(&row) = node->TreeItem();
    EXPECT_TRUE(plat::SendMessageA(window, plat::TVM_GETITEMRECT, 1, reinterpret_cast<plat::LPARAM>(&row)));
    return row;
  };
  EXPECT_GT(rowOf(finishes).bottom, client.bottom);  // below the rows shown
  const plat::HWND bar = plat::GetWindow(window, plat::GW_CHILD);
  ASSERT_NE(bar, nullptr);
  ASSERT_TRUE(plat::IsWindowVisible(bar));
  plat::RECT place;
  plat::GetWindowRect(bar, &place);
  const int32_t x = (place.left + place.right) / 2;
  plat::Desktop::MouseButton(plat::VK_LBUTTON, true, {x, place.top + plat::kTreeBarWidth + 3});
  plat::Desktop::MouseMove({x, place.bottom - 1});
  plat::Desktop::MouseButton(plat::VK_LBUTTON, false, {x, place.bottom - 1});
  plat::HeadlessDriver::RunUntilIdle();
  const plat::RECT row = rowOf(finishes);
  EXPECT_GE(row.top, 0);
  EXPECT_LE(row.bottom, client.bottom);
  plat::POINT at{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
  plat::ClientToScreen(window, &at);
  plat::Desktop::Click(at);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(browser.CurrentNode(), finishes);
  EXPECT_GT(Strip().ItemCount(), 0);
}

// ---- Presses.

TEST_F(ElementPaletteTest, PressesOnCellsStartTheItemsTasks) {
  struct Case {
    const char* name;
    int32_t cell;
    int32_t view;
    Rows asked;
    int32_t newUnits;
  };
  const Case cases[] = {
      {"blank column", palettetest::kCells, 2020, {}, 0},
      {"unit in the item list", palettetest::kUnit, 2012, {}, 0},
      {"colour without finish", palettetest::kNoFinish, 2020, {}, 0},
      {"top view without element", palettetest::kNoElement, 2020, {}, 0},
      {"plain unit", palettetest::kUnit, 2020, {"dragger"}, 1},
      {"door", palettetest::kDoor, 2016, {"door"}, 1},
      {"unit in the 3D view", palettetest::kUnit, 2024, {"3d"}, 1},
      {"colour in the item list", palettetest::kSnow, 2012, {"colour"}, 0},
  };
  MakeWindowShowingGroup();
  Strip().ScrollTo(0, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    factory_.asked.clear();
    factory_.dragged.clear();
    factory_.starts.clear();
    canvasHost_.viewId = c.view;
    const size_t before = PlanUnits().size();
    const int32_t repaints = scene_.invalidations;
    Strip().ScrollTo(c.cell >= 8 ? 1 : 0, 0);
    Strip().Invalidate();
    plat::HeadlessDriver::RunUntilIdle();
    const plat::POINT at = CellCentre(c.cell);
    Down(at);
    Up(at);
    EXPECT_EQ(factory_.asked, c.asked);
    EXPECT_EQ(PlanUnits().size(), before + size_t(c.newUnits));
    if (c.view == 2024 && c.newUnits != 0) {
      EXPECT_GT(scene_.invalidations, repaints);
    }
    for (zelvproElement* unit : factory_.dragged) {
      EXPECT_EQ(unit->GetSupervisor(), canvas_.get());
      unit->Deselect(false);
    }
  }
}

// The strip's thumb dragged right and back left faster than the strip repaints (the demo's base
// units, each with its own picture and name): every slot shows the item a press there takes, as a
// whole repaint draws it.
TEST_F(ElementPaletteTest, TheStripDraggedBackAndForthBeforeARepaintShowsTheItemEachSlotTakes) {
  MakeWindow();
  qxNode* base = nullptr;
  for (int32_t i = 0; i < qxCatalog::kTreeCount && base == nullptr; ++i)
    base = browsertest::FindNode(palette_->Browser()->Top(i), "Base");
  ASSERT_NE(base, nullptr);
  palette_->Browser()->SelectCatalogNode(base);
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_GE(Strip().ExtentX() - Strip().VisibleX(), 3);
  plat::RECT frame;
  Strip().GetWindowFrame(&frame);
  const auto slots = [&] {
    std::vector<uint32_t> pixels;
    for (int32_t y = frame.top; y < frame.bottom; ++y)
      for (int32_t x = frame.left; x < frame.right; ++x)
        pixels.push_back(plat::GetWindowSurface(hwnd_)->Pixel(x, y) & 0xFFFFFF);
    return pixels;
  };
  const auto bar = reinterpret_cast<plat::LPARAM>(palette_->Pane()->HorizontalBar()->Control());
  // The thumb dragged one column at a time, every step before the strip paints: the pixels shown then
  // against those of a whole repaint.
  const auto drag = [&](const std::vector<int32_t>& columns) {
    for (int32_t to : columns)
      plat::SendMessageA(hwnd_, plat::WM_HSCROLL, plat::MAKEWPARAM(plat::SB_THUMBTRACK, to), bar);
    plat::HeadlessDriver::RunUntilIdle();
    EXPECT_EQ(Strip().PositionX(), columns.back());
    const std::vector<uint32_t> shown = slots();
    Repaint();
    const std::vector<uint32_t> whole = slots();
    size_t differing = 0;
    for (size_t i = 0; i < shown.size(); ++i) differing += shown[i] != whole[i] ? 1 : 0;
    return differing;
  };
  EXPECT_EQ(drag({1, 2, 3}), 0u) << "right";
  EXPECT_EQ(drag({2, 1}), 0u) << "back left";

  // A press on the first slot takes the unit it shows.
  const plat::POINT first{frame.left + 45, frame.top + 45};
  Down(first);
  Up(first);
  EXPECT_EQ(factory_.asked, Rows{"dragger"});
  EXPECT_EQ(factory_.dragged.size(), 1u);
}

// The palette's doors and windows belong to Room Design: seated in a wall of the room, a press on
// one there chooses it and a drag moves it along the wall; a press on the floor chooses the floor.
TEST_F(ElementPaletteTest, InRoomDesignTheDemosOpeningInAWallIsChosenAndDraggedAlongItAndTheFloorElsewhere) {
  using V = ppVector3;
  MakeWindow();
  canvasHost_.viewId = iElementHost::kPlanView;
  canvasHost_.palette->SetScale(10.0);
  // The room canvas over the plan, as Room Design shows it: a 4000 x 3000 mm room, pixels 50 to 450.
  qxNewRoomCanvas room(window_, Rect(0, 0, kWidth, kPlanHeight), db_);
  canvasHost_.newRoomCanvas = &room;
  const V corners[] = {V(500, 0, 500), V(4500, 0, 500), V(4500, 0, 3500), V(500, 0, 3500)};
  {
    const ScopedRecordBuffer<ppDatafile> blank(db_->TopViewFile());
    db_->TopViewFile().ClearRecordBuffer(blank.Get());
    for (int32_t i = 0; i < 4; ++i)
      (new qxRoomSegment(0, &room, Rect(0, 0, 10, 10), blank.Get(), db_->ShapeFile()))
          ->SetEnds(corners[i], corners[(i + 1) % 4]);
  }
  room.DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  plat::HeadlessDriver::RunUntilIdle();
  auto* floor = dynamic_cast<qxFloorElement*>(room.FindFloor());
  ASSERT_NE(floor, nullptr);
  const auto pixel = [](const V& p) {
    plat::POINT out{};
    PlanPointToScreen(p, out);
    return out;
  };
  const auto press = [&](plat::POINT at) {
    Down(at);
    UpAfterClickTime(at);
  };
  for (const char* name : {"DR90", "WN120"}) {
    SCOPED_TRACE(name);
    zelvproElement* opening = db_->TopViewFile().CreateElement(
        palettetest::RecordNamed(db_->TopViewFile(), "Name", name), Rect(0, 0, 10, 10), &room);
    ASSERT_NE(opening, nullptr);
    // Seated on the top wall's face, 1000 mm from the room's corner, as the door task seats it.
    V foot;
    float angle = 0.0f;
    qxWallElement* wall = floor->NearestWallEdge(foot, angle, V(1500, 0, 800), opening->dimensions.x);
    ASSERT_NE(wall, nullptr);
    qxRoomSegment* segment = wall->Edge().segment;
    opening->DetachFromSupervisor();
    segment->AddSubview(opening);
    const V body = wall->GetPosition();
    opening->SetPosition(V(foot.x - body.x, 0, foot.z - body.z));
    opening->StoreAngle(angle - segment->GetAbsoluteAngle());
    // The middle of its body, which stands behind the face in the wall.
    const plat::POINT on =
        pixel(PlanPoint(opening, V(opening->dimensions.x / 2, 0, -opening->dimensions.z / 2)));
    // Pressed and dragged 1000 mm along the wall: chosen, and moved along the wall by the drag.
    const V before = PlanPoint(opening, V());
    Down(on);
    MoveTo(plat::POINT{on.x + 50, on.y});
    MoveTo(plat::POINT{on.x + 100, on.y});
    UpAfterClickTime(plat::POINT{on.x + 100, on.y});
    EXPECT_TRUE(opening->IsSelected());
    EXPECT_FALSE(floor->IsSelected());
    EXPECT_EQ(opening->GetSupervisor(), segment);
    const V after = PlanPoint(opening, V());
    EXPECT_NEAR(after.x - before.x, 1000.0f, 10.0f);
    EXPECT_NEAR(after.z, before.z, 0.5f);
    press(pixel(V(2500, 0, 2000)));
    EXPECT_TRUE(floor->IsSelected());
    EXPECT_FALSE(opening->IsSelected());
  }
  canvasHost_.newRoomCanvas = nullptr;
}

TEST_F(ElementPaletteTest, APlainUnitDeselectsBothCanvasesAndStartsWithItsFrameRegion) {
  MakeWindowShowingGroup();
  zelvproTopCanvas room(nullptr, Rect(0, 0, kWidth, kPlanHeight), db_);
  const auto [placed, onRoom] = SelectUnitsOnPlanAndRoom(room);
  ASSERT_NE(placed, nullptr);
  ASSERT_NE(onRoom, nullptr);
  const plat::POINT at = CellCentre(palettetest::kUnit);
  Down(at);
  ASSERT_EQ(factory_.asked, Rows{"dragger"});
  zelvproElement* made = factory_.dragged.at(0);
  EXPECT_FLOAT_EQ(made->GetPosition().y, 100.0f) << "the demo's base unit comes on its 100 mm plinth";
  EXPECT_FALSE(placed->IsSelected());
  EXPECT_FALSE(onRoom->IsSelected());
  plat::RECT frame{};
  made->NewFrameRegion()->GetBounds(&frame);
  EXPECT_EQ(Text(factory_.starts.at(0)), Text(frame));
  Up(at);
  canvasHost_.newRoomCanvas = nullptr;
}

TEST_F(ElementPaletteTest, WithoutADraggerAPressStartsNothingAndDeletesTheElementItMade) {
  MakeWindowShowingGroup();
  factory_.answer = false;
  PlaceUnit("B40", 100, 100);
  for (Cell cell : {palettetest::kUnit, palettetest::kPackage, palettetest::kDoor}) {
    SCOPED_TRACE(cell);
    factory_.asked.clear();
    const plat::POINT at = CellCentre(cell);
    Down(at);
    Up(at);
    EXPECT_EQ(factory_.asked.size(), 1u);
    EXPECT_TRUE(factory_.starts.empty());
    EXPECT_EQ(PlanUnits().size(), 1u);
  }
  // The program's factory answers the dragger rows (a unit, a package, a door): the new element
  // stands in the plan while the button is down and a click takes it away again.
  CanvasTaskFactory program;
  iElementTaskFactory::Install(&program);
  struct Case {
    Cell cell;
    size_t whilePressed;
  };
  for (const Case& c :
       {Case{palettetest::kUnit, 2}, Case{palettetest::kPackage, 2}, Case{palettetest::kDoor, 2}}) {
    SCOPED_TRACE(c.cell);
    const plat::POINT at = CellCentre(c.cell);
    Down(at);
    EXPECT_EQ(PlanUnits().size(), c.whilePressed);
    Up(at);
    EXPECT_EQ(PlanUnits().size(), 1u);
  }
  iElementTaskFactory::Install(&factory_);
}

// ---- The pressed view and the per-view memory.

TEST_F(ElementPaletteTest, Command5000TakesTheHighlightsAwayAndKeepsThePressedView) {
  MakeWindow();
  auto* button = new ppButton(palette_, nullptr, 60000, ppView::kStay, ppView::kStay, ppButton::kToggle);
  button->Highlight();
  ASSERT_EQ(button->GetState(), ppButton::kHighlighted);
  palette_->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(button));
  EXPECT_EQ(button->GetState(), ppButton::kNormal);
  EXPECT_EQ(palette_->PressedView(), button);
}

TEST_F(ElementPaletteTest, EachViewKeepsItsOwnScrollPosition) {
  MakeWindowShowingGroup();
  for (int32_t view : {2016, 2020, 2004, 2056, 2024, 2012}) palette_->AddViewMemory(view);
  // Room for six: a seventh is not kept (and writes nowhere).
  palette_->AddViewMemory(2032);
  EXPECT_EQ(palette_->ViewMemoryCount(), 6);
  EXPECT_EQ(palette_->FindViewMemory(2032), nullptr);
  ASSERT_NE(palette_->FindViewMemory(2012), nullptr);
  EXPECT_EQ(palette_->FindViewMemory(2012)->viewId, 2012);

  Strip().ScrollTo(7, 0);
  palette_->SaveScrollFor(2020);
  Strip().ScrollTo(0, 0);
  palette_->SaveScrollFor(2016);
  palette_->RestoreScrollFor(2020);
  EXPECT_EQ(Strip().PositionX(), 7);
  EXPECT_EQ(palette_->Pane()->HorizontalBar()->KeptPosition(), 7);
  palette_->RestoreScrollFor(2016);
  EXPECT_EQ(Strip().PositionX(), 0);

  // No record: nothing restored, the 3D pane still redrawn.
  canvasHost_.viewId = iElementHost::k3DView;
  Strip().ScrollTo(3, 0);
  palette_->SaveScrollFor(2099);
  const int32_t repaints = scene_.invalidations;
  palette_->RestoreScrollFor(2099);
  EXPECT_EQ(Strip().PositionX(), 3);
  EXPECT_EQ(scene_.invalidations, repaints + 1);
}

}  // namespace
