#include "canvas/tasks/zelvproRotateTask.h"

#include "canvas/tasks/PlanFrames.h"
#include <cmath>

#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "foundation/ppMatrix4.h"
#include "framework/ppDC.h"
#include "framework/ppEventHandler.h"
#include "room/qxNewRoomCanvas.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The container's absolute angle (0 outside any element).
float ContainerAngle(const zelvproElement* element) {
  const zelvproElement* container = element->ContainerElement();
  return container != nullptr ? container->GetAbsoluteAngle() : 0.0f;
}

// Where the element's origin lies in the plan, as its placements draw it.
ppVector3 PlanOrigin(const zelvproElement* element) { return PlanPoint(element, ppVector3()); }

// A plan point in the frame of the element's container.
ppVector3 InContainer(const zelvproElement* element, const ppVector3& world) {
  return ContainerPoint(element->GetSupervisor(), world);
}

}  // namespace

zelvproRotateTask::zelvproRotateTask(qxViewHolder* selection, zelvproCanvas* canvas)
    : zelvproMouseTask(canvas, canvas), canvas_(canvas), selection_(selection) {}

zelvproRotateTask::~zelvproRotateTask() = default;

void zelvproRotateTask::Constrain(plat::POINT& point) {
  ScreenToPlanPoint(point.x, point.y, pivot_);
  saved_.clear();
  for (qxViewHolder* h = selection_.get(); h != nullptr; h = h->Next()) {
    zelvproElement* e = h->Element();
    Saved s{e, ppVector3(), e->GetPosition(), e->GetAbsoluteAngle(), e->GetAngle()};
    s.absPosition = PlanOrigin(e);
    saved_.push_back(s);
    Keep(e);  // its undo turns it back: a unit destroyed elsewhere takes this step off the history
    h->angle = 0.0f;
  }
}

void zelvproRotateTask::Track() {
  const plat::POINT c = Current(), s = StartPoint();
  float angle = AngleOf(float(c.x - s.x), float(c.y - s.y));
  if (ppEventHandler::IsShiftKeyDown()) {
    const double d = angle * 180.0 / kPi;
    const int32_t n = int32_t(d < 0.0 ? (d - 22.5) / 45.0 : (d + 22.5) / 45.0);
    angle = float(n * 45.0 * kPi / 180.0);
  }
  angle_ = angle;
  qxViewHolder* h = selection_.get();
  for (Saved& saved : saved_) {
    ppVector3 v(saved.absPosition.x - pivot_.x, saved.absPosition.y, saved.absPosition.z - pivot_.z);
    RotateXZOrigin(v, -angle);
    const ppVector3 world(v.x + pivot_.x, v.y, v.z + pivot_.z);
    // The turn shown is the absolute one at the press plus the drag's, less what the container adds.
    saved.element->StoreAngle(saved.absAngle + angle - ContainerAngle(saved.element));
    saved.element->SetPosition(InContainer(saved.element, world));
    if (h != nullptr) h->angle = angle, h = h->Next();
  }
}

void zelvproRotateTask::DrawFeedback(int32_t x, int32_t y) {
  if (canvas_ == nullptr || canvas_->GetHWND() == nullptr) return;
  ppDC dc(canvas_->GetHWND());
  canvas_->ClipToVisible(dc);
  dc.SetGray(0);
  for (Saved& saved : saved_) saved.element->DrawOutlineAt(0, 0, 0.0f, 0.0f, 0.0f, dc);
  dc.SetXorMode();
  dc.MoveTo(StartPoint().x, StartPoint().y);
  dc.LineTo(x, y);
  dc.SetNormalPen();
}

std::vector<zelvproElement*> zelvproRotateTask::ReleaseOutsideSnaps() {
  ElementList list;
  for (Saved& saved : saved_) list.push_back(saved.element);
  if (!list.empty()) list.front()->ReleaseOutsideSnaps(list);
  return list;
}

void zelvproRotateTask::CheckWarnings(const std::vector<zelvproElement*>& list) {
  // The turned units' canvas forgets its placement warnings and the check sets them again.
  zelvproCanvas* root = list.empty() ? nullptr : list.front()->GetCanvas();
  if (root == nullptr && !saved_.empty()) root = saved_.front().element->GetCanvas();
  if (root != nullptr) root->ClearTreeMark();
  iElementHost::Current().CheckPlanWarnings();
}

void zelvproRotateTask::Do() {
  iElementHost& host = iElementHost::Current();
  ElementList list = ReleaseOutsideSnaps();
  // The old and the new area are both redrawn.
  for (Saved& saved : saved_) {
    zelvproElement* e = saved.element;
    const ppVector3 now = e->GetPosition();
    const float turn = e->GetAngle();
    e->StoreAngle(saved.angle);
    e->SetPosition(saved.position);
    e->FrameWillChange();
    e->StoreAngle(turn);
    e->SetPosition(now);
    e->FrameChanged();
  }
  if (auto* room = dynamic_cast<qxNewRoomCanvas*>(host.NewRoomCanvas()))
    room->SnapElementsToWalls(selection_.get());
  for (Saved& saved : saved_) {
    if (canvas_ != nullptr && canvas_->Collides(saved.element)) {
      rejected_ = true;
      return;
    }
    saved.element->ResnapList(list);
    saved.element->MarkTreePendingUpdate();
  }
  if (canvas_ != nullptr) canvas_->DoCommand(kPostTask, reinterpret_cast<intptr_t>(this));
  zelvproElement::InvalidateElement(host.ScenePane(), true);
  host.PassToViewBar(kViewBarRefresh, 0);
  host.MarkDocumentModified();
  if (zelvproElement* top = host.TopCanvas()) top->AfterEdit(this);
  CheckWarnings(list);
  ppTask::Do();
}

void zelvproRotateTask::Swap(bool undo) {
  iElementHost& host = iElementHost::Current();
  ElementList list = ReleaseOutsideSnaps();
  for (Saved& saved : saved_) {
    zelvproElement* e = saved.element;
    const ppVector3 now = e->GetPosition();
    const float turn = e->GetAngle();
    e->FrameWillChange();
    e->StoreAngle(saved.angle);
    e->SetPosition(saved.position);
    saved.angle = turn;
    saved.position = now;
    e->FrameChanged();
    e->MarkTreePendingUpdate();
    e->Invalidate();
  }
  if (!list.empty()) list.front()->ResnapList(list);
  zelvproElement::InvalidateElement(host.ScenePane(), true);
  if (zelvproElement* top = host.TopCanvas()) top->AfterEdit(this);
  host.MarkDocumentModified();
  CheckWarnings(list);
  if (undo) {
    ppTask::Undo();
  } else {
    ppTask::Redo();
  }
}

void zelvproRotateTask::Undo() { Swap(true); }

void zelvproRotateTask::Redo() { Swap(false); }
