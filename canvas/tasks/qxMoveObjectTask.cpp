#include "canvas/tasks/qxMoveObjectTask.h"

#include <cmath>
#include <vector>

#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "framework/ppDC.h"
#include "framework/ppEventHandler.h"
#include "room/qxJunction.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"

namespace {

// Plan points this close (millimetres, per component) are the same corner.
constexpr double kSamePoint = 0.5;
// A wall whose ends differ by less than this on one axis runs along the other (millimetres).
constexpr float kAxisSlack = 0.1f;
// Neighbour directions (unit vectors) differing by more than this in a component have turned.
constexpr float kTurned = 0.5f;
// A quarter turn in single precision, as the wall's angle is.
constexpr float kQuarterTurn = 1.5707964f;

bool Near(const ppVector3& a, const ppVector3& b) { return NearlyEqualVec3(a, b, kSamePoint); }

std::vector<qxJunction*> JunctionsOf(const qxRoomSegment& segment) {
  std::vector<qxJunction*> out;
  for (qxJunctionRec* n = segment.GetFirstJunctionLink(); n != nullptr; n = n->GetNext())
    out.push_back(n->GetJunction());
  return out;
}

std::vector<qxRoomSegment*> WallsAt(const qxJunction& junction) {
  std::vector<qxRoomSegment*> out;
  for (qxJunctionLink* l = junction.GetFirstLink(); l != nullptr; l = l->GetNext())
    out.push_back(l->GetSegment());
  return out;
}

zelvproTopCanvas* PlanCanvas() {
  return dynamic_cast<zelvproTopCanvas*>(iElementHost::Current().TopCanvas());
}

int32_t RoundPixel(double v) { return int32_t(std::floor(v + 0.5)); }

}  // namespace

qxMoveObjectTask::qxMoveObjectTask(qxRoomSegment* segment, qxNewRoomCanvas* canvas)
    : ppMouseTask(segment, static_cast<zelvproElement*>(segment)),
      segment_(segment),
      canvas_(canvas),
      wallStart_(segment->Start()),
      wallEnd_(segment->End()) {
  normalAngle_ = AngleOf(wallEnd_.x - wallStart_.x, wallEnd_.z - wallStart_.z) + kQuarterTurn;
}

// ---- Where the wall's ends land.

qxMoveObjectTask::Ends qxMoveObjectTask::FindEnds(const ppVector3& delta) const {
  Ends e;
  const ppVector3 start = segment_->Start(), end = segment_->End();
  e.movedStart = e.start = start + delta;
  e.movedEnd = e.end = end + delta;
  // As the outline always had it: okS and okE hold the last neighbour's answer at each corner.
  bool okStart = true, okEnd = true, neighbourEndsThere = false;
  for (qxJunction* j : JunctionsOf(*segment_)) {
    const bool atStart = Near(j->Position(), start);
    if (!atStart && !Near(j->Position(), end)) continue;
    (atStart ? e.startLinks : e.endLinks) = j->GetLinkCount();
    for (qxRoomSegment* n : WallsAt(*j)) {
      if (n == segment_) continue;
      if (Near(n->Start(), j->Position()) || Near(n->End(), j->Position())) neighbourEndsThere = true;
      ppVector3 cross = atStart ? e.start : e.end;
      bool parallel = false;
      const bool within = IntersectXZ(cross, n->Start(), n->End(), e.movedStart, e.movedEnd, parallel, 2);
      (atStart ? okStart : okEnd) = within;
      (atStart ? e.start : e.end) = cross;
    }
  }
  // A free end keeps the wall's length and follows the joined one.
  if (e.startLinks == 1 && e.endLinks > 1) e.start = e.end + (e.movedStart - e.movedEnd);
  if (e.endLinks == 1 && e.startLinks > 1) e.end = e.start + (e.movedEnd - e.movedStart);
  e.acceptable = Distance3(e.start, e.end) > kLeast && ((okStart && okEnd) || neighbourEndsThere) &&
                 e.startLinks <= 2 && e.endLinks <= 2;
  return e;
}

bool qxMoveObjectTask::CornersAllow(const ppVector3& delta) const {
  for (qxJunction* j : JunctionsOf(*segment_)) {
    const ppVector3 pos = j->Position(), moved = pos + delta;
    if (canvas_ != nullptr) {
      for (qxJunction* k = canvas_->Junctions(); k != nullptr; k = k->GetNext())
        if (!(k->Position() == pos) && NearlyEqualVec3(moved, k->Position(), kLeast)) return false;
    }
    for (qxRoomSegment* n : WallsAt(*j)) {
      if (n == segment_) continue;
      ppVector3 a = n->Start(), b = n->End();
      const ppVector3 before = (b - a).Normalized();
      if (Near(a, pos))
        a = moved;
      else if (Near(b, pos))
        b = moved;
      const ppVector3 after = (b - a).Normalized();
      if (std::fabs(before.x - after.x) > kTurned || std::fabs(before.y - after.y) > kTurned ||
          std::fabs(before.z - after.z) > kTurned)
        return false;
    }
  }
  return true;
}

