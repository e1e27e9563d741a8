// The canvas layer's delete and paste tasks, through the plan canvas's edit commands: copies land a
// paste offset further each time (doors and windows stay), a copied parent's children land in its
// copy, Undo and Redo take elements out and put them back in their places, and histories that drop
// these tasks free what the tasks own without reaching freed elements.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "canvas/tasks/CanvasTaskFactory.h"
#include "canvas/tasks/zelvproDeleteTask.h"
#include "canvas/tasks/zelvproPasteTask.h"
#include "elements/PlanCanvasTestSupport.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/PasteOffset.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewTestSupport.h"
#include "platform/HeadlessDriver.h"

namespace {

using eltest::Rect;

std::vector<zelvproElement*> ChildrenOf(const ppView& view) {
  std::vector<zelvproElement*> out;
  ForEachChildElement(view, [&](zelvproElement* c) { out.push_back(c); });
  return out;
}

// An element of a given kind that counts its price-list additions and removals.
class PricedElement : public zelvproElement {
 public:
  PricedElement(ppView* parent, int32_t elementKind)
      : zelvproElement(0, parent, Rect(0, 0, 10, 10), nullptr, 0, 0) {
    kind = elementKind;
  }
  void AddToCalculation() override { ++lines; }
  void RemoveFromCalculation() override { --lines; }
  int32_t lines = 1;
};

class PlanTasksTest : public tvtest::TopViewTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    TopViewTest::SetUp();
    host_.palette = std::make_unique<zelvproLayerPalette>();
    db_ = &MakeDatabase();
    host_.palette = std::make_unique<zelvproLayerPalette>();
    canvasHost_.palette = std::move(host_.palette);
    canvasHost_.databases = host_.databases;
    iElementHost::Install(&canvasHost_);
    CanvasTaskFactory::InstallDefault();
    item_ = AddTopView(*db_, {{"ID", 4711}});
    canvas_ = std::make_unique<zelvproTopCanvas>(nullptr, Rect(0, 0, 800, 600), db_);
    canvasHost_.topCanvas = canvas_.get();
    iApplicationSettings::Install(&settings_);
  }
  void TearDown() override {
    canvas_.reset();
    iApplicationSettings::Install(nullptr);
    TopViewTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  zelvproTopViewElement* Unit(const ppVector3& at, zelvproElement* parent = nullptr) {
    zelvproTopViewElement* unit = Make(*db_, item_, parent != nullptr ? parent : canvas_.get());
    unit->SetPosition(at);
    return unit;
  }
  static ppVector3 At(zelvproElement* e) { return e->GetPosition(); }

  pctest::CanvasHost canvasHost_;
  iApplicationSettings settings_;
  zelvDatabase* db_ = nullptr;
  int32_t item_ = 0;
  std::unique_ptr<zelvproTopCanvas> canvas_;
};

// ---- Paste.

TEST_F(PlanTasksTest, EachPasteLandsAnotherOffsetFurtherAndUndoRedoKeepTheOrder) {
  zelvproTopViewElement* unit = Unit(ppVector3(1000, 0, 1000));
  unit->Select(false);
  canvas_->DoCommand(zelvproCanvas::kCopy, 0);
  for (int32_t paste = 0; paste < 3; ++paste) canvas_->DoCommand(zelvproCanvas::kPaste, 0);
  std::vector<zelvproElement*> children = ChildrenOf(*canvas_);
  ASSERT_EQ(children.size(), 4u);
  const float expected[] = {1000, 1250, 1500, 1750};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(At(children[i]).x, expected[i]) << i;
    EXPECT_EQ(At(children[i]).z, expected[i]) << i;
    EXPECT_EQ(At(children[i]).y, 0.0f) << i;
  }
  // Each copy has an id of its own.
  EXPECT_NE(children[1]->GetSaveId(), children[2]->GetSaveId());
  EXPECT_TRUE(children[3]->IsSelected());
  EXPECT_FALSE(children[0]->IsSelected());

  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>(children.begin(), children.begin() + 3)));
  canvas_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), children);
}

