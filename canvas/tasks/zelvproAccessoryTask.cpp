#include "canvas/tasks/zelvproAccessoryTask.h"

#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/view3d/zelvpro3DTask.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iScenePane.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/zelvproPaneElement.h"
#include "elements/units/zelvproAccessory.h"
#include "framework/ppApplication.h"
#include "platform/Cursors.h"
#include "platform/WindowApi.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

void ShowCursor(int32_t id) {
  plat::HINSTANCE instance = gApplication != nullptr ? gApplication->GetInstance() : nullptr;
  if (instance == nullptr) return;
  if (plat::HCURSOR cursor = plat::LoadCursorA(instance, plat::MAKEINTRESOURCEA(uint16_t(id))))
    plat::SetCursor(cursor);
}

// In the 3D view the item is dropped into the pane: the pane takes the mouse, and the task's points
// are its pixels.
ppView* DropView(zelvproCanvas* canvas) {
  if (iElementHost::Current().CurrentViewId() == iElementHost::k3DView) {
    zelvpro3DCanvas* view3D = zelvpro3DCanvas::Current();
    if (view3D != nullptr && view3D->Pane() != nullptr) return view3D->Pane();
  }
  return canvas;
}

void Refresh() { zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true); }

}  // namespace

zelvproAccessoryTask::zelvproAccessoryTask(zelvproElement* accessory, zelvproCanvas* canvas)
    : zelvproMouseTask(DropView(canvas), accessory), canvas_(canvas), accessory_(accessory) {
  // Made as a child of the canvas; until a host takes it, it stands nowhere in the plan.
  if (accessory_ != nullptr) accessory_->DetachFromSupervisor();
  Keep(accessory_);
}

// Off its host the accessory is the task's; one destroyed elsewhere was let go of.
zelvproAccessoryTask::~zelvproAccessoryTask() { DeleteKeptIfLoose(accessory_); }

zelvproElement* zelvproAccessoryTask::FindHost() const {
  if (accessory_ == nullptr) return nullptr;
  iElementHost& host = iElementHost::Current();
  zelvproElement* candidate = nullptr;
  zelvproElement* root = canvas_ != nullptr ? canvas_->GetCanvas() : nullptr;
  if (host.CurrentViewId() == iElementHost::k3DView) {
    candidate = PickedInPane();
  } else if (root != nullptr) {
    candidate = root->FindContainerFor(Current().x, Current().y, -1, accessory_);
  }
  if (candidate == nullptr || candidate == root || candidate == accessory_) return nullptr;
  return candidate->AcceptsAccessory(accessory_->recordId) ? candidate : nullptr;
}

zelvpro3DPane* zelvproAccessoryTask::PaneAtCurrent(plat::POINT& p) const {
  zelvpro3DCanvas* canvas = zelvpro3DCanvas::Current();
  zelvpro3DPane* pane = canvas != nullptr ? canvas->Pane() : nullptr;
  if (pane == nullptr || View() == nullptr) return nullptr;
  // The task's points are pixels of the window it captured the mouse for: the pane's when the task
  // began in the 3D view, else the plan's, whose window has another origin.
  p = Current();
  plat::ClientToScreen(View()->GetHWND(), &p);
  plat::ScreenToClient(pane->GetHWND(), &p);
  return pane;
}

zelvproElement* zelvproAccessoryTask::PickedInPane() const {
  plat::POINT p{};
  zelvpro3DPane* pane = PaneAtCurrent(p);
  if (pane == nullptr) return nullptr;
  // The pane answers its face of the plan element; the plan element is what takes accessories.
  auto* picked = dynamic_cast<zelvproPaneElement*>(qx3DPicking::Pick3DAt(*pane, p.x, p.y));
  return picked != nullptr ? picked->Element() : nullptr;
}

bool zelvproAccessoryTask::DropPoint(ppVector3& out) const {
  if (iElementHost::Current().CurrentViewId() != iElementHost::k3DView) {
    ScreenToPlanPoint(Current().x, Current().y, out);
    return true;
  }
  // In the 3D view the point where the ray through the pixel meets the unit's box (the unit standing
  // in the plan that holds the host); the scene is in plan millimetres.
  plat::POINT p{};
  zelvpro3DPane* pane = PaneAtCurrent(p);
  ppVector3 lifted;
  zelvproElement* unit = nullptr;
  return pane != nullptr &&
         zelvpro3DTask::SurfaceUnder(pane, float(p.x), float(p.y), {accessory_}, lifted, unit, &out) &&
         unit != nullptr;
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
    DeleteKept(accessory_);
    accessory_ = nullptr;
    nothingToKeep_ = true;
    return;
  }
  // Undo and Redo go back to the host: a host destroyed meanwhile takes the task off its history.
  Keep(host_);
  // The strip left the accessory where the press was; it is placed in its host once, here, and Undo
  // and Redo keep that place. Without a surface point under the mouse it goes to the host's origin.
  if (auto* placed = dynamic_cast<zelvproAccessory*>(accessory_)) {
    ppVector3 point;
    const bool under = DropPoint(point);
    placed->PlaceIn(*host_, under ? &point : nullptr);
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
