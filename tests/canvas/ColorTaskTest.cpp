// The colour task started from a colour item of the element palette on the headless desktop: which
// units a release paints, Undo and Redo of each unit's own colour, the catalogue's last used colours
// per colour group, and the cursor while dragging.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "PaletteTestSupport.h"
#include "canvas/tasks/zelvproColorTask.h"
#include "elements/topview/CatalogReads.h"
#include "framework/ppCursorTable.h"
#include "platform/ResourceRegistry.h"

namespace {

using eltest::Rect;

class ColorTaskTest : public palettetest::PaletteTest {
 protected:
  void SetUp() override {
    PaletteTest::SetUp();
    MakeWindowShowingGroup();
    a_ = PlaceUnit("B30", 100, 100);
    b_ = PlaceUnit("B40", 300, 100);
    c_ = PlaceUnit("B60", 500, 100);
    ASSERT_TRUE(a_ && b_ && c_);
    linen_ = palettetest::RecordNamed(db_->ColorCatalogFile(), "name", "Linen");
    plat::HeadlessDriver::RunUntilIdle();
  }
  static int32_t ColourOf(zelvproElement* unit) { return unit->GetColorRecordIdClamped(unit->extraA); }
  // The window pixel at the middle of a unit.
  plat::POINT Over(zelvproElement* unit) const {
    plat::RECT r{};
    unit->NewFrameRegion()->GetBounds(&r);
    return plat::POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  zelvproColorTask* Posted() const { return dynamic_cast<zelvproColorTask*>(canvas_->DoneTop()); }

  zelvproElement *a_ = nullptr, *b_ = nullptr, *c_ = nullptr;
  int32_t linen_ = 0;
};

TEST_F(ColorTaskTest, AReleasePaintsTheUnitTheSelectionOrEveryUnlockedUnit) {
  struct Case {
    const char* name;
    std::set<int> selected;  // 0 a, 1 b, 2 c
    int target;              // -1: empty plan
    bool lockC;
    std::set<int> painted;
  };
  const Case cases[] = {
      {"unselected unit", {1}, 0, false, {0}},
      {"selected unit", {0, 1}, 1, false, {0, 1}},
      {"empty plan with a selection", {2}, -1, false, {2}},
      {"empty plan without selection", {}, -1, true, {0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    zelvproElement* units[] = {a_, b_, c_};
    for (zelvproElement* u : units) {
      u->ApplyColorRecord(added_.snow, db_, -1);
      u->Deselect(false);
      u->UnlockTree();
    }
    std::map<zelvproElement*, int32_t> before;
    for (zelvproElement* u : units) before[u] = ColourOf(u);
    ASSERT_NE(before[a_], added_.graphite);
    for (int i : c.selected) units[i]->Select(false);
    if (c.lockC) c_->LockTree();
    const plat::POINT to = c.target >= 0 ? Over(units[c.target]) : plat::POINT{900, 380};
    Drag(palettetest::kGraphite, to);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(ColourOf(units[i]), c.painted.count(i) ? added_.graphite : before[units[i]]) << i;
    ASSERT_NE(Posted(), nullptr);
    EXPECT_EQ(Posted()->Units().size(), c.painted.size());
  }
}

TEST_F(ColorTaskTest, UndoGivesEachUnitItsOwnColourAndRedoPaintsAgain) {
  a_->ApplyColorRecord(added_.snow, db_, -1);
  b_->ApplyColorRecord(linen_, db_, -1);
  ASSERT_EQ(ColourOf(a_), added_.snow);
  ASSERT_EQ(ColourOf(b_), linen_);
  const int32_t modified = canvasHost_.modified;
  Drag(palettetest::kGraphite, plat::POINT{900, 380});
  ASSERT_NE(Posted(), nullptr);
  EXPECT_EQ(ColourOf(a_), added_.graphite);
  EXPECT_EQ(ColourOf(b_), added_.graphite);
  EXPECT_GT(canvasHost_.modified, modified);

  canvas_->Undo();
  EXPECT_EQ(ColourOf(a_), added_.snow);
  EXPECT_EQ(ColourOf(b_), linen_);
  EXPECT_TRUE(canvas_->RedoTop() != nullptr && canvas_->RedoTop()->IsUndone());
  canvas_->Redo();
  EXPECT_EQ(ColourOf(a_), added_.graphite);
  EXPECT_EQ(ColourOf(b_), added_.graphite);
}

TEST_F(ColorTaskTest, AUnitDestroyedAfterItWasPaintedTakesThePaintingOffTheHistory) {
  Drag(palettetest::kGraphite, Over(a_));
  ppTask* painting = Posted();
  ASSERT_NE(painting, nullptr);
  a_->DetachFromSupervisor();  // as a replaced plan destroys its units
  delete a_;
  a_ = nullptr;
  EXPECT_FALSE(canvas_->Holds(painting));
  canvas_->Undo();  // ASan reports a painting that reached the freed unit
  canvas_->Redo();
}

TEST_F(ColorTaskTest, TheCatalogueRecordsTheColourOnlyForColourGroupsItHas) {
  // A plain element of the catalogue names no colour group of it: its bit is beyond them.
  auto* plain = new zelvproElement(0, canvas_.get(), Rect(700, 200, 760, 260), db_, 0, 0);
  plain->Select(false);
  const int32_t groups = CatalogReads::ColourCodeCount(*db_);
  ASSERT_GT(groups, 0);
  ASSERT_LT(groups, 32);
  Drag(palettetest::kGraphite, plat::POINT{900, 380});
  ASSERT_NE(Posted(), nullptr);
  EXPECT_NE(Posted()->Mask() & int32_t(0x80000000u), 0);
  for (int32_t group = groups + 1; group <= 32; ++group) EXPECT_EQ(db_->LastGroupColor(group), 0) << group;
  EXPECT_EQ(plain->GetColorRecordId(0), added_.graphite);
}

TEST_F(ColorTaskTest, AReleaseThatPaintsNothingLeavesNoUndoEntry) {
  for (zelvproElement* u : {a_, b_, c_}) u->LockTree();
  const int32_t modified = canvasHost_.modified;
  Drag(palettetest::kGraphite, plat::POINT{900, 380});
  EXPECT_EQ(canvas_->DoneTop(), nullptr);
  EXPECT_EQ(canvasHost_.modified, modified);
}

// The table as the application fills it: seven system cursors, then the program's cursor resources
// from 139 on, so that resource 139 sits at index 7.
TEST_F(ColorTaskTest, TheCursorIs139WhileDragging) {
  ppCursorTable table(plat::IDC_ARROW);
  for (int32_t i = 0; i < 7; ++i) table.Add(nullptr, plat::IDC_ARROW);
  for (int32_t id = 139; id <= 146; ++id) table.Add(plat::ProgramInstance(), id);
  const int32_t paint = table.FindResource(zelvproColorTask::kCursorResource);
  ASSERT_EQ(paint, 7);
  ASSERT_NE(table.At(paint)->Handle(), nullptr) << "the program's resources lack the paint cursor";
  ppCursorTable::SetGlobal(&table);
  const plat::POINT from = CellCentre(palettetest::kSnow);
  Down(from);
  plat::LayerClock::Advance(1000);
  MoveTo(plat::POINT{400, 200});
  EXPECT_EQ(plat::Desktop::CurrentCursor(), table.At(paint)->Handle());
  EXPECT_NE(plat::Desktop::CurrentCursor(), table.At(0)->Handle());
  Up(plat::POINT{400, 200});
  ppCursorTable::SetGlobal(nullptr);
}

}  // namespace