TEST_F(PlanTasksTest, RedoPutsSeveralPastedElementsBackInTheOrderTheyWereMade) {
  zelvproTopViewElement* a = Unit(ppVector3(0, 0, 0));
  zelvproTopViewElement* b = Unit(ppVector3(3000, 0, 0));
  a->Select(false), b->Select(false);
  canvas_->DoCommand(zelvproCanvas::kCopy, 0);
  canvas_->DoCommand(zelvproCanvas::kPaste, 0);
  const std::vector<zelvproElement*> pasted = ChildrenOf(*canvas_);
  ASSERT_EQ(pasted.size(), 4u);
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{a, b}));
  canvas_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), pasted);
  // Dropping the redone paste keeps the elements; dropping an undone one frees them (ASan checks).
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  canvas_->Post(new ppTask(canvas_.get()));
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{a, b}));
}

TEST_F(PlanTasksTest, ACopiedParentsChildrenLandInItsCopy) {
  zelvproTopViewElement* parent = Unit(ppVector3(500, 0, 500));
  Unit(ppVector3(10, 0, 10), parent);
  parent->Select(false);
  canvas_->DoCommand(zelvproCanvas::kCopy, 0);
  canvas_->DoCommand(zelvproCanvas::kPaste, 0);
  std::vector<zelvproElement*> children = ChildrenOf(*canvas_);
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(ChildrenOf(*children[0]).size(), 1u);
  EXPECT_EQ(ChildrenOf(*children[1]).size(), 1u);
  EXPECT_EQ(At(ChildrenOf(*children[1])[0]).x, 10.0f);  // only the pasted parent moves
}

TEST_F(PlanTasksTest, PastedDoorsAndWindowsKeepTheirPlace) {
  SetPasteOffset(250.0f);
  struct Case {
    int32_t kind;
    float x;
  } cases[] = {{ElementKinds::kDoor, 100}, {ElementKinds::kRoomWindow, 100}, {ElementKinds::kPlain, 350}};
  qxViewHolder* chain = nullptr;
  std::vector<zelvproElement*> made;
  for (const Case& c : cases) {
    auto* e = new PricedElement(canvas_.get(), c.kind);
    e->SetPosition(ppVector3(100, 0, 100));
    made.push_back(e);
    chain = new qxViewHolder(e, chain, false);
  }
  std::unique_ptr<ppTask> paste(iElementTaskFactory::Current().NewPasteTask(canvas_.get(), chain, 1));
  ASSERT_NE(paste, nullptr);
  paste->Do();
  for (size_t i = 0; i < made.size(); ++i) {
    EXPECT_EQ(At(made[i]).x, cases[i].x) << cases[i].kind;
    EXPECT_TRUE(made[i]->IsSelected());
  }
  EXPECT_EQ(PasteOffset(), 500.0f);
  // Undo does not move the offset back.
  paste->Undo();
  EXPECT_EQ(PasteOffset(), 500.0f);
  EXPECT_TRUE(ChildrenOf(*canvas_).empty());
}

// ---- Delete.

class DeleteTest : public PlanTasksTest {
 protected:
  void SetUp() override {
    PlanTasksTest::SetUp();
    first_ = new PricedElement(canvas_.get(), ElementKinds::kPlanWall);
    segment_ = new PricedElement(canvas_.get(), ElementKinds::kRoomSegment);
    second_ = new PricedElement(canvas_.get(), ElementKinds::kPlanWall);
    plain_ = new PricedElement(canvas_.get(), ElementKinds::kPlain);
    for (zelvproElement* e : {first_, segment_, second_}) e->Select(false);
  }
  PricedElement *first_, *segment_, *second_, *plain_;
};

TEST_F(DeleteTest, WithoutTheOptionWallSegmentsStayAndUndoPutsThePiecesBackAtTheEnd) {
  canvas_->DoCommand(zelvproCanvas::kDelete, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{segment_, plain_}));
  EXPECT_EQ(first_->lines, 0);
  EXPECT_EQ(second_->lines, 0);
  EXPECT_EQ(segment_->lines, 1);
  EXPECT_EQ(canvasHost_.defaultPanels, 1);
  EXPECT_GE(canvasHost_.modified, 1);
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{segment_, plain_, first_, second_}));
  EXPECT_EQ(first_->lines, 1);
  canvas_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{segment_, plain_}));
}

