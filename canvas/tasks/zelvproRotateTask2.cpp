#include "canvas/tasks/zelvproRotateTask2.h"

#include "canvas/tasks/PlanFrames.h"
#include <cfloat>

#include "elements/base/ElementKinds.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxAssignEnumNumbers.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproElement.h"
#include "foundation/Geometry3D.h"
#include "foundation/TolerantMath.h"
#include "foundation/ppMatrix4.h"
#include "room/qxNewRoomCanvas.h"

namespace {

// Plan millimetres; the kind of unit that keeps its position when turned.
constexpr int32_t kKeepsPosition = 0xd;

bool Turns(const zelvproElement* element) {
  return element->kind != ElementKinds::kDoor && element->kind != ElementKinds::kRoomWindow;
}

float ContainerAngle(const zelvproElement* element) {
  const zelvproElement* container = element->ContainerElement();
  return container != nullptr ? container->GetAbsoluteAngle() : 0.0f;
}

ppVector3 InContainer(const zelvproElement* element, const ppVector3& world) {
  return ContainerPoint(element->GetSupervisor(), world);
}

// Where the element's origin lies in the plan, as its placements draw it.
ppVector3 PlanOrigin(const zelvproElement* element) { return PlanPoint(element, ppVector3()); }

ElementList ListOf(const qxViewHolder* chain) {
  ElementList list;
  for (const qxViewHolder* h = chain; h != nullptr; h = h->Next()) list.push_back(h->Element());
  return list;
}

}  // namespace

zelvproRotateTask2::zelvproRotateTask2(zelvproElement* source, void* target, float angle, float shiftX,
                                       float shiftZ)
    : ppTask(target), source_(source), angle_(angle), shiftX_(shiftX), shiftZ_(shiftZ) {}

zelvproRotateTask2::~zelvproRotateTask2() = default;

void zelvproRotateTask2::Do() {
  if (source_ == nullptr) return Finish();
  selection_.reset(source_->CollectSelection(nullptr, true));
  if (selection_ == nullptr) return Finish();
  Apply();
}

void zelvproRotateTask2::Redo() { Apply(); }

void zelvproRotateTask2::Apply() {
  ElementList list = ListOf(selection_.get());
  source_->ReleaseOutsideSnaps(list);
  ppVector2 min(3.4028235e38f, 3.4028235e38f), max(0.0f, 0.0f);
  saved_.clear();
  for (zelvproElement* e : list) {
    e->ExtendBounds2D(min, max);
    saved_.push_back(Saved{e, e->GetPosition(), e->GetAngle()});
    Keep(e);  // its undo turns it back: a unit destroyed elsewhere takes this step off the history
    e->Invalidate();
  }
  if ((min.x == 3.4028235e38f || min.y == 3.4028235e38f) && !list.empty()) {
    ppVector3 first;
    list.front()->GetAbsolutePosition(first);
    min = ppVector2(first.x, first.z);
  }
  const ppVector2 centre(min.x + (max.x - min.x) / 2.0f, min.y + (max.y - min.y) / 2.0f);
  for (zelvproElement* e : list) {
    if (!Turns(e)) continue;
    const ppVector3 at = PlanOrigin(e);
    ppVector3 v(at.x - centre.x, at.y, at.z - centre.y);
    RotateXZOrigin(v, -angle_);
    const ppVector3 world(v.x + centre.x + shiftX_, v.y, v.z + centre.y + shiftZ_);
    // Kept within one turn as an absolute angle; the element stores it relative to its container.
    e->SetAngle(FloatMod(e->GetAbsoluteAngle() + angle_, geom::kTwoPiF) - ContainerAngle(e));
    if (e->kind != kKeepsPosition) e->SetPosition(InContainer(e, world));
    e->Invalidate();
    e->MarkTreePendingUpdate();
  }
  if (auto* room = dynamic_cast<qxNewRoomCanvas*>(iElementHost::Current().NewRoomCanvas()))
    room->SnapElementsToWalls(selection_.get());
  iElementHost::Current().MarkDocumentModified();
  Close();
  ppTask::Redo();
}

void zelvproRotateTask2::Undo() {
  ElementList list = ListOf(selection_.get());
  source_->ReleaseOutsideSnaps(list);
  for (Saved& saved : saved_) {
    zelvproElement* e = saved.element;
    if (!Turns(e)) continue;
    e->Invalidate();
    const Saved now{e, e->GetPosition(), e->GetAngle()};
    e->SetPosition(saved.position);
    e->SetAngle(saved.angle);
    saved = now;
    e->MarkTreePendingUpdate();
  }
  Close();
  ppTask::Undo();
}

void zelvproRotateTask2::Close() {
  iElementHost& host = iElementHost::Current();
  ElementList list = ListOf(selection_.get());
  source_->ResnapList(list);
  zelvproElement::InvalidateElement(host.ScenePane(), true);
  zelvproElement* top = host.TopCanvas();
  if (top != nullptr) top->AfterEdit(this);
  source_->ClearTreeMark();
  host.CheckPlanWarnings();
  if (top != nullptr) top->AfterEdit(this);
  ScheduleEnumNumbering();
}
