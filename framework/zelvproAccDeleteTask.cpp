#include "framework/zelvproAccDeleteTask.h"

#include "framework/ppView.h"

zelvproAccDeleteTask::zelvproAccDeleteTask(ppView* container, ppView* element)
    : container_(container), element_(element) {
  Keep(container_);
  Keep(element_);
}

zelvproAccDeleteTask::~zelvproAccDeleteTask() {
  // Only an element this task took out of its container is the task's to delete; one never removed
  // still belongs to the container, and one destroyed elsewhere was let go of.
  if (removed_ && !IsUndone()) DeleteKept(element_);
}

void zelvproAccDeleteTask::Remove() {
  if (!element_) return;
  element_->DetachFromSupervisor();
  removed_ = true;
}

void zelvproAccDeleteTask::Do() {
  Remove();
  ppTask::Do();
}

void zelvproAccDeleteTask::SetTarget(void*) { Do(); }

void zelvproAccDeleteTask::Undo() {
  if (container_ && element_) container_->AddSubview(element_);
  removed_ = false;
  ppTask::Undo();
}

void zelvproAccDeleteTask::Redo() {
  Remove();
  ppTask::Redo();
}
