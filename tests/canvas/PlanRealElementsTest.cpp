// The delete and paste tasks and the plan load with the real elements they meet in a plan: wall
// pieces and room wall segments on delete, a catalogue group on paste, and units whose catalogue unit
// makes interior parts, pasted and loaded with their parts' own records.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "canvas/tasks/CanvasTaskFactory.h"
#include "canvas/tasks/zelvproBasicMoverTask.h"
#include "elements/base/DeletionList.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/qxViewHolder.h"
#include "framework/ppMouseTask.h"
#include "catalogue/records/RecordField.h"
#include "elements/PlanCanvasTestSupport.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewTestSupport.h"
#include "elements/units/zelvproTopGroupElement.h"
#include "platform/HeadlessDriver.h"
#include "room/qxRoomSegment.h"
#include "room/zelvproWall.h"

namespace {

using eltest::Rect;
using Words = std::vector<int32_t>;

std::vector<zelvproElement*> ChildrenOf(const ppView& view) {
  std::vector<zelvproElement*> out;
  ForEachChildElement(view, [&](zelvproElement* c) { out.push_back(c); });
  return out;
}

class PlanRealElementsTest : public tvtest::TopViewTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    TopViewTest::SetUp();
    db_ = &MakeDatabase();
    canvasHost_.palette = std::make_unique<zelvproLayerPalette>();
    canvasHost_.databases = host_.databases;
    iElementHost::Install(&canvasHost_);
    CanvasTaskFactory::InstallDefault();
    canvas_ = std::make_unique<zelvproTopCanvas>(nullptr, Rect(0, 0, 800, 600), db_);
    canvasHost_.topCanvas = canvas_.get();
    iApplicationSettings::Install(&settings_);
  }
  void TearDown() override {
    canvas_.reset();
    loaded_.reset();
    iApplicationSettings::Install(nullptr);
    TopViewTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  // A group item (catalogue ID `id`, flags `flags`) of two units of item `childId`, 300 mm apart.
  int32_t AddGroupOfTwo(int32_t id, int32_t childId, int32_t flags) {
    const int32_t child = AddTopView(*db_, {{"ID", childId}});
    const int32_t group = AddTopView(*db_, {{"ID", id}, {"Type", 1}, {"flags", flags}});
    zelvproTopViewFil& topViews = db_->TopViewFile();
    topViews.ReadRecord(group, nullptr);
    cattest::SetWords(topViews, "subItems",
                      eltest::Join({eltest::SubItemEntry(child, 0, 0, 0, 0, 0),
                                    eltest::SubItemEntry(child, 0, 300, 0, 0, 0)}));
    topViews.WriteRecord(group, nullptr);
    return group;
  }

  pctest::CanvasHost canvasHost_;
  iApplicationSettings settings_;
  zelvDatabase* db_ = nullptr;
  std::unique_ptr<zelvproTopCanvas> canvas_, loaded_;
};

// ---- Delete with wall pieces and a room wall segment.

class RealDeleteTest : public PlanRealElementsTest {
 protected:
  void SetUp() override {
    PlanRealElementsTest::SetUp();
    first_ = Piece();
    const int32_t wallItem = AddTopView(*db_, {{"ID", 900}});
    db_->TopViewFile().ReadRecord(wallItem, nullptr);
    auto* segment = new qxRoomSegment(wallItem, canvas_.get(), Rect(0, 0, 10, 10),
                                      db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
    segment->SetEnds(ppVector3(0, 0, 0), ppVector3(3000, 0, 0));
    segment_ = segment;
    second_ = Piece();
    plain_ = Make(*db_, AddTopView(*db_, {{"ID", 4711}}), canvas_.get());
    for (zelvproElement* e : {first_, segment_, second_}) e->Select(false);
  }
  // A wall piece loaded from its module record, a child of the canvas.
  zelvproWall* Piece() {
    zelvproDocModuleFil& module = Module(*db_);
    cattest::SetField(module, "type", zelvproWall::kKind);
    return new zelvproWall(canvas_.get(), module, false);
  }
  zelvproElement *first_, *segment_, *second_, *plain_;
};

TEST_F(RealDeleteTest, WallPiecesGoAndComeBackAtTheEndWhileTheSegmentStays) {
  canvas_->DoCommand(zelvproCanvas::kDelete, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{segment_, plain_}));
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{segment_, plain_, first_, second_}));
  canvas_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{segment_, plain_}));
}

