#include "canvas/tasks/qxMoveStretchObjectTask.h"

#include <cmath>
#include <vector>

#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "framework/ppDC.h"
#include "framework/ppEventHandler.h"
#include "room/qxJunction.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"

namespace {

constexpr double kSamePoint = 0.5;  // millimetres per component
// The start value of the closest-direction search.
constexpr float kNoGuide = 8999999488.0f;

bool Near(const ppVector3& a, const ppVector3& b) { return NearlyEqualVec3(a, b, kSamePoint); }

std::vector<qxRoomSegment*> WallsAt(const qxJunction& junction) {
  std::vector<qxRoomSegment*> out;
  for (qxJunctionLink* l = junction.GetFirstLink(); l != nullptr; l = l->GetNext())
    out.push_back(l->GetSegment());
  return out;
}

int32_t CountJunctions(const qxRoomSegment& wall) {
  int32_t n = 0;
  for (qxJunctionRec* r = wall.GetFirstJunctionLink(); r != nullptr; r = r->GetNext()) ++n;
  return n;
}

bool HoldsElements(const qxRoomSegment& wall) {
  bool found = false;
  ForEachChildElement(wall, [&](zelvproElement*) { found = true; });
  return found;
}

// The wall's point at `corner`: its end when that lies there, else its start.
ppVector3& EndAt(ppVector3& start, ppVector3& end, const ppVector3& corner) {
  return Near(end, corner) ? end : start;
}

int32_t RoundPixel(double v) { return int32_t(std::floor(v + 0.5)); }

// `p` projected on the line through `start` (window pixels) of plan direction `angle`.
void ProjectOnLine(plat::POINT& p, const plat::POINT& start, float angle) {
  ppVector3 v(1.0f, 0.0f, 0.0f);
  RotatePoint3(v, 0.0f, angle, 0.0f);
  const float dx = float(p.x - start.x), dy = float(p.y - start.y);
  const float s = dx * v.x - v.z * dy;
  p.x = RoundPixel(start.x + s * v.x);
  p.y = RoundPixel(start.y - v.z * s);
}

float WallAngle(const qxRoomSegment& wall) {
  return AngleOf(wall.End().x - wall.Start().x, wall.End().z - wall.Start().z);
}

}  // namespace

qxMoveStretchObjectTask::qxMoveStretchObjectTask(qxRoomSegment* segment, qxJunction* junction,
                                                 qxNewRoomCanvas* canvas)
    : ppMouseTask(segment, static_cast<zelvproElement*>(segment)),
      canvas_(canvas),
      junction_(junction),
      segment_(segment) {}

ppVector3 qxMoveStretchObjectTask::PlanMove(int32_t x, int32_t y) const {
  const double scale = PlanScale();
  const plat::POINT start = StartPoint();
  return ppVector3(float(std::lround((x - start.x) * scale)), 0.0f,
                   float(std::lround((y - start.y) * scale)));
}

bool qxMoveStretchObjectTask::StretchAllowed(const ppVector3& delta) const {
  const ppVector3 pos = junction_->Position(), moved = pos + delta;
  for (qxRoomSegment* w : WallsAt(*junction_)) {
    ppVector3 a = w->Start(), b = w->End();
    EndAt(a, b, pos) = moved;
    if (!(Distance3(a, b) > kLeast)) return false;
  }
  if (canvas_ != nullptr) {
    for (qxJunction* k = canvas_->Junctions(); k != nullptr; k = k->GetNext())
      if (k != junction_ && NearlyEqualVec3(moved, k->Position(), kLeast)) return false;
  }
  return true;
}

