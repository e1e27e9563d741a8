#include "canvas/tasks/zelvproAccessoryTask.h"

#include "elements/base/iElementHost.h"
#include "elements/base/iScenePane.h"
#include "elements/base/zelvproCanvas.h"
#include "framework/ppApplication.h"
#include "platform/Cursors.h"
#include "scene3d/panes/i3DPaneElement.h"
#include "scene3d/panes/qx3DPane.h"
#include "scene3d/panes/qx3DPicking.h"

namespace {

void ShowCursor(int32_t id) {
  plat::HINSTANCE instance = gApplication != nullptr ? gApplication->GetInstance() : nullptr;
  if (instance == nullptr) return;
  if (plat::HCURSOR cursor = plat::LoadCursorA(instance, plat::MAKEINTRESOURCEA(uint16_t(id))))
    plat::SetCursor(cursor);
}

void Refresh() { zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true); }

}  // namespace

zelvproAccessoryTask::zelvproAccessoryTask(zelvproElement* accessory, zelvproCanvas* canvas)
    : zelvproMouseTask(canvas, accessory), canvas_(canvas), accessory_(accessory) {
  // Made as a child of the canvas; until a host takes it, it stands nowhere in the plan.
  if (accessory_ != nullptr) accessory_->DetachFromSupervisor();
}

zelvproAccessoryTask::~zelvproAccessoryTask() {
  if (accessory_ != nullptr && accessory_->GetSupervisor() == nullptr) delete accessory_;
}

zelvproElement* zelvproAccessoryTask::FindHost() const {
  if (accessory_ == nullptr) return nullptr;
  iElementHost& host = iElementHost::Current();
  zelvproElement* candidate = nullptr;
  zelvproElement* root = canvas_ != nullptr ? canvas_->GetCanvas() : nullptr;
  if (host.CurrentViewId() == iElementHost::k3DView) {
    if (auto* pane = dynamic_cast<qx3DPane*>(host.ScenePane()))
      candidate = dynamic_cast<zelvproElement*>(qx3DPicking::Pick3DAt(*pane, Current().x, Current().y));
  } else if (root != nullptr) {
    candidate = root->FindContainerFor(Current().x, Current().y, -1, accessory_);
  }
  if (candidate == nullptr || candidate == root || candidate == accessory_) return nullptr;
  return candidate->AcceptsAccessory(accessory_->recordId) ? candidate : nullptr;
}

void zelvproAccessoryTask::Track() {
  zelvproMouseTask::Track();
  host_ = FindHost();
}

void zelvproAccessoryTask::SetTrackCursor() {
  cursor_ = host_ != nullptr ? kHostCursor : kNoHostCursor;
  ShowCursor(cursor_);
}

void zelvproAccessoryTask::Do() {
  if (host_ == nullptr || accessory_ == nullptr) {
    delete accessory_;
    accessory_ = nullptr;
    nothingToKeep_ = true;
    return;
  }
  host_->AttachAccessory(accessory_);
  accessory_->RebuildGeometry();
  if (canvas_ != nullptr) canvas_->DoCommand(kPostAfterEdit, reinterpret_cast<intptr_t>(this));
  iElementHost::Current().MarkDocumentModified();
  ppTask::Do();
  Refresh();
}

void zelvproAccessoryTask::Undo() {
  if (host_ != nullptr && accessory_ != nullptr) {
    host_->Invalidate();
    host_->DetachAccessory(accessory_);
    iElementHost::Current().MarkDocumentModified();
    Refresh();
  }
  ppTask::Undo();
}

void zelvproAccessoryTask::Redo() {
  if (host_ != nullptr && accessory_ != nullptr) {
    host_->AttachAccessory(accessory_);
    host_->Invalidate();
    iElementHost::Current().MarkDocumentModified();
    Refresh();
  }
  ppTask::Redo();
}
