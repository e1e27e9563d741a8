#include "framework/ppTask.h"

#include "framework/ppUndoer.h"

void ppTask::Do() { undone_ = false; }
void ppTask::SetTarget(void* target) { target_ = target; }
void ppTask::Undo() { undone_ = true; }
void ppTask::Redo() { undone_ = false; }
bool ppTask::Absorb(ppTask*) { return false; }
bool ppTask::IsEmpty() { return false; }

void ppTask::Finish() {
  finished_ = true;
  if (owner_ && owner_->Holds(this)) {
    owner_->Remove(this);
  } else {
    delete this;
  }
}
