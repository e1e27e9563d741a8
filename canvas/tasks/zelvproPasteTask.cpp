#include "canvas/tasks/zelvproPasteTask.h"

#include "elements/base/ElementChildren.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/PasteOffset.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"

namespace {

// Millimetres the paste offset grows by after each paste.
constexpr float kOffsetStep = 250.0f;

void RefreshViews() { zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true); }

void DeselectChildren(zelvproElement* canvas) {
  if (canvas == nullptr) return;
  ForEachChildElement(*canvas, [](zelvproElement* child) { child->Deselect(false); });
}

}  // namespace

zelvproPasteTask::zelvproPasteTask(zelvproCanvas* canvas, qxViewHolder* holders, bool refresh)
    : ppTask(canvas), canvas_(canvas), holders_(holders), refresh_(refresh) {
  // The chain stands the last made first.
  for (qxViewHolder* h = holders_; h != nullptr; h = h->Next())
    if (h->Element() != nullptr) elements_.insert(elements_.begin(), h->Element());
  for (zelvproElement* element : elements_) containers_.push_back(element->GetSupervisor());
  // Undo and Redo take the copies out and put them back into those containers: any of them destroyed
  // elsewhere takes the task off its history.
  for (size_t i = 0; i < elements_.size(); ++i) {
    Keep(elements_[i]);
    Keep(containers_[i]);
  }
}

zelvproPasteTask::~zelvproPasteTask() {
  // Undone, the copies are out of the plan and the task's to delete (one destroyed elsewhere was let
  // go of).
  if (IsUndone())
    for (zelvproElement* element : elements_) DeleteKeptIfLoose(element);
  delete holders_;
}

void zelvproPasteTask::DeselectCanvases() {
  iElementHost& host = iElementHost::Current();
  zelvproElement* room = host.NewRoomCanvas();
  zelvproElement* plan = host.TopCanvas();
  DeselectChildren(room);
  if (plan != room) DeselectChildren(plan);
  if (canvas_ != room && canvas_ != plan) DeselectChildren(canvas_);
}

void zelvproPasteTask::Do() {
  DeselectCanvases();
  const float offset = PasteOffset();
  for (zelvproElement* element : elements_) {
    // Doors and windows keep their place on their wall.
    if (element->kind != ElementKinds::kDoor && element->kind != ElementKinds::kRoomWindow) {
      ppVector3 p = element->GetPosition();
      element->SetPosition(ppVector3(p.x + offset, p.y, p.z + offset));
    }
    // Selected without a redraw each: the views are redrawn once below (each redraw walks the plan).
    element->Select(false);
    if (refresh_) {
      element->InvalidateTree();
      element->Invalidate();
    }
  }
  if (refresh_) RefreshViews();
  SetPasteOffset(offset + kOffsetStep);
  canvas_->Resnap();
  canvas_->AfterEdit(this);
  iElementHost::Current().MarkDocumentModified();
  ppTask::Do();
}

void zelvproPasteTask::Undo() {
  DeselectCanvases();
  ElementList list(elements_.begin(), elements_.end());
  canvas_->ReleaseOutsideSnaps(list);
  for (zelvproElement* element : elements_) {
    if (refresh_) element->Invalidate();
    element->DetachFromSupervisor();
    element->RemoveFromCalculation();
  }
  canvas_->Resnap();
  canvas_->AfterEdit(this);
  ppTask::Undo();
  iElementHost::Current().MarkDocumentModified();
  if (refresh_) RefreshViews();
}

void zelvproPasteTask::Redo() {
  DeselectCanvases();
  ElementList list(elements_.begin(), elements_.end());
  canvas_->ReleaseOutsideSnaps(list);
  for (size_t i = 0; i < elements_.size(); ++i) {
    zelvproElement* element = elements_[i];
    ppView* container = containers_[i] != nullptr ? containers_[i] : canvas_;
    container->InsertSubview(element, -1);
    element->AddToCalculation();
    element->Select(false);
    if (refresh_) {
      element->InvalidateTree();
      element->Invalidate();
    }
  }
  canvas_->ResnapList(list);
  ppTask::Redo();
  canvas_->AfterEdit(this);
  iElementHost::Current().MarkDocumentModified();
  if (refresh_) RefreshViews();
}
