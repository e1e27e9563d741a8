#include "room/ppDelayedTask.h"

#include "elements/base/ElementChildren.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproCanvas.h"
#include "framework/ppTask.h"

ppDelayedTask::ppDelayedTask(ppTask* task, zelvproCanvas* canvas)
    : ppSweeper(iElementHost::Current().DocumentWindow()), task_(task), canvas_(canvas) {}

// A sweeper whose window went before it ran still frees its task.
ppDelayedTask::~ppDelayedTask() { delete task_; }

void ppDelayedTask::Sweep() {
  if (task_ != nullptr) {
    task_->Do();
    delete task_;
    task_ = nullptr;
  }
  if (canvas_ == nullptr) return;
  ForEachChildElement(*canvas_, [](zelvproElement* child) { child->Deselect(false); });
  canvas_->ScheduleUpdate();
}