TEST_F(RealDeleteTest, WithTheOptionTheSegmentGoesTooAndComesBackInFront) {
  settings_.flags1 |= iApplicationSettings::kDeleteWallSegments;
  canvas_->DoCommand(zelvproCanvas::kDelete, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{plain_}));
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{segment_, plain_, first_, second_}));
  // Dropping the redo stack with the undone delete leaves the plan whole (ASan checks the frees).
  canvas_->Post(new ppTask(canvas_.get()));
  EXPECT_EQ(ChildrenOf(*canvas_).size(), 4u);
}

// ---- Paste of a catalogue group.

TEST_F(PlanRealElementsTest, ACopiedGroupsChildrenLandInTheGroupsCopy) {
  const int32_t groupItem = AddGroupOfTwo(50, 51, 0);
  auto* group = dynamic_cast<zelvproTopGroupElement*>(Make(*db_, groupItem, canvas_.get()));
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(ChildrenOf(*group).size(), 2u);
  group->SetPosition(ppVector3(1000, 0, 1000));
  group->Select(false);

  canvas_->DoCommand(zelvproCanvas::kCopy, 0);
  canvas_->DoCommand(zelvproCanvas::kPaste, 0);
  const std::vector<zelvproElement*> top = ChildrenOf(*canvas_);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(ChildrenOf(*group).size(), 2u);  // the original keeps its two
  const std::vector<zelvproElement*> copied = ChildrenOf(*top[1]);
  ASSERT_EQ(copied.size(), 2u);
  EXPECT_EQ(copied[0]->GetPosition().x, 0.0f);
  EXPECT_EQ(copied[1]->GetPosition().x, 300.0f);
  EXPECT_EQ(top[1]->GetPosition().x, 1250.0f);

  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{group}));
}

// ---- A placement-aid group moved: it dissolves, and Undo brings it back whole.

TEST_F(PlanRealElementsTest, AGroupThatDissolvedOnItsFirstMoveComesBackWholeWithUndo) {
  const int32_t groupItem = AddGroupOfTwo(60, 61, int32_t(zelvproTopGroupElement::kDissolvesOnPlacement));
  zelvproElement* before = Make(*db_, AddTopView(*db_, {{"ID", 62}}), canvas_.get());
  auto* group = dynamic_cast<zelvproTopGroupElement*>(Make(*db_, groupItem, canvas_.get()));
  zelvproElement* after = Make(*db_, AddTopView(*db_, {{"ID", 63}}), canvas_.get());
  ASSERT_NE(group, nullptr);
  canvas_->RemoveSubview(after);  // the group stands between two units
  canvas_->AddSubview(after);
  group->SetPosition(ppVector3(1000, 0, 1000));
  const std::vector<zelvproElement*> parts = ChildrenOf(*group);
  ASSERT_EQ(parts.size(), 2u);
  const std::vector<zelvproElement*> plan = ChildrenOf(*canvas_);

  // The dissolve posts a sweeper for its freed parts; a window runs it as the document window does.
  canvasHost_.documentWindow = eltest::OpenSweeperWindow("GroupMoveDocumentWindow");
  // Moved by the mover as a drag does it: the group dissolves into its parts on the plan.
  zelvproBasicMoverTask::SetCollisionTestOn(false);
  auto* move = dynamic_cast<ppMouseTask*>(iElementTaskFactory::Current().NewMoverTask(
      new qxViewHolder(group, nullptr, true), canvas_.get(), nullptr));
  ASSERT_NE(move, nullptr);  // it posts itself on the canvas's history at the release
  move->SetClickDeadline(0);
  move->Press(100, 100);
  plat::POINT to{160, 100};
  move->Move(&to);
  move->MouseUp(&to);
  zelvproBasicMoverTask::SetCollisionTestOn(true);
  ASSERT_TRUE(canvas_->Holds(move));
  EXPECT_EQ(group->GetSupervisor(), nullptr);
  EXPECT_FALSE(DeletionList::Holds(group)) << "the move keeps the group for its undo";
  EXPECT_EQ(ChildrenOf(*canvas_).size(), 4u);
  const float movedX = parts[1]->GetPosition().x;
  EXPECT_GT(movedX, 1300.0f);

  // Undo: the group stands where it stood, in its place among the units, holding both parts as before.
  canvas_->Undo();
  EXPECT_EQ(ChildrenOf(*canvas_), plan);
  EXPECT_EQ(ChildrenOf(*group), parts);
  EXPECT_EQ(group->GetPosition().x, 1000.0f);
  EXPECT_EQ(parts[1]->GetPosition().x, 300.0f);

  // Redo dissolves it again; dropping the history then frees the dissolved group with its move.
  canvas_->Redo();
  EXPECT_EQ(group->GetSupervisor(), nullptr);
  EXPECT_EQ(parts[1]->GetPosition().x, movedX);
  EXPECT_EQ(ChildrenOf(*canvas_).size(), 4u);
  plat::HeadlessDriver::RunUntilIdle();
  canvas_->Clear();
  (void)before;
}

