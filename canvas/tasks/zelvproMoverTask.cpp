#include "canvas/tasks/zelvproMoverTask.h"

#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"

zelvproMoverTask::~zelvproMoverTask() = default;

void zelvproMoverTask::Do() {
  zelvproBasicMoverTask::Do();
  if (IsEmpty()) return;
  iElementHost& host = iElementHost::Current();
  if (Canvas() != nullptr) Canvas()->DoCommand(kMovedCommand, reinterpret_cast<intptr_t>(Moved()));
  auto* top = dynamic_cast<zelvproCanvas*>(host.TopCanvas());
  for (const qxViewHolder* h = Moved(); h != nullptr; h = h->Next()) {
    dissolved_.AfterMove(h->Element());
    h->Element()->MarkTreePendingUpdate();
    if (top != nullptr) top->ScheduleUpdate();
  }
  zelvproElement::InvalidateElement(host.ScenePane(), true);
}

void zelvproMoverTask::Undo() {
  dissolved_.Restore();
  zelvproBasicMoverTask::Undo();
}

void zelvproMoverTask::Redo() {
  zelvproBasicMoverTask::Redo();
  dissolved_.DissolveAgain();
}
