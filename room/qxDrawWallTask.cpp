#include "room/qxDrawWallTask.h"

#include <algorithm>

#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "foundation/Geometry3D.h"
#include "framework/ppDC.h"
#include "room/qxJunction.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"

qxDrawWallTask::qxDrawWallTask(qxNewRoomCanvas* canvas) : ppMouseTask(canvas, canvas), canvas_(canvas) {}

qxDrawWallTask::~qxDrawWallTask() {
  if (wall_ != nullptr && wall_->GetSupervisor() == nullptr) delete wall_;
}

bool qxDrawWallTask::Refers(const void* object) const {
  return wall_ != nullptr && static_cast<const void*>(static_cast<const zelvproElement*>(wall_)) == object;
}

ppVector3 qxDrawWallTask::JoinedPoint(int32_t x, int32_t y, bool& joined) const {
  ppVector3 p;
  ScreenToPlanPoint(x, y, p);
  p.y = 0.0f;
  joined = false;
  const float reach = float(kCornerReach * PlanScale());
  // The nearest corner within reach.
  float nearest = reach;
  for (qxJunction* j = canvas_->Junctions(); j != nullptr; j = j->GetNext()) {
    const ppVector3 at(j->Position().x, 0.0f, j->Position().z);
    const float d = Distance3(at, p);
    if (d <= nearest) nearest = d, joined = true, p = at;
  }
  if (joined) return p;
  // Else the centre line of a straight wall under the mouse: the end lands on it and the rebuild
  // makes the corner where the two meet.
  ForEachChildElement(*canvas_, [&](zelvproElement* child) {
    auto* other = dynamic_cast<qxRoomSegment*>(child);
    if (joined || other == nullptr || other == wall_) return;
    ppVector3 q = p;
    const float tolerance = std::max(other->GetThickness() / 2.0f, reach);
    if (other->DistanceToPoint(q, q, tolerance) < tolerance) joined = true, p = q;
  });
  return p;
}

ppVector3 qxDrawWallTask::EndFor(int32_t x, int32_t y) const {
  bool joined = false;
  const ppVector3 p = JoinedPoint(x, y, joined);
  if (joined) return p;
  const ppVector3 d = p - start_;
  const float length = d.Length();
  if (!(length > 0.0f)) return start_;
  return start_ + d * (qxRoomSegment::snapWallLength(length) / length);
}

void qxDrawWallTask::Press(int32_t x, int32_t y) {
  bool joined = false;
  start_ = JoinedPoint(x, y, joined);
  if (wall_ == nullptr) {
    // Made on the canvas for the room's wall values, then held off the plan until the release.
    wall_ = canvas_->MakeWall(canvas_, start_, start_);
    if (wall_ != nullptr) wall_->DetachFromSupervisor();
  }
  ppMouseTask::Press(x, y);
}

void qxDrawWallTask::DrawFeedback(int32_t x, int32_t y) {
  if (wall_ == nullptr) return;
  const ppVector3 end = EndFor(x, y);
  if (end == start_) return;
  // The length label shows while the drawn length differs from the stored one: the stored ends stay
  // at the start until the release.
  wall_->SetEnds(start_, start_);
  ppDC dc(canvas_->GetHWND());
  dc.SetXorMode();
  wall_->DrawOutlineWithDimension(start_, end, dc);
  dc.SetNormalPen();
}

void qxDrawWallTask::Do() {
  ppMouseTask::Do();
  done_ = true;
  if (wall_ == nullptr) return;
  const ppVector3 end = EndFor(Current().x, Current().y);
  if (!(Distance3(start_, end) >= kShortest)) return;
  wall_->SetEnds(start_, end);
  Place(true);
}

void qxDrawWallTask::Undo() {
  ppMouseTask::Undo();
  if (placed_) Place(false);
}

void qxDrawWallTask::Redo() {
  ppMouseTask::Redo();
  if (wall_ != nullptr && !placed_ && done_) Place(true);
}

void qxDrawWallTask::Place(bool on) {
  wall_->Invalidate();
  if (on) {
    canvas_->AddSubview(wall_);
  } else {
    wall_->Deselect(false);
    wall_->DetachFromSupervisor();
    // No corner of the rebuilt outline may keep pointing at a wall that is off the plan.
    wall_->LeaveJunctions();
  }
  placed_ = on;
  if (on) canvas_->KeepRoomInsideMargin();
  canvas_->DoCommand(qxNewRoomCanvas::kRebuildRoom, on ? reinterpret_cast<intptr_t>(wall_) : 0);
  canvas_->DoCommand(qxNewRoomCanvas::kRefresh3D, 0);
  canvas_->Invalidate();
  canvas_->ScheduleUpdate();
  iElementHost& host = iElementHost::Current();
  host.MarkDocumentModified();
  zelvproElement::InvalidateElement(host.ScenePane(), true);
}
