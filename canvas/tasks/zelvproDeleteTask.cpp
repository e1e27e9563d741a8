#include "canvas/tasks/zelvproDeleteTask.h"

#include <memory>

#include "elements/base/ElementKinds.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iScenePane.h"
#include "elements/base/qxAssignEnumNumbers.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"

namespace {

// flags: the element is attached to its container as an accessory.
constexpr uint32_t kAttachedFlag = 0x200;
// Kinds that go back in front of their siblings: the room's wall segments and kind 2.
constexpr int32_t kFrontKind = 2;

bool GoesInFront(const zelvproElement* element) {
  return element->kind == kFrontKind || element->kind == ElementKinds::kRoomSegment;
}

void RefreshViews() { zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true); }

}  // namespace

zelvproDeleteTask::zelvproDeleteTask(zelvproCanvas* canvas, void* target, const qxViewHolder* selection)
    : ppTask(target), canvas_(canvas), haveSelection_(selection != nullptr) {
  for (const qxViewHolder* h = selection; h != nullptr; h = h->Next())
    if (h->Element() != nullptr) chosen_.push_back(h->Element());
}

zelvproDeleteTask::~zelvproDeleteTask() {
  if (!done_ || IsUndone()) return;
  // The deletion stands: the elements taken out are the task's. One put back by other means stays,
  // one destroyed elsewhere was let go of.
  for (const Removed& r : removed_) DeleteKeptIfLoose(r.element);
}

std::vector<zelvproElement*> zelvproDeleteTask::Elements() const {
  std::vector<zelvproElement*> list;
  for (const Removed& r : removed_) list.push_back(r.element);
  return list;
}

void zelvproDeleteTask::TakeOut(const Removed& removed, bool redo) {
  zelvproElement* element = removed.element;
  if (redo && iElementHost::Current().CurrentViewId() == iElementHost::k3DView) {
    if (iScenePane* pane = iElementHost::Current().ScenePane()) pane->SetSceneOutOfDate();
  } else {
    element->Invalidate();
  }
  if ((element->flags & kAttachedFlag) != 0)
    if (auto* container = dynamic_cast<zelvproElement*>(removed.supervisor))
      container->DetachAccessory(element);
  element->DetachFromSupervisor();
  element->RemoveFromCalculation();
}

void zelvproDeleteTask::Finish(bool undone) {
  iElementHost& host = iElementHost::Current();
  host.MarkDocumentModified();
  RefreshViews();
  canvas_->AfterEdit(this);
  canvas_->ClearTreeMark();
  host.CheckPlanWarnings();
  ScheduleEnumNumbering();
  if (undone)
    ppTask::Undo();
  else
    ppTask::Do();
}

void zelvproDeleteTask::Do() {
  removed_.clear();
  std::vector<zelvproElement*> list = chosen_;
  if (!haveSelection_) {
    std::unique_ptr<qxViewHolder> selection(canvas_->CollectSelection(nullptr, true));
    for (qxViewHolder* h = selection.get(); h != nullptr; h = h->Next()) list.push_back(h->Element());
  }
  const bool wallsToo =
      (iApplicationSettings::Current().flags1 & iApplicationSettings::kDeleteWallSegments) != 0;
  ElementList elements;
  for (zelvproElement* element : list) {
    if (!wallsToo && element->kind == ElementKinds::kRoomSegment) continue;
    elements.push_back(element);
    removed_.push_back(Removed{element, element->GetSupervisor()});
    // Undo puts it back into that container: either destroyed elsewhere takes the task off its history.
    Keep(element);
    Keep(element->GetSupervisor());
  }
  canvas_->ReleaseOutsideSnaps(elements);
  for (const Removed& r : removed_) TakeOut(r, false);
  canvas_->ResnapList(elements);
  done_ = true;
  Finish(false);
}

void zelvproDeleteTask::Undo() {
  ElementList elements = Elements();
  canvas_->ReleaseOutsideSnaps(elements);
  // The selection chain stands in reverse plan order: walked as it stands, the front kinds keep
  // their order at index 0; walked backwards, the rest keep theirs at the end.
  std::vector<const Removed*> order;
  for (const Removed& r : removed_)
    if (GoesInFront(r.element)) order.push_back(&r);
  for (auto r = removed_.rbegin(); r != removed_.rend(); ++r)
    if (!GoesInFront(r->element)) order.push_back(&*r);
  for (const Removed* put : order) {
    const Removed& r = *put;
    zelvproElement* element = r.element;
    if (r.supervisor == nullptr) continue;
    r.supervisor->InsertSubview(element, GoesInFront(element) ? 0 : -1);
    if ((element->flags & kAttachedFlag) != 0)
      if (auto* container = dynamic_cast<zelvproElement*>(r.supervisor)) container->AttachAccessory(element);
    // Back in the price list too: the lines went with the delete.
    element->AddToCalculation();
    element->InvalidateTree();
    element->Invalidate();
  }
  canvas_->ResnapList(elements);
  Finish(true);
}

void zelvproDeleteTask::Redo() {
  ElementList elements = Elements();
  canvas_->ReleaseOutsideSnaps(elements);
  for (const Removed& r : removed_) TakeOut(r, true);
  canvas_->ResnapList(elements);
  Finish(false);
}
