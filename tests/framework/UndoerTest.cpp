#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ppTask.h"
#include "framework/ppUndoer.h"

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

}  // namespace
