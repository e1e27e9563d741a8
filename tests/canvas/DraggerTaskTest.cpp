// The dragger with the program's task factory on the palette's test bench: presses on the strip's
// cells, moves and releases injected through the desktop; what lands in the plan, what the history
// keeps, and which of the new units are freed (counted through the price list's notice of every
// element that goes).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "PaletteTestSupport.h"
#include "canvas/tasks/zelvproDraggerTask.h"
#include "elements/base/DeletionList.h"
#include "framework/ppUndoer.h"

namespace {

using eltest::Rect;
using palettetest::Cell;

// The program's factory; records the tasks it starts and their feedback bounds.
class StartRecordingFactory : public CanvasTaskFactory {
 public:
  void StartWithElement(ppTask* task, int32_t x, int32_t y, std::unique_ptr<ppRegion> feedback) override {
    draggers.push_back(dynamic_cast<zelvproDraggerTask*>(task));
    plat::RECT bounds{};
    if (feedback != nullptr) feedback->GetBounds(&bounds);
    starts.push_back(bounds);
    CanvasTaskFactory::StartWithElement(task, x, y, std::move(feedback));
  }
  std::vector<zelvproDraggerTask*> draggers;  // null for a task of another kind
  std::vector<plat::RECT> starts;
};

// Over a real line buffer of the catalogue: records the elements whose lines are added and taken out,
// and the elements that are destroyed.
class CountingLines : public tvtest::RecordingCalculationList {
 public:
  // The buffer lives within the catalogue's life: opened after it, closed before it.
  void Open(ppDatabase& db) { file_ = std::make_unique<ppDatafile>("qxCalculator", db); }
  void Close() { file_.reset(); }
  ppDatafile* LineFile() override { return file_.get(); }
  void AddLine(const LineRefs& refs) override { added.push_back(refs.element); }
  void ElementGone(zelvproElement* element) override { gone.push_back(element); }
  bool Added(const zelvproElement* element) const {
    return std::find(added.begin(), added.end(), element) != added.end();
  }
  bool Gone(const zelvproElement* element) const {
    return std::find(gone.begin(), gone.end(), element) != gone.end();
  }
  bool Removed(const zelvproElement* element) const {
    return std::find(removed.begin(), removed.end(), element) != removed.end();
  }
  std::vector<zelvproElement*> gone, added;

