#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ppTask.h"
#include "framework/ppUndoer.h"
#include "framework/ppView.h"
#include "framework/zelvproAccDeleteTask.h"

namespace {

std::vector<std::string> gLog;

class Named : public ppTask {
 public:
  explicit Named(std::string name, bool absorbs = false, bool empty = false)
      : name_(std::move(name)), absorbs_(absorbs), empty_(empty) {}
  ~Named() override { gLog.push_back("delete " + name_); }
  void Undo() override {
    gLog.push_back("undo " + name_);
    ppTask::Undo();
  }
  void Redo() override {
    gLog.push_back("redo " + name_);
    ppTask::Redo();
  }
  bool Absorb(ppTask*) override {
    gLog.push_back("absorb? " + name_);
    return absorbs_;
  }
  bool IsEmpty() override { return empty_; }

 private:
  std::string name_;
  bool absorbs_, empty_;
};

class Undoer : public ::testing::Test {
 protected:
  void SetUp() override { gLog.clear(); }
};

TEST_F(Undoer, ANewPostDropsTheRedoStack) {
  ppUndoer history;
  auto* a = new Named("A");
  history.Post(a);  // onto an empty stack: nobody is asked to absorb
  history.Post(new Named("B"));
  history.Undo();
  gLog.clear();
  history.Post(new Named("C"));
  EXPECT_EQ(gLog, (std::vector<std::string>{"absorb? A", "delete B"}));
  EXPECT_EQ(history.RedoTop(), nullptr);
  history.Undo();
  history.Redo();
  EXPECT_NE(history.DoneTop(), a);
  EXPECT_FALSE(history.DoneTop()->IsUndone());
}

TEST_F(Undoer, AnAbsorbedTaskIsDeletedAndTheRedoStackKept) {
  ppUndoer history;
  history.Post(new Named("A", true));
  history.Post(new Named("B", true));  // A absorbs B
  history.Undo();
  history.Post(new Named("X"));  // nothing done: no absorb, redo of A dropped
  gLog.clear();
  history.Undo();
  history.Post(new Named("Y"));  // empty done stack again
  EXPECT_EQ(gLog, (std::vector<std::string>{"undo X", "delete X"}));
}

TEST_F(Undoer, RemoveFindsTasksOnEitherStackAndFinishLeavesNoTrace) {
  ppUndoer history;
  auto* a = new Named("A");
  auto* b = new Named("B");
  auto* c = new Named("C");
  history.Post(a);
  history.Post(b);
  history.Post(c);
  history.Undo();
  history.Undo();  // redo stack: B (top), C
  gLog.clear();
  history.Remove(c);        // deep in the redo stack
  history.Remove(nullptr);  // the top done task: A
  EXPECT_EQ(gLog, (std::vector<std::string>{"delete C", "delete A"}));
  EXPECT_EQ(history.RedoTop(), b);
  b->Finish();  // a finished task leaves its history
  EXPECT_EQ(history.RedoTop(), nullptr);
  auto* loose = new Named("loose");
  loose->Finish();  // a task in no history deletes itself
  EXPECT_EQ(gLog.back(), "delete loose");
}

// ---- Views kept by tasks and destroyed elsewhere.

// A view that, like a plan element, takes the tasks naming it off the histories when it goes; it
// counts its destructions (a second one is also what ASan reports).
class CountedView : public ppView {
 public:
  CountedView(ppView* parent, int* deaths) : ppView(parent), deaths_(deaths) {}
  ~CountedView() override {
    ++*deaths_;
    ppUndoer::PurgeTarget(this);
  }

 private:
  int* deaths_;
};

// Puts `view` into `parent` and takes it out again, as the plan's drop tasks do: out of the plan the
// view is the task's, which deletes it when it goes.
class PlaceTask : public ppTask {
 public:
  PlaceTask(ppView* parent, ppView* view) : parent_(parent), view_(view) {
    Keep(parent_);
    Keep(view_);
  }
  ~PlaceTask() override { DeleteKeptIfLoose(view_); }
  void Do() override {
    parent_->AddSubview(view_);
    ppTask::Do();
  }
  void Undo() override {
    view_->DetachFromSupervisor();
    ppTask::Undo();
  }
  void Redo() override { Do(); }

