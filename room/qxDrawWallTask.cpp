#include "room/qxDrawWallTask.h"

#include <algorithm>
#include <cfloat>

#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "foundation/Geometry3D.h"
#include "framework/ppDC.h"
#include "room/qxJunction.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"

qxDrawWallTask::qxDrawWallTask(qxNewRoomCanvas* canvas) : ppMouseTask(canvas, canvas), canvas_(canvas) {}

// Off the plan the wall is the task's; one destroyed elsewhere (the room replaced) was let go of.
qxDrawWallTask::~qxDrawWallTask() { DeleteKeptIfLoose(wall_); }

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
  // Else the centre line of the nearest straight wall whose body, widened by the reach, lies under
  // the mouse: a press on a wall's face joins that wall, and the rebuild makes the corner where the
  // two meet and cuts the face there. The foot is kept within the wall's length, so a press past a
  // wall's end lands on its end corner instead of on the line beyond it.
  const ppVector3 mouse = p;
  float best = FLT_MAX;
  ForEachChildElement(*canvas_, [&](zelvproElement* child) {
    auto* other = dynamic_cast<qxRoomSegment*>(child);
    if (other == nullptr || other == wall_ || other->IsArched()) return;
    const ppVector3 a(other->Start().x, 0.0f, other->Start().z), b(other->End().x, 0.0f, other->End().z);
    const ppVector3 d = b - a;
    const float squared = d.x * d.x + d.z * d.z;
    if (!(squared > 0.0f)) return;
    const float along = std::clamp(((mouse.x - a.x) * d.x + (mouse.z - a.z) * d.z) / squared, 0.0f, 1.0f);
    const ppVector3 foot = a + d * along;
    const float distance = Distance3(foot, mouse);
    if (distance <= other->GetThickness() / 2.0f + reach && distance < best)
      best = distance, joined = true, p = foot;
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
    Keep(wall_);
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