// ---- Tracking.

void qxMoveObjectTask::PreTrack(plat::POINT* point) {
  plat::POINT& p = *point;
  const plat::POINT start = StartPoint();
  const ppVector3 a = segment_->Start(), b = segment_->End(), d = b - a;
  const double scale = PlanScale();
  plat::POINT sS{}, sE{};
  PlanPointToScreen(a, sS);
  PlanPointToScreen(b, sE);
  const int32_t half = int32_t(std::lround(segment_->GetThickness() / scale / 2.0));

  // The face on the tested side stops at the nearest unit beside an axis-parallel wall.
  if (zelvproTopCanvas* plan = PlanCanvas()) {
    if (-kAxisSlack < d.x && d.x < kAxisSlack) {
      const int32_t face = d.z < 0 ? p.x + half : p.x - half;
      int32_t stopped = face;
      plan->NearestEdgeXPixels(stopped, sS.x, sE.y, sS.y, d.z < 0);
      p.x += stopped - face;
    } else if (-kAxisSlack < d.z && d.z < kAxisSlack) {
      const int32_t face = d.x < 0 ? p.y - half : p.y + half;
      int32_t stopped = face;
      plan->NearestEdgeYPixels(stopped, sS.y, sE.x, sS.x, d.x > 0);
      p.y += stopped - face;
    }
  }

  if (Hypot2(float(p.x - start.x), float(p.y - start.y)) < kDeadZone) {
    p = start;
    refused_ = true;
    return;
  }
  refused_ = false;

  if (!ppEventHandler::IsControlKeyDown()) {
    ppVector3 v(1.0f, 0.0f, 0.0f);
    RotatePoint3(v, 0.0f, normalAngle_, 0.0f);
    const float dx = float(p.x - start.x), dy = float(p.y - start.y);
    const float s = dx * v.x - v.z * dy;
    p.x = RoundPixel(start.x + s * v.x);
    p.y = RoundPixel(start.y - v.z * s);
  }

  const ppVector3 delta(float((p.x - start.x) * scale), 0.0f, float((p.y - start.y) * scale));
  if (!CornersAllow(delta)) {
    p = start;
    refused_ = true;
  }
}

void qxMoveObjectTask::DrawFeedback(int32_t x, int32_t y) {
  if (refused_) return;
  band_.Draw(View(), canvas_, [&](ppDC& dc) { RecordBand(dc, x, y); });
}

void qxMoveObjectTask::RecordBand(ppDC& dc, int32_t x, int32_t y) {
  const double scale = PlanScale();
  const plat::POINT start = StartPoint();
  const ppVector3 delta(float(std::lround((x - start.x) * scale)), 0.0f,
                        float(std::lround((y - start.y) * scale)));
  const Ends ends = FindEnds(delta);
  if (!ends.acceptable) {
    segment_->DrawOutlineWithDimension(wallStart_, wallEnd_, dc);
    invalid_ = true;
  } else {
    segment_->DrawOutlineWithDimension(ends.start, ends.end, dc);
    invalid_ = false;
    DrawWalls(ends, delta, dc);
  }
}

void qxMoveObjectTask::DrawWalls(const Ends& ends, const ppVector3& delta, ppDC& dc) {
  const ppVector3 start = segment_->Start(), end = segment_->End();
  for (qxJunction* j : JunctionsOf(*segment_)) {
    const ppVector3 pos = j->Position();
    const bool atStart = Near(pos, start), atEnd = !atStart && Near(pos, end);
    for (qxRoomSegment* n : WallsAt(*j)) {
      if (n == segment_) continue;
      ppVector3 a = n->Start(), b = n->End();
      if (atStart || atEnd) {
        const ppVector3 corner = atStart ? ends.start : ends.end;
        (Near(a, pos) ? a : b) = corner;
      } else {
        // A wall ending against the moved one: its end slides along its own line.
        const bool endNear = Near(b, pos);
        ppVector3& nearEnd = endNear ? b : a;
        const ppVector3 farEnd = endNear ? a : b;
        const float a1 = AngleOf(farEnd.x - nearEnd.x, farEnd.z - nearEnd.z), a2 = AngleOf(delta.x, delta.z);
        const float c = std::cos(a2 - a1), length = Distance3(farEnd, nearEnd);
        if (!(std::fabs(c) > 1e-6f) || !(length > 0.0f)) continue;
        nearEnd = nearEnd + (farEnd - nearEnd) * (delta.Length() / c / length);
      }
      n->DrawOutlineWithDimension(a, b, dc);
    }
  }
}

void qxMoveObjectTask::EraseFeedback(int32_t /*x*/, int32_t /*y*/) { band_.Erase(View(), canvas_); }