 private:
  ppView* parent_;
  ppView* view_;
};

class KeptViews : public ::testing::Test {
 protected:
  int parentDeaths_ = 0, viewDeaths_ = 0;
};

TEST_F(KeptViews, AViewDestroyedOnThePlanTakesItsTaskOffTheHistoryAndDiesOnce) {
  ppUndoer history;
  ppView plan;
  // Destroyed as a room that is replaced destroys its walls: taken out of the plan, then deleted.
  for (const bool detachedFirst : {true, false}) {
    SCOPED_TRACE(detachedFirst ? "taken out, then deleted" : "deleted in place");
    viewDeaths_ = 0;
    auto* view = new CountedView(nullptr, &viewDeaths_);
    auto* task = new PlaceTask(&plan, view);
    history.Post(task);
    task->Do();
    history.Post(new Named("later"));
    if (detachedFirst) view->DetachFromSupervisor();
    delete view;
    EXPECT_EQ(viewDeaths_, 1);
    EXPECT_FALSE(history.Holds(task));
    EXPECT_EQ(plan.Subviews().Count(), 0);
    // Undo and Redo reach only what is left, and never bring the view back.
    history.Undo();
    history.Undo();
    history.Redo();
    EXPECT_EQ(plan.Subviews().Count(), 0);
    history.Clear();
    EXPECT_EQ(viewDeaths_, 1);
  }
}

TEST_F(KeptViews, AContainerDestroyedTakesTheTaskOffWhichFreesItsLooseViewOnce) {
  ppUndoer history;
  auto* parent = new CountedView(nullptr, &parentDeaths_);
  auto* view = new CountedView(nullptr, &viewDeaths_);
  auto* task = new PlaceTask(parent, view);
  history.Post(task);
  task->Do();
  history.Undo();  // the view is out of its container again: the task's
  delete parent;
  EXPECT_EQ(parentDeaths_, 1);
  EXPECT_FALSE(history.Holds(task));
  EXPECT_EQ(viewDeaths_, 1) << "the view could never go back; its task freed it";
  history.Redo();  // nothing left to redo
  EXPECT_EQ(history.DoneTop(), nullptr);
}

TEST_F(KeptViews, ATaskFreeingAViewForgetsTheKeptViewsThatDieWithItAndTasksNotInAHistoryToo) {
  // A loose view with a kept subview: deleting the first takes the second with it.
  auto* outer = new CountedView(nullptr, &parentDeaths_);
  auto* inner = new CountedView(outer, &viewDeaths_);
  class Both : public ppTask {
   public:
    Both(ppView* a, ppView* b) : a_(a), b_(b) {
      Keep(a_);
      Keep(b_);
    }
    ~Both() override {
      DeleteKept(a_);
      DeleteKept(b_);
    }
    ppView *a_, *b_;
  };
  delete new Both(outer, inner);
  EXPECT_EQ(parentDeaths_, 1);
  EXPECT_EQ(viewDeaths_, 1);

  // A task on no history (one still tracking the mouse) lets go of a view destroyed meanwhile.
  viewDeaths_ = 0;
  auto* view = new CountedView(nullptr, &viewDeaths_);
  ppView plan;
  auto* tracking = new PlaceTask(&plan, view);
  tracking->Do();
  view->DetachFromSupervisor();
  delete view;
  EXPECT_FALSE(tracking->Keeps(view));
  delete tracking;
  EXPECT_EQ(viewDeaths_, 1);
}

TEST_F(KeptViews, AViewBeingDestroyedIsNotDeletedByATaskThatItsOwnPurgeDropsOnAnotherHistory) {
  // Two histories: on the first, a step that puts `loose` back into `dying` (undone, so it owns
  // `loose`); on the second, a step that puts `dying` into `loose`. Destroying `dying` drops the first
  // step, which frees `loose`, which drops the second step while `dying` is still being destroyed.
  ppUndoer first, second;
  auto* dying = new CountedView(nullptr, &parentDeaths_);
  auto* loose = new CountedView(nullptr, &viewDeaths_);
  auto* owner = new PlaceTask(dying, loose);
  first.Post(owner);
  owner->Do();
  first.Undo();
  auto* other = new PlaceTask(loose, dying);
  second.Post(other);
  delete dying;
  EXPECT_EQ(parentDeaths_, 1);
  EXPECT_EQ(viewDeaths_, 1);
  EXPECT_EQ(first.RedoTop(), nullptr);
  EXPECT_EQ(second.DoneTop(), nullptr);
}

TEST_F(KeptViews, AViewDestroyedWhileTwoHistoriesKeepItIsDeletedOnceWhicheverHistoryComesFirst) {
  // Two removals that own what they took out, each on its own history: one took `dying` out of
  // `holder`, the other `holder` out of `dying`. Destroying `dying` drops both. When the step that
  // keeps it as a container goes first, it frees `holder`, whose own destruction drops the step that
  // owns `dying` while `dying` is still being destroyed: that step must not delete it again.
  for (const bool ownerFirst : {false, true}) {
    SCOPED_TRACE(ownerFirst ? "the owner of the dying view on the first history" : "on the second history");
    parentDeaths_ = viewDeaths_ = 0;
    ppUndoer first, second;
    auto* holder = new CountedView(nullptr, &viewDeaths_);
    auto* dying = new CountedView(holder, &parentDeaths_);
    auto* ownsDying = new zelvproAccDeleteTask(holder, dying);
    (ownerFirst ? first : second).Post(ownsDying);
    ownsDying->Do();
    dying->AddSubview(holder);
    auto* ownsHolder = new zelvproAccDeleteTask(dying, holder);
    (ownerFirst ? second : first).Post(ownsHolder);
    ownsHolder->Do();
    delete dying;
    EXPECT_EQ(parentDeaths_, 1);
    EXPECT_EQ(viewDeaths_, 1) << "the removed holder goes with the step that owned it";
    for (ppUndoer* history : {&first, &second}) {
      EXPECT_EQ(history->DoneTop(), nullptr);
      history->Undo();
      history->Redo();
      history->Clear();
    }
    EXPECT_EQ(parentDeaths_, 1);
    EXPECT_EQ(viewDeaths_, 1);
  }
}

}  // namespace
