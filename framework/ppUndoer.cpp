#include "framework/ppUndoer.h"

#include <algorithm>
#include <vector>

#include "framework/ppTask.h"

namespace {

// Every history that exists, in order of construction. Each adds and removes itself, so the list is
// empty whenever no history lives and needs no reset. User-interface thread only.
std::vector<ppUndoer*>& LiveHistories() {
  static std::vector<ppUndoer*> histories;
  return histories;
}

}  // namespace

ppUndoer::ppUndoer() { LiveHistories().push_back(this); }

ppUndoer::~ppUndoer() {
  std::vector<ppUndoer*>& live = LiveHistories();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  Clear();
}

void ppUndoer::RemoveTasksOf(const void* target) {
  // The walk starts again after each deletion: a task's destructor may purge further tasks.
  for (ppTask** top : {&done_, &redo_}) {
    for (ppTask* t = *top; t != nullptr;) {
      if (t->Target() != target && !t->Refers(target)) {
        t = t->next_;
        continue;
      }
      Unlink(*top, t);
      // The target may be half destroyed: the task must neither touch nor delete it when it goes.
      t->LetGo(target);
      delete t;
      t = *top;
    }
  }
}

void ppUndoer::PurgeTarget(const void* target) {
  // No task deletes the target while the tasks dropped for it, and what those free, go.
  const ppTask::Destroying destroying(target);
  // A task's destructor may free further objects that purge in turn: walk a copy.
  const std::vector<ppUndoer*> live = LiveHistories();
  for (ppUndoer* history : live)
    if (std::find(LiveHistories().begin(), LiveHistories().end(), history) != LiveHistories().end())
      history->RemoveTasksOf(target);
  // Tasks on no history (one still tracking the mouse, one being deleted) forget it too.
  ppTask::LetGoEverywhere(target);
}

void ppUndoer::Post(ppTask* task) {
  if (task->IsEmpty()) {
    task->Undo();
    Remove(task);  // a fresh task stands on no stack: nothing is deleted
  }
  task->owner_ = this;
  if (done_ && done_->Absorb(task)) {
    delete task;
    return;
  }
  task->next_ = done_;
  done_ = task;
  DeleteStack(redo_);
}

void ppUndoer::Remove(ppTask* task) {
  if (!task) task = done_;
  if (!task) return;
  if (Unlink(done_, task) || Unlink(redo_, task)) delete task;
}

bool ppUndoer::Unlink(ppTask*& top, ppTask* task) {
  if (top == task) {
    top = task->next_;
    return true;
  }
  for (ppTask* t = top; t; t = t->next_) {
    if (t->next_ == task) {
      t->next_ = task->next_;
      return true;
    }
  }
  return false;
}

void ppUndoer::Undo() {
  if (!done_) return;
  ppTask* task = done_;
  task->Undo();
  done_ = task->next_;
  task->next_ = redo_;
  redo_ = task;
}

void ppUndoer::Redo() {
  if (!redo_) return;
  ppTask* task = redo_;
  task->Redo();
  redo_ = task->next_;
  task->next_ = done_;
  done_ = task;
}

void ppUndoer::Clear() {
  DeleteStack(done_);
  DeleteStack(redo_);
}

void ppUndoer::DeleteStack(ppTask*& top) {
  // Each task leaves the stack before it is deleted: its destructor may purge this history.
  while (top) {
    ppTask* task = top;
    top = task->next_;
    delete task;
  }
}

bool ppUndoer::Holds(const ppTask* task) const {
  for (ppTask* t = done_; t; t = t->next_) {
    if (t == task) return true;
  }
  for (ppTask* t = redo_; t; t = t->next_) {
    if (t == task) return true;
  }
  return false;
}