// ---- Units whose catalogue unit makes interior parts.

class InteriorPartsTest : public PlanRealElementsTest {
 protected:
  // A unit applied with `chosen`, whose catalogue unit makes one interior part (a shelf). The item
  // offers the plain unit `plain_` and `chosen` (marked as not plain): a unit brought up to its
  // catalogue again takes `plain_`, whose part is a drawer.
  zelvproTopViewElement* UnitWithPart() {
    shelf_ = AddTopView(*db_, {{"ID", 60}});
    drawer_ = AddTopView(*db_, {{"ID", 61}});
    plain_ = AddUnit(*db_, {{"id", 1}}, {{"subUnits", Words{drawer_, 0, 0, 0, 0, 0, 0}}});
    chosen_ = AddUnit(*db_, {{"id", 2}}, {{"subUnits", Words{shelf_, 0, 0, 0, 0, 0, 0}}});
    const int32_t item = AddTopView(*db_, {{"ID", 70}}, {{"Units", {plain_, 0, chosen_, 1}}});
    zelvproTopViewElement* unit = Make(*db_, item, canvas_.get());
    unit->ApplyAccessId(chosen_, false);
    return unit;
  }
  static std::vector<int32_t> PartItems(const ppView& unit) {
    std::vector<int32_t> items;
    for (zelvproElement* part : ChildrenOf(unit)) items.push_back(part->recordId);
    return items;
  }
  int32_t shelf_ = 0, drawer_ = 0, plain_ = 0, chosen_ = 0;
};

TEST_F(InteriorPartsTest, APastedUnitHasTheCopiedPartsOnlyOnce) {
  zelvproTopViewElement* unit = UnitWithPart();
  ASSERT_EQ(PartItems(*unit), (std::vector<int32_t>{shelf_}));
  unit->Select(false);
  canvas_->DoCommand(zelvproCanvas::kCopy, 0);
  canvas_->DoCommand(zelvproCanvas::kPaste, 0);
  const std::vector<zelvproElement*> top = ChildrenOf(*canvas_);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(PartItems(*top[0]), (std::vector<int32_t>{shelf_}));
  // The copy is brought up to its catalogue (the plain unit), but its parts are the copied ones.
  EXPECT_EQ(PartItems(*top[1]), (std::vector<int32_t>{shelf_}));
  // A second paste starts from the first copy and still doubles nothing.
  canvas_->DoCommand(zelvproCanvas::kPaste, 0);
  ASSERT_EQ(ChildrenOf(*canvas_).size(), 3u);
  EXPECT_EQ(PartItems(*ChildrenOf(*canvas_)[2]), (std::vector<int32_t>{shelf_}));
}

TEST_F(InteriorPartsTest, ALoadedUnitHasItsSavedPartsOnlyOnce) {
  zelvproTopViewElement* unit = UnitWithPart();
  zelvproDocModuleFil& modules = Module(*db_);
  canvas_->SaveTree(modules, false, 0);
  loaded_ = std::make_unique<zelvproTopCanvas>(nullptr, Rect(0, 0, 800, 600), db_);
  loaded_->LoadPlan(modules);
  const std::vector<zelvproElement*> top = ChildrenOf(*loaded_);
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(top[0]->GetSaveId(), unit->GetSaveId());
  EXPECT_EQ(top[0]->unitRecordId, chosen_);
  EXPECT_EQ(PartItems(*top[0]), (std::vector<int32_t>{shelf_}));
}

}  // namespace