 private:
  std::unique_ptr<ppDatafile> file_;
};

std::string Text(const plat::RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class DraggerTaskTest : public palettetest::PaletteTest {
 protected:
  void SetUp() override {
    PaletteTest::SetUp();
    iElementTaskFactory::Install(&program_);
    lines_.Open(*db_);
    iCalculationList::Install(&lines_);
    canvasHost_.viewId = 2020;
  }
  void TearDown() override {
    lines_.Close();
    PaletteTest::TearDown();
  }

  ppUndoer& History() { return *canvas_; }
  // The dragger the last press started (fails the test when there was none).
  zelvproDraggerTask* LastDragger() {
    EXPECT_FALSE(program_.draggers.empty());
    return program_.draggers.empty() ? nullptr : program_.draggers.back();
  }
  // Gives the package two parts: B30 at its origin and B40 600 mm to the right.
  void GivePackageParts() {
    zelvproTopViewFil& topViews = db_->TopViewFile();
    const int32_t b30 = palettetest::RecordNamed(topViews, "Name", "B30");
    const int32_t b40 = palettetest::RecordNamed(topViews, "Name", "B40");
    ASSERT_NE(b30, 0);
    ASSERT_NE(b40, 0);
    topViews.ReadRecord(added_.packageTopView, nullptr);
    cattest::SetWords(
        topViews, "subItems",
        eltest::Join({eltest::SubItemEntry(b30, 0, 0, 0, 0, 0), eltest::SubItemEntry(b40, 0, 600, 0, 0, 0)}));
    topViews.WriteRecord(added_.packageTopView, nullptr);
  }
  static std::vector<zelvproElement*> Chain(const qxViewHolder* h) {
    std::vector<zelvproElement*> out;
    for (; h != nullptr; h = h->Next()) out.push_back(h->Element());
    return out;
  }

  StartRecordingFactory program_;
  CountingLines lines_;
};

// ---- Refused drops and clicks.

TEST_F(DraggerTaskTest, ARefusedDropOrAClickFreesTheNewUnitsAndLeavesNoUndoEntry) {
  struct Case {
    const char* name;
    Cell cell;
    bool click;
    plat::POINT release;
    size_t made;  // the units the task held at the press
  };
  const Case cases[] = {
      {"right of the window", palettetest::kUnit, false, {1100, 200}, 1},
      {"below the window", palettetest::kUnit, false, {300, 700}, 1},
      {"left of the window", palettetest::kUnit, false, {-40, 200}, 1},
      {"click", palettetest::kUnit, true, {}, 1},
      {"package right of the window", palettetest::kPackage, false, {1100, 200}, 1},
      {"package click", palettetest::kPackage, true, {}, 1},
  };
  GivePackageParts();
  MakeWindowShowingGroup();
  zelvproElement* standing = PlaceUnit("B40", 100, 100);
  ASSERT_NE(standing, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    program_.draggers.clear();
    lines_.gone.clear();
    const plat::POINT at = CellCentre(c.cell);
    Down(at);
    zelvproDraggerTask* task = LastDragger();
    ASSERT_NE(task, nullptr);
    const std::vector<zelvproElement*> made = task->Dropped();
    ASSERT_EQ(made.size(), c.made);
    std::vector<zelvproElement*> owned = made;  // the package with its parts
    for (zelvproElement* part : task->Parts()) owned.push_back(part);
    if (c.cell == palettetest::kPackage) {
      EXPECT_EQ(task->Parts().size(), 2u);
    }
    if (c.click) {
      Up(at);
    } else {
      plat::LayerClock::Advance(1000);
      MoveTo({500, 300});
      MoveTo(c.release);
      Up(c.release);
    }
    // Every unit the press made is freed; the plan and the history are as before.
    for (zelvproElement* element : owned) EXPECT_TRUE(lines_.Gone(element));
    EXPECT_EQ(lines_.gone.size(), owned.size());
    EXPECT_EQ(PlanUnits(), std::vector<zelvproElement*>{standing});
    EXPECT_EQ(History().DoneTop(), nullptr);
    EXPECT_EQ(History().RedoTop(), nullptr);
  }
}

// ---- Drops that stand.

TEST_F(DraggerTaskTest, APlainUnitDeselectsBothCanvasesStartsWithItsFrameRegionAndLandsSelected) {
  MakeWindowShowingGroup();
  zelvproTopCanvas room(nullptr, Rect(0, 0, kWidth, kPlanHeight), db_);
  const auto [placed, onRoom] = SelectUnitsOnPlanAndRoom(room);
  ASSERT_NE(placed, nullptr);
  ASSERT_NE(onRoom, nullptr);

  const plat::POINT at = CellCentre(palettetest::kUnit);
  Down(at);
  zelvproDraggerTask* task = LastDragger();
  ASSERT_NE(task, nullptr);
  ASSERT_EQ(task->Dropped().size(), 1u);
  zelvproElement* made = task->Dropped().front();
  EXPECT_FALSE(task->IsPackage());
  EXPECT_FALSE(placed->IsSelected());
  EXPECT_FALSE(onRoom->IsSelected());
  plat::RECT frame{};
  made->NewFrameRegion()->GetBounds(&frame);
  EXPECT_EQ(Text(program_.starts.back()), Text(frame));

  plat::LayerClock::Advance(1000);
  MoveTo({400, 250});
  MoveTo({500, 250});
  Up({500, 250});
  EXPECT_EQ(History().DoneTop(), task);
  EXPECT_TRUE(task->DropStands());
  EXPECT_EQ(made->GetSupervisor(), canvas_.get());
  EXPECT_TRUE(made->IsSelected());
  EXPECT_FALSE(placed->IsSelected());
  EXPECT_TRUE(lines_.gone.empty());
  // The unit moved with the mouse: from the press on the cell to the release in the plan.
  plat::RECT landed = made->GetFrame();
  EXPECT_NEAR((landed.left - frame.left), 500 - at.x, 2);
  EXPECT_NEAR((landed.top - frame.top), 250 - at.y, 2);
  // Cleared, the history lets the standing drop go without touching the unit.
  History().Clear();
  EXPECT_FALSE(lines_.Gone(made));
  EXPECT_EQ(made->GetSupervisor(), canvas_.get());
  canvasHost_.newRoomCanvas = nullptr;
}

TEST_F(DraggerTaskTest, APackageLandsAsItsPartsAndUndoRedoTakeThemOutAndPutThemBack) {
  GivePackageParts();
  MakeWindowShowingGroup();
  zelvproElement* standing = PlaceUnit("B40", 40, 40);
  ASSERT_NE(standing, nullptr);
  const plat::POINT at = CellCentre(palettetest::kPackage);
  Down(at);
  zelvproDraggerTask* task = LastDragger();
  ASSERT_NE(task, nullptr);
  EXPECT_TRUE(task->IsPackage());
  const std::vector<zelvproElement*> parts = task->Parts();
  ASSERT_EQ(parts.size(), 2u);
  zelvproElement* package = task->Dropped().front();
  EXPECT_EQ(parts[0]->GetSupervisor(), package);

  plat::LayerClock::Advance(1000);
  MoveTo({400, 250});
  MoveTo({500, 250});
  Up({500, 250});
  ASSERT_EQ(History().DoneTop(), task);
  // The parts stand in the plan, selected, as the moved chain (the last part first); the package
  // itself is out of the plan, waiting for the deletion list.
  EXPECT_EQ(Chain(task->Moved()), (std::vector<zelvproElement*>{parts[1], parts[0]}));
  const std::vector<zelvproElement*> landed = PlanUnits();
  ASSERT_EQ(landed.size(), 3u);
  EXPECT_EQ(landed[0], standing);
  EXPECT_EQ(std::set<zelvproElement*>(landed.begin() + 1, landed.end()),
            std::set<zelvproElement*>(parts.begin(), parts.end()));
  for (zelvproElement* part : parts) EXPECT_TRUE(part->IsSelected());
  EXPECT_EQ(package->GetSupervisor(), nullptr);
  EXPECT_TRUE(DeletionList::Holds(package));
  // The deletion list emptied (after the message, in the program) leaves the drop on the history.
  DeletionList::DeleteAll();
  ASSERT_EQ(History().DoneTop(), task);
  ppVector3 before[2];
  for (int32_t i = 0; i < 2; ++i) parts[i]->GetAbsolutePosition(before[i]);
  EXPECT_NEAR(before[1].x - before[0].x, 600.0f, 0.5f);

  // A unit put in later (not through the history) stays behind the parts after Redo.
  zelvproElement* later = PlaceUnit("B30", 60, 300);
  ASSERT_NE(later, nullptr);
  std::vector<zelvproElement*> plan = PlanUnits();

  lines_.removed.clear();
  History().Undo();
  EXPECT_FALSE(task->DropStands());
  EXPECT_EQ(PlanUnits(), (std::vector<zelvproElement*>{standing, later}));
  for (zelvproElement* part : parts) {
    EXPECT_EQ(part->GetSupervisor(), nullptr);
    EXPECT_TRUE(lines_.Removed(part));
  }
  EXPECT_FALSE(lines_.Removed(standing));
  EXPECT_FALSE(lines_.Removed(later));

  lines_.added.clear();
  History().Redo();
  EXPECT_TRUE(task->DropStands());
  for (zelvproElement* part : parts) EXPECT_TRUE(lines_.Added(part));
  EXPECT_FALSE(lines_.Added(later));
  // In the same containers, in the same order, at the same places.
  EXPECT_EQ(PlanUnits(), plan);
  for (int32_t i = 0; i < 2; ++i) {
    ppVector3 after;
    parts[i]->GetAbsolutePosition(after);
    EXPECT_FLOAT_EQ(after.x, before[i].x) << i;
    EXPECT_FLOAT_EQ(after.y, before[i].y) << i;
    EXPECT_FLOAT_EQ(after.z, before[i].z) << i;
  }
  for (zelvproElement* part : parts) EXPECT_FALSE(lines_.Gone(part));
}

TEST_F(DraggerTaskTest, ADropUndoneAndThenDroppedFromTheRedoStackFreesItsUnits) {
  GivePackageParts();
  MakeWindowShowingGroup();
  struct Case {
    const char* name;
    Cell cell;
  };
  for (const Case& c : {Case{"plain unit", palettetest::kUnit}, Case{"package", palettetest::kPackage}}) {
    SCOPED_TRACE(c.name);
    program_.draggers.clear();
    Down(CellCentre(c.cell));
    zelvproDraggerTask* task = LastDragger();
    ASSERT_NE(task, nullptr);
    plat::LayerClock::Advance(1000);
    MoveTo({400, 250});
    Up({400, 250});
    ASSERT_EQ(History().DoneTop(), task);
    const std::vector<zelvproElement*> dropped = task->Dropped();
    ASSERT_EQ(dropped.size(), c.cell == palettetest::kPackage ? 2u : 1u);
    History().Undo();
    ASSERT_EQ(History().RedoTop(), task);
    lines_.gone.clear();
    // A new edit drops the undone one from the redo stack: the units out of the plan go with it.
    History().Post(new ppTask());
    for (zelvproElement* element : dropped) EXPECT_TRUE(lines_.Gone(element));
    EXPECT_TRUE(PlanUnits().empty());
    History().Clear();
  }
}

TEST_F(DraggerTaskTest, AUnitDestroyedWhileItsDropStandsTakesTheDropOffTheHistory) {
  MakeWindowShowingGroup();
  Down(CellCentre(palettetest::kUnit));
  zelvproDraggerTask* task = LastDragger();
  ASSERT_NE(task, nullptr);
  plat::LayerClock::Advance(1000);
  MoveTo({400, 250});
  Up({400, 250});
  ASSERT_EQ(History().DoneTop(), task);
  zelvproElement* made = task->Dropped().front();
  // Destroyed as a plan that is replaced destroys its elements: off the plan, then deleted.
  made->DetachFromSupervisor();
  delete made;
  EXPECT_EQ(History().DoneTop(), nullptr);
  History().Undo();
  History().Redo();
  EXPECT_TRUE(PlanUnits().empty());
}

TEST_F(DraggerTaskTest, AUnitsOwnRequestGetsTheDraggerWhichOwnsItsUnitsUntilTheyLand) {
  MakeWindow();
  CanvasTaskFactory factory;
  EXPECT_EQ(factory.NewDraggerTask(nullptr, canvas_.get()), nullptr);
  zelvproElement* unit = PlaceUnit("B30", 100, 100);
  ASSERT_NE(unit, nullptr);
  auto* chain = new qxViewHolder(unit, nullptr, true);
  EXPECT_EQ(factory.NewDraggerTask(chain, nullptr), nullptr);
  ppTask* task = unit->CreateDraggerTask(chain, canvas_.get());
  auto* dragger = dynamic_cast<zelvproDraggerTask*>(task);
  ASSERT_NE(dragger, nullptr);
  EXPECT_EQ(dragger->Moved(), chain);
  // Never released: the units are the task's, and go with it.
  delete task;
  EXPECT_TRUE(lines_.Gone(unit));
  EXPECT_TRUE(PlanUnits().empty());
}

}  // namespace
