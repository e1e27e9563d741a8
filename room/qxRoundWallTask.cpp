#include "room/qxRoundWallTask.h"

#include <cmath>

#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/topview/iConfigurator.h"
#include "foundation/Geometry3D.h"
#include "framework/ppDC.h"
#include "room/ppCircle.h"
#include "room/qxRoomSegment.h"

// The wall is the task's target: a wall that goes takes its tasks off every history, so no undo
// reaches it afterwards.
qxRoundWallTask::qxRoundWallTask(qxRoomSegment* segment, ppView* canvas)
    : ppMouseTask(segment, static_cast<zelvproElement*>(segment)), segment_(segment), canvas_(canvas) {
  old_ = {segment->GetRadius(), segment->GetCenter(), segment->IsClockwise()};
  // A commit before any tracking step keeps the wall as it is.
  new_ = old_;
}

void qxRoundWallTask::Do() {
  ppMouseTask::Do();
  iConfigurator::Current().RemoveAll();
  Rebuild(new_);
  if (auto* canvas = dynamic_cast<zelvproCanvas*>(canvas_)) canvas->ScheduleUpdate();
}

// Undo and redo rebuild the room as the commit does: the saved outline, the floors and the wall
// bodies would otherwise keep the arc that was undone.
void qxRoundWallTask::Undo() {
  ppMouseTask::Undo();
  Rebuild(old_);
}

void qxRoundWallTask::Redo() {
  ppMouseTask::Redo();
  Rebuild(new_);
}

void qxRoundWallTask::Click() {
  segment_->Invalidate();
  Apply(old_);
  new_ = old_;
}

void qxRoundWallTask::Apply(const Arc& arc) {
  segment_->SetRadius(arc.radius);
  segment_->SetCenter(arc.centre);
  // The sense belongs to the arc: with the old centre and the new sense the wall would take the
  // other part of the circle.
  segment_->SetClockwise(arc.clockwise);
}

void qxRoundWallTask::Rebuild(const Arc& arc) {
  segment_->Invalidate();
  Apply(arc);
  segment_->Invalidate();
  if (canvas_ != nullptr) {
    canvas_->Invalidate();
    canvas_->DoCommand(qxRoomSegment::kRebuildCorners, reinterpret_cast<intptr_t>(segment_));
    canvas_->DoCommand(qxRoomSegment::kRefresh3D, 0);
  }
  iElementHost& host = iElementHost::Current();
  host.MarkDocumentModified();
  zelvproElement::InvalidateElement(host.ScenePane(), true);
}

void qxRoundWallTask::DrawFeedback(int32_t x, int32_t y) {
  ppVector3 mouse;
  ScreenToPlanPoint(x, y, mouse);
  Refit(mouse);
  ppDC dc(segment_->GetHWND());
  dc.SetXorMode();
  segment_->DrawOutlineWithDimension(segment_->Start(), segment_->End(), dc);
  segment_->DrawContent(dc);
  dc.SetNormalPen();
}

void qxRoundWallTask::Refit(const ppVector3& mouse) {
  const ppVector3 s = segment_->Start(), e = segment_->End();
  const ppVector3 mid = (e + s) / 2.0f;
  const float chord = Distance3(e, s);
  if (!(chord > 0.0f)) return;  // a wall of no length has no arc through a third point
  const ppVector3 d = (e - s) / chord;
  const ppVector3 normal(d.z, 0.0f, -d.x);

  // The arc's height over the chord on the mouse's side: the circle's radius less the centre's
  // distance from the chord's middle when the centre lies across the chord from the mouse, plus it
  // when on the same side. Without a circle (the mouse on the chord) the height counts as 0.
  float height = 0.0f;
  const ppCircle through(e, mouse, s);
  if (through.GetRadius() >= 0.0) {
    const ppVector3 centre = *through.GetCenter();
    const float r = float(through.GetRadius()), fromMid = Distance3(mid, centre);
    const int32_t o1 = OrientationXZ(centre, s, e), o2 = OrientationXZ(e, mouse, s);
    const bool sameSide = (o1 > 0 && o2 > 0) || (o1 <= 0 && o2 < 0);
    height = sameSide ? r + fromMid : r - fromMid;
  }

  ppVector3 apex = mouse;
  const float highest = chord / kHighestDivisor, lowest = chord / kLowestDivisor;
  const float limit = height > highest ? highest : height < lowest ? lowest : 0.0f;
  if (limit > 0.0f) apex = OrientationXZ(e, mouse, s) < 0 ? mid - normal * limit : mid + normal * limit;

  const ppCircle arc(e, apex, s);
  if (!(arc.GetRadius() >= 0.0)) return;  // no circle: the arc stays as it was
  new_ = {float(arc.GetRadius()), *arc.GetCenter(), OrientationXZ(e, apex, s) < 0};
  Apply(new_);
}
