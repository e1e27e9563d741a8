#include "canvas/tasks/zelvproWallDraggerTask.h"

#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"

zelvproWallDraggerTask::zelvproWallDraggerTask(qxViewHolder* holders, zelvproCanvas* canvas)
    : zelvproWallTask(holders, canvas, nullptr), pieces_(Elements()) {}

zelvproWallDraggerTask::~zelvproWallDraggerTask() {
  if (stands_) return;
  // Never placed (a click, or gone before the release): the pieces are the task's wherever they hang.
  // Taken out by Undo (a refused release, or a drop undone): those still out of the plan are.
  // One destroyed elsewhere was let go of.
  for (zelvproElement* piece : pieces_) {
    if (done_)
      DeleteKeptIfLoose(piece);
    else
      DeleteKept(piece);
  }
}

void zelvproWallDraggerTask::Do() {
  done_ = true;
  // Outside the canvas only the refusal is noted: the release's Undo takes the pieces out and the
  // finished task deletes them, once.
  if (ReleasedOutside()) {
    SetRejected(true);
    return;
  }
  zelvproWallTask::Do();
  stands_ = !IsEmpty();
}

void zelvproWallDraggerTask::Undo() {
  slots_.clear();
  for (zelvproElement* piece : pieces_) {
    ppView* container = piece->GetSupervisor();
    slots_.push_back(Slot{piece, container, container != nullptr ? container->Subviews().Find(piece) : -1});
    Keep(container);  // Redo puts it back there
    piece->InvalidateTree();
    piece->Invalidate();
    piece->DetachFromSupervisor();
  }
  stands_ = false;
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
  ppTask::Undo();
}

void zelvproWallDraggerTask::Redo() {
  for (const Slot& slot : slots_) {
    zelvproElement* piece = slot.element;
    if (piece->GetSupervisor() != nullptr) continue;
    ppView* container = slot.container != nullptr ? slot.container : Canvas();
    if (container == nullptr) continue;
    if (slot.index >= 0 && slot.index <= container->Subviews().Count()) {
      container->InsertSubview(piece, slot.index);
    } else {
      container->AddSubview(piece);
    }
    piece->InvalidateTree();
    piece->Invalidate();
  }
  stands_ = true;
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
  ppTask::Redo();
}
