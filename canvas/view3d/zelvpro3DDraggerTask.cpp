#include "canvas/view3d/zelvpro3DDraggerTask.h"

#include <algorithm>
#include <utility>

#include "canvas/view3d/zelvpro3DCanvas.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/ElementKinds.h"
#include "catalogue/records/zelvproDocFil.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproElement.h"
#include "elements/units/zelvproTopGroupElement.h"
#include "scene3d/panes/zelvpro3DPane.h"

zelvpro3DDraggerTask::zelvpro3DDraggerTask(qxViewHolder* holders, zelvpro3DPane* pane, zelvproElement* picked)
    : zelvpro3DTask(holders, pane, picked) {
  for (const qxViewHolder* h = Holders(); h != nullptr; h = h->Next()) dropped_.push_back(h->Element());
  SetAnchorAtMouse(true);
  zelvproElement* first = dropped_.empty() ? nullptr : dropped_.front();
  groupMode_ = first != nullptr && first->kind == ElementKinds::kGroup &&
               (first->GetFlags() & zelvproTopGroupElement::kDissolvesOnPlacement) != 0;
  if (groupMode_) {
    SetKeepOffsets(true);
    SetReference(first);
    ForEachChildElement(*first, [&](zelvproElement* part) { groupParts_.push_back(part); });
  }
  for (zelvproElement* part : groupParts_) Keep(part);
}

zelvpro3DDraggerTask::~zelvpro3DDraggerTask() {
  if (stands_) return;
  // Never placed, refused, or undone: the units out of the plan are the task's. A dissolved group's
  // parts stand for it.
  // One destroyed elsewhere was let go of.
  for (zelvproElement* element : dropped_) {
    if (IsUndone())
      DeleteKeptIfLoose(element);
    else
      DeleteKept(element);
  }
}

void zelvpro3DDraggerTask::FollowFromPress(std::vector<zelvproElement*> originals, bool modified) {
  SetAnchorAtMouse(false);
  copies_ = true;
  originals_ = std::move(originals);
  modifiedBefore_ = modified;
}

void zelvpro3DDraggerTask::DiscardCopies() {
  if (!copies_) return;
  copies_ = false;
  for (zelvproElement* element : dropped_) {
    element->Invalidate();
    element->Deselect(false);
    element->DetachFromSupervisor();
    element->RemoveFromCalculation();
  }
  for (zelvproElement* original : originals_) original->Select(true);
  originals_.clear();
  if (DocumentRecordFile != nullptr) DocumentRecordFile->SetModified(modifiedBefore_);
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
}

void zelvpro3DDraggerTask::Click() {
  zelvpro3DTask::Click();
  DiscardCopies();
}

void zelvpro3DDraggerTask::Do() {
  if (zelvproElement* target = SnapTarget()) {
    for (zelvproElement* element : dropped_)
      if (element->GetDatabase() == target->GetDatabase() &&
          element->LinkedRecord() != target->LinkedRecord()) {
        element->SetLinkedRecord(target->LinkedRecord());
        element->Invalidate();
      }
  }
  zelvpro3DTask::Do();
  if (IsEmpty()) {
    DiscardCopies();
    return;
  }
  copies_ = false;
  originals_.clear();
  zelvproElement* first = dropped_.front();
  for (zelvproElement* element : std::vector<zelvproElement*>(dropped_)) element->AfterPlace();
  // A group that dissolved handed its parts to its container: from here on the task works on them.
  // (The group itself went to the plan's deletion list.)
  if (groupMode_ && first->GetSupervisor() == nullptr && first->Subviews().Count() == 0) {
    dropped_ = groupParts_;
    // The group is the deletion list's now: its end is no reason to drop this step.
    LetGo(first);
  }
  std::vector<i3DPaneElement*> placed;
  zelvpro3DCanvas* canvas = zelvpro3DCanvas::Current();
  for (zelvproElement* element : dropped_) {
    if (canvas != nullptr) placed.push_back(canvas->PaneElementFor(element));
    element->InvalidateTree();
    element->Invalidate();
  }
  if (Pane() != nullptr) {
    Pane()->DoCommand(kPlacedCommand, reinterpret_cast<intptr_t>(&placed));
    Pane()->Invalidate();
  }
  stands_ = true;
}

void zelvpro3DDraggerTask::Undo() {
  ElementList list(dropped_.begin(), dropped_.end());
  if (!list.empty()) list.front()->ReleaseOutsideSnaps(list);
  slots_.clear();
  for (zelvproElement* element : dropped_) {
    ppView* container = element->GetSupervisor();
    slots_.push_back(
        Slot{element, container, container != nullptr ? container->Subviews().Find(element) : -1});
    Keep(container);  // Redo puts it back there
  }
  for (zelvproElement* element : dropped_) {
    element->Invalidate();
    element->DetachFromSupervisor();
    element->RemoveFromCalculation();
  }
  Close(true);
}

void zelvpro3DDraggerTask::Redo() {
  // Lowest index first: each unit lands where it stood before its later siblings were taken out.
  std::vector<Slot> order = slots_;
  std::stable_sort(order.begin(), order.end(),
                   [](const Slot& a, const Slot& b) { return a.index < b.index; });
  for (const Slot& slot : order) {
    zelvproElement* element = slot.element;
    if (element->GetSupervisor() != nullptr) continue;
    // The container the drop chose, not the plan's top level.
    ppView* container = slot.container != nullptr ? slot.container : DropContainer();
    if (container == nullptr) container = iElementHost::Current().TopCanvas();
    if (container == nullptr) continue;
    if (slot.index >= 0 && slot.index <= container->Subviews().Count()) {
      container->InsertSubview(element, slot.index);
    } else {
      container->AddSubview(element);
    }
    element->InvalidateTree();
    element->AddToCalculation();
  }
  Close(false);
}

void zelvpro3DDraggerTask::Close(bool undo) {
  ElementList list(dropped_.begin(), dropped_.end());
  if (!list.empty()) {
    list.front()->ReleaseOutsideSnaps(list);
    list.front()->ResnapList(list);
  }
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
  if (zelvproElement* top = iElementHost::Current().TopCanvas()) top->AfterEdit(this);
  if (undo) {
    ppTask::Undo();
  } else {
    ppTask::Redo();
  }
  stands_ = !undo;
}
