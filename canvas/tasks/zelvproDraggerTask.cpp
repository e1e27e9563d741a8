#include "canvas/tasks/zelvproDraggerTask.h"

#include <algorithm>

#include "elements/base/ElementChildren.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/units/zelvproTopGroupElement.h"

zelvproDraggerTask::zelvproDraggerTask(qxViewHolder* moved, zelvproCanvas* canvas, bool scheduleUpdate)
    : zelvproBasicMoverTask(moved, canvas, nullptr, scheduleUpdate) {
  for (const qxViewHolder* h = Moved(); h != nullptr; h = h->Next()) dropped_.push_back(h->Element());
  zelvproElement* first = dropped_.empty() ? nullptr : dropped_.front();
  package_ = first != nullptr && first->kind == ElementKinds::kGroup &&
             (first->GetFlags() & zelvproTopGroupElement::kDissolvesOnPlacement) != 0;
  if (package_) ForEachChildElement(*first, [&](zelvproElement* part) { parts_.push_back(part); });
  for (zelvproElement* part : parts_) Keep(part);
}

zelvproDraggerTask::~zelvproDraggerTask() {
  if (stands_) return;
  // Never placed (a click, or destroyed before the release): the units are the task's wherever they
  // hang. Taken out by Undo (a refused drop, or a drop undone and then dropped from the redo stack):
  // the ones still out of the plan are.
  // One destroyed elsewhere was let go of.
  const bool undone = IsUndone();
  for (zelvproElement* element : dropped_) {
    if (undone)
      DeleteKeptIfLoose(element);
    else
      DeleteKept(element);
  }
}

bool zelvproDraggerTask::ReleasedOutside() const {
  ppView* supervisor = Canvas() != nullptr ? Canvas()->GetSupervisor() : nullptr;
  if (supervisor == nullptr) return false;
  plat::RECT frame{};
  supervisor->GetWindowFrame(&frame);
  const plat::POINT c = Current();
  return c.x < frame.left || c.x >= frame.right || c.y < frame.top || c.y >= frame.bottom;
}

void zelvproDraggerTask::Do() {
  if (SnapTarget() == nullptr && ReleasedOutside()) {
    SetRejected(true);
    return;
  }
  for (zelvproElement* element : dropped_) {
    element->RebuildGeometry();
    element->changed = 0;
  }
  zelvproBasicMoverTask::Do();
  if (IsEmpty()) return;
  for (zelvproElement* element : dropped_) element->AfterPlace();
  // A package that landed has handed its parts to its container and gone to the deletion list: from
  // here on the task works on the parts (the last part first in the moved chain), then on any further
  // dragged unit.
  zelvproElement* first = dropped_.front();
  if (package_ && first->GetSupervisor() == nullptr && first->Subviews().Count() == 0) {
    std::vector<zelvproElement*> others(dropped_.begin() + 1, dropped_.end());
    qxViewHolder* chain = nullptr;
    for (auto it = others.rbegin(); it != others.rend(); ++it) chain = new qxViewHolder(*it, chain, true);
    for (zelvproElement* part : parts_) chain = new qxViewHolder(part, chain, true);
    ReplaceMoved(chain);
    dropped_ = parts_;
    dropped_.insert(dropped_.end(), others.begin(), others.end());
    dissolved_ = true;
    // The package is the deletion list's now: its end is no reason to drop this step.
    LetGo(first);
  }
  for (const qxViewHolder* h = Moved(); h != nullptr; h = h->Next()) {
    zelvproElement* element = h->Element();
    element->InvalidateTree();
    element->Select(true);
    element->Invalidate();
  }
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
  stands_ = true;
}

void zelvproDraggerTask::Undo() {
  const bool in3D = iElementHost::Current().CurrentViewId() == iElementHost::k3DView;
  ElementList list(dropped_.begin(), dropped_.end());
  // Links to units that stay in the plan go while both ends are still there.
  if (!list.empty()) list.front()->ReleaseOutsideSnaps(list);
  slots_.clear();
  for (zelvproElement* element : dropped_) {
    ppView* container = element->GetSupervisor();
    slots_.push_back(
        Slot{element, container, container != nullptr ? container->Subviews().Find(element) : -1});
    Keep(container);  // Redo puts it back there
  }
  for (zelvproElement* element : dropped_) {
    // A landed package's parts are marked changed, so that a later drop rebuilds them.
    if (dissolved_) element->InvalidateTree();
    if (!in3D) element->Invalidate();
    element->DetachFromSupervisor();
    element->RemoveFromCalculation();
  }
  Close(true);
}

void zelvproDraggerTask::Redo() {
  const bool in3D = iElementHost::Current().CurrentViewId() == iElementHost::k3DView;
  // Lowest index first: each unit then lands where it stood before its later siblings were taken out.
  std::vector<Slot> order = slots_;
  std::stable_sort(order.begin(), order.end(),
                   [](const Slot& a, const Slot& b) { return a.index < b.index; });
  for (const Slot& slot : order) {
    zelvproElement* element = slot.element;
    if (element->GetSupervisor() != nullptr) continue;
    ppView* container = slot.container != nullptr ? slot.container : Canvas();
    if (container == nullptr) continue;
    if (slot.index >= 0 && slot.index <= container->Subviews().Count()) {
      container->InsertSubview(element, slot.index);
    } else {
      container->AddSubview(element);
    }
    if (!in3D) element->Invalidate();
    element->InvalidateTree();
    // Undo took the unit's lines out of the price list.
    element->AddToCalculation();
  }
  Close(false);
}

void zelvproDraggerTask::Close(bool undo) {
  iElementHost& host = iElementHost::Current();
  ElementList list(dropped_.begin(), dropped_.end());
  if (!list.empty()) {
    list.front()->ReleaseOutsideSnaps(list);
    list.front()->ResnapList(list);
  }
  zelvproElement::InvalidateElement(host.ScenePane(), true);
  if (zelvproElement* top = host.TopCanvas()) top->AfterEdit(this);
  if (undo) {
    ppTask::Undo();
  } else {
    ppTask::Redo();
  }
  stands_ = !undo;
}