// ---- The move.

void qxMoveObjectTask::ApplyMove(float dx, float dz, bool replay) {
  if (replay) {
    if (record_.IsEmpty()) return;
    record_.Replay(dx == appliedDx_ && dz == appliedDz_);
  } else {
    appliedDx_ = dx, appliedDz_ = dz;
    record_.Clear();
    const ppVector3 delta(dx, 0.0f, dz);
    if (!std::isfinite(dx) || !std::isfinite(dz) || !CornersAllow(delta)) return;
    const Ends ends = FindEnds(delta);
    if (!ends.acceptable) return;
    const ppVector3 start = segment_->Start(), end = segment_->End();
    bool startMoved = false, endMoved = false;
    for (qxJunction* j : JunctionsOf(*segment_)) {
      const ppVector3 pos = j->Position();
      const bool atStart = Near(pos, start), atEnd = !atStart && Near(pos, end);
      for (qxRoomSegment* n : WallsAt(*j)) {
        if (atStart || atEnd) {
          // The wall's own point at the corner: a corner lies within 1 mm of the ends it joins, and
          // the end move finds an end only at its exact point.
          const ppVector3 from = Near(n->Start(), pos) ? n->Start() : n->End();
          if (!Near(from, pos)) continue;  // a wall running through the corner keeps its ends
          record_.MoveAndKeep(n, from, atStart ? ends.start : ends.end);
          if (n == segment_) (atStart ? startMoved : endMoved) = true;
        } else if (n != segment_) {
          const bool endNear = Near(n->End(), pos);
          const ppVector3 nearEnd = endNear ? n->End() : n->Start(), farEnd = endNear ? n->Start() : n->End();
          if (!Near(nearEnd, pos)) continue;
          ppVector3 cross;
          bool parallel = false;
          IntersectXZ(cross, nearEnd, farEnd, ends.movedStart, ends.movedEnd, parallel, 1);
          if (!parallel) record_.MoveAndKeep(n, nearEnd, cross);
        }
      }
    }
    // A wall end without a corner (corners not built yet) still moves with its wall.
    if (!startMoved) record_.MoveAndKeep(segment_, start, ends.start);
    if (!endMoved) record_.MoveAndKeep(segment_, end, ends.end);
    if (!record_.MovedAnything()) {
      record_.Clear();
      return;
    }
  }
  if (canvas_ == nullptr) return;
  canvas_->InvalidateTree();
  // Every kept point follows the room's shift, so undo and redo find their ends again.
  record_.Shift(canvas_->KeepRoomInsideMargin());
}

void qxMoveObjectTask::Do() {
  ppMouseTask::Do();
  done_ = true;
  record_.Clear();
  if (refused_ || invalid_) return;
  const double scale = PlanScale();
  const plat::POINT start = StartPoint(), now = Current();
  ppVector3 delta(float((now.x - start.x) * scale), 0.0f, float((now.y - start.y) * scale));
  const float length = delta.Length();
  if (!(length > 0.0f)) return;
  delta = delta * (qxRoomSegment::snapWallLength(length) / length);

  const ppVector3 a = segment_->Start(), b = segment_->End(), d = b - a;
  const float half = segment_->GetThickness() / 2.0f;
  if (zelvproTopCanvas* plan = PlanCanvas()) {
    if (-kAxisSlack < d.x && d.x < kAxisSlack) {
      const float side = d.z < 0 ? half : -half;
      float face = a.x + delta.x + side;
      plan->NearestEdgeX(face, a.x, b.z, a.z, d.z < 0);
      delta.x = face - side - a.x;
    } else if (-kAxisSlack < d.z && d.z < kAxisSlack) {
      const float side = d.x < 0 ? -half : half;
      float face = a.z + delta.z + side;
      plan->NearestEdgeY(face, a.z, b.x, a.x, d.x > 0);
      delta.z = face - side - a.z;
    }
  }
  ApplyMove(delta.x, delta.z, false);
  if (record_.IsEmpty()) return;
  Announce();
  segment_->BuildInfoPanel(nullptr);
}

void qxMoveObjectTask::Announce() {
  if (canvas_ != nullptr) {
    canvas_->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    canvas_->DoCommand(qxNewRoomCanvas::kRefresh3D, 0);
  }
  iElementHost& host = iElementHost::Current();
  zelvproElement::InvalidateElement(host.ScenePane(), true);
  host.MarkDocumentModified();
}

void qxMoveObjectTask::Undo() {
  ppMouseTask::Undo();
  if (record_.IsEmpty()) return;
  ApplyMove(-appliedDx_, -appliedDz_, true);
  Announce();
  if (canvas_ != nullptr) canvas_->ScheduleUpdate();
}

void qxMoveObjectTask::Redo() {
  ppMouseTask::Redo();
  if (record_.IsEmpty()) return;
  ApplyMove(appliedDx_, appliedDz_, true);
  Announce();
}