TEST_F(DeleteTest, WithTheOptionTheSegmentGoesTooAndComesBackInFront) {
  settings_.flags1 |= iApplicationSettings::kDeleteWallSegments;
  canvas_->DoCommand(zelvproCanvas::kDelete, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{plain_}));
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{segment_, plain_, first_, second_}));
}

// A task that writes to its element when it goes.
class TouchTask : public ppTask {
 public:
  explicit TouchTask(zelvproElement* element) : ppTask(element) {}
};

TEST_F(DeleteTest, DroppingAStandingDeleteFreesTheElementsAndTheirTasksOnce) {
  // Tasks naming the deleted elements sit under and over the delete task.
  canvas_->Post(new TouchTask(first_));
  canvas_->DoCommand(zelvproCanvas::kDelete, 0);
  canvas_->Post(new TouchTask(second_));
  canvas_->Clear();  // the delete task frees the pieces; their tasks leave the history being cleared
  EXPECT_EQ(canvas_->DoneTop(), nullptr);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{segment_, plain_}));
}

TEST_F(DeleteTest, AnUndoneDeleteDroppedLeavesThePlanWhole) {
  canvas_->DoCommand(zelvproCanvas::kDelete, 0);
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  canvas_->Post(new ppTask(canvas_.get()));  // drops the redo stack with the undone delete
  canvas_->DeleteAllElements();
  EXPECT_TRUE(ChildrenOf(*canvas_).empty());
}

// ---- Elements destroyed elsewhere while a step keeps them.

// Destroyed as a plan that is replaced destroys its elements: off the plan, then deleted.
void DestroyInPlan(zelvproElement* element) {
  element->DetachFromSupervisor();
  delete element;
}

TEST_F(DeleteTest, AnElementDestroyedAfterItsDeleteWasUndoneTakesTheDeleteOffTheHistory) {
  canvas_->DoCommand(zelvproCanvas::kDelete, 0);
  ppTask* task = canvas_->DoneTop();
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  ASSERT_EQ(canvas_->RedoTop(), task);
  DestroyInPlan(first_);
  EXPECT_EQ(canvas_->RedoTop(), nullptr);
  canvas_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{segment_, plain_, second_}));
}

TEST_F(DeleteTest, AContainerDestroyedWhileTheDeleteStandsTakesItOffAndItFreesWhatItTookOut) {
  // Pieces of a unit deleted, then the unit itself destroyed: they can never go back into it.
  auto* unit = new PricedElement(canvas_.get(), ElementKinds::kPlain);
  auto* inner = new PricedElement(unit, ElementKinds::kPlanWall);
  for (zelvproElement* e : {first_, segment_, second_}) e->Deselect(false);
  inner->Select(false);
  canvas_->DoCommand(zelvproCanvas::kDelete, 0);
  ASSERT_EQ(inner->GetSupervisor(), nullptr);
  ppTask* task = canvas_->DoneTop();
  DestroyInPlan(unit);
  EXPECT_FALSE(canvas_->Holds(task));  // LSan reports the piece if the task did not free it
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{first_, segment_, second_, plain_}));
}

TEST_F(PlanTasksTest, APastedElementDestroyedTakesThePasteOffTheHistory) {
  zelvproTopViewElement* unit = Unit(ppVector3(1000, 0, 1000));
  unit->Select(false);
  canvas_->DoCommand(zelvproCanvas::kCopy, 0);
  canvas_->DoCommand(zelvproCanvas::kPaste, 0);
  ppTask* paste = canvas_->DoneTop();
  std::vector<zelvproElement*> children = ChildrenOf(*canvas_);
  ASSERT_EQ(children.size(), 2u);
  DestroyInPlan(children[1]);
  EXPECT_FALSE(canvas_->Holds(paste));
  canvas_->DoCommand(zelvproCanvas::kUndo, 0);
  canvas_->DoCommand(zelvproCanvas::kRedo, 0);
  EXPECT_EQ(ChildrenOf(*canvas_), (std::vector<zelvproElement*>{unit}));
}

}  // namespace
