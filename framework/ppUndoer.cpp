#include "framework/ppUndoer.h"

#include "framework/ppTask.h"

ppUndoer::~ppUndoer() { Clear(); }

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
  while (top) {
    ppTask* next = top->next_;
    delete top;
    top = next;
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
