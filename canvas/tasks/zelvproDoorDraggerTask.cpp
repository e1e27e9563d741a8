#include "canvas/tasks/zelvproDoorDraggerTask.h"

#include "elements/base/ElementKinds.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"

zelvproDoorDraggerTask::zelvproDoorDraggerTask(qxViewHolder* holders, zelvproCanvas* canvas)
    : zelvproDoorTask(holders, canvas) {
  for (const qxViewHolder* h = Moved(); h != nullptr; h = h->Next()) openings_.push_back(h->Element());
}

zelvproDoorDraggerTask::~zelvproDoorDraggerTask() {
  if (stands_) return;
  // Never placed (a click, or gone before the release): the openings are the task's wherever they
  // hang. Taken out by Undo: those still out of the plan are.
  // One destroyed elsewhere was let go of.
  for (zelvproElement* opening : openings_) {
    if (done_)
      DeleteKeptIfLoose(opening);
    else
      DeleteKept(opening);
  }
}

bool zelvproDoorDraggerTask::ReleasedOutside() const {
  ppView* supervisor = Canvas() != nullptr ? Canvas()->GetSupervisor() : nullptr;
  if (supervisor == nullptr) return false;
  plat::RECT frame{};
  supervisor->GetWindowFrame(&frame);
  const plat::POINT c = Current();
  return c.x < frame.left || c.x >= frame.right || c.y < frame.top || c.y >= frame.bottom;
}

void zelvproDoorDraggerTask::Do() {
  done_ = true;
  if (NoWall() || ReleasedOutside()) {
    SetRejected(true);
    return;
  }
  zelvproDoorTask::Do();
  if (IsEmpty()) return;
  zelvproElement* lead = Lead();
  if (lead->kind == ElementKinds::kRoomWindow) {
    lead->InvalidateTree();
    zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
  }
  lead->Select(true);
  stands_ = true;
}

void zelvproDoorDraggerTask::Undo() {
  parents_.clear();
  for (zelvproElement* opening : openings_) {
    opening->Invalidate();
    parents_.push_back(opening->GetSupervisor());
    Keep(opening->GetSupervisor());  // Redo puts it back there
    opening->DetachFromSupervisor();
  }
  stands_ = false;
  ppTask::Undo();
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
}

void zelvproDoorDraggerTask::Redo() {
  for (size_t i = 0; i < openings_.size() && i < parents_.size(); ++i) {
    zelvproElement* opening = openings_[i];
    if (opening->GetSupervisor() != nullptr || parents_[i] == nullptr) continue;
    parents_[i]->AddSubview(opening);
    opening->Invalidate();
  }
  stands_ = true;
  ppTask::Redo();
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
}