void qxMoveStretchObjectTask::PreTrack(plat::POINT* point) {
  plat::POINT& p = *point;
  const plat::POINT start = StartPoint();
  if (Hypot2(float(p.x - start.x), float(p.y - start.y)) < kDeadZone) {
    p = start;
    refused_ = true;
    return;
  }
  refused_ = false;

  const bool ctrl = ppEventHandler::IsControlKeyDown();
  const std::vector<qxRoomSegment*> walls = WallsAt(*junction_);
  qxRoomSegment* guide = nullptr;
  bool secondGuide = false;
  for (qxRoomSegment* w : walls) {
    if (CountJunctions(*w) < 3 && !HoldsElements(*w)) continue;
    if (guide == nullptr)
      guide = w;
    else
      secondGuide = true;
  }
  if (guide == nullptr && !ctrl) {
    ppVector3 m(float(p.x - start.x), 0.0f, float(p.y - start.y));
    m.Normalize();
    float least = kNoGuide;
    for (qxRoomSegment* w : walls) {
      const ppVector3 u = (w->End() - w->Start()).Normalized();
      const float e = std::fmin(Distance3(m, u), Distance3(m, u.Negated()));
      if (e < least) least = e, guide = w;
    }
  }

  if (junction_->GetLinkCount() == 1) {
    if (!ctrl) ProjectOnLine(p, start, WallAngle(*segment_));
  } else if (secondGuide) {
    p = start;
    refused_ = true;
    return;
  } else if (guide != nullptr) {
    ProjectOnLine(p, start, WallAngle(*guide));
  }

  // A corner dragged onto another, or a wall shrunk to nothing, would break the outline.
  if (!StretchAllowed(PlanMove(p.x, p.y))) {
    p = start;
    refused_ = true;
  }
}

void qxMoveStretchObjectTask::DrawFeedback(int32_t x, int32_t y) {
  if (refused_) return;
  // The corner mark's arcs are why the band is recorded: drawn straight they differ from the replay.
  band_.Draw(View(), canvas_, [&](ppDC& dc) {
    const ppVector3 pos = junction_->Position(), moved = pos + PlanMove(x, y);
    for (qxRoomSegment* w : WallsAt(*junction_)) {
      ppVector3 a = w->Start(), b = w->End();
      EndAt(a, b, pos) = moved;
      w->DrawOutlineWithDimension(a, b, dc);
    }
    junction_->DrawAngles(dc, x, y);
  });
}

void qxMoveStretchObjectTask::EraseFeedback(int32_t /*x*/, int32_t /*y*/) { band_.Erase(View(), canvas_); }

void qxMoveStretchObjectTask::ApplyStretch(float dx, float dz, bool replay) {
  if (replay) {
    if (record_.IsEmpty()) return;
    record_.Replay(dx == appliedDx_ && dz == appliedDz_);
  } else {
    appliedDx_ = dx, appliedDz_ = dz;
    record_.Clear();
    const ppVector3 delta(dx, 0.0f, dz);
    if (refused_ || !std::isfinite(dx) || !std::isfinite(dz) || !StretchAllowed(delta)) return;
    const ppVector3 pos = junction_->Position(), moved = pos + delta;
    for (qxRoomSegment* w : WallsAt(*junction_)) {
      // The wall's own point: a corner lies within 1 mm of the ends it joins, and the end move
      // finds an end only at its exact point.
      ppVector3 a = w->Start(), b = w->End();
      const ppVector3 from = EndAt(a, b, pos);
      if (Near(from, pos)) record_.MoveAndKeep(w, from, moved);
    }
    if (!record_.MovedAnything()) {
      record_.Clear();
      return;
    }
  }
  if (canvas_ == nullptr) return;
  canvas_->InvalidateTree();
  record_.Shift(canvas_->KeepRoomInsideMargin());
}

void qxMoveStretchObjectTask::Do() {
  ppMouseTask::Do();
  done_ = true;
  junction_->ShowInfoPanel(nullptr);
  const ppVector3 delta = PlanMove(Current().x, Current().y);
  ApplyStretch(delta.x, delta.z, false);
  if (!record_.IsEmpty()) Announce();
}

void qxMoveStretchObjectTask::Announce() {
  if (canvas_ != nullptr) {
    canvas_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    canvas_->DoCommand(qxNewRoomCanvas::kRefresh3D, 0);
  }
  iElementHost& host = iElementHost::Current();
  zelvproElement::InvalidateElement(host.ScenePane(), true);
  host.MarkDocumentModified();
}

void qxMoveStretchObjectTask::Undo() {
  ppMouseTask::Undo();
  if (record_.IsEmpty()) return;
  ApplyStretch(-appliedDx_, -appliedDz_, true);
  Announce();
}

void qxMoveStretchObjectTask::Redo() {
  ppMouseTask::Redo();
  if (record_.IsEmpty()) return;
  ApplyStretch(appliedDx_, appliedDz_, true);
  Announce();
}
