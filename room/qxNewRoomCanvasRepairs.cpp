// The repairs of the outline after an edit: the resnap of moved segments onto corners, the shift
// that keeps the room away from the plan's origin, and the door pass after such a shift.
#include <cmath>
#include <vector>

#include "elements/base/ElementChildren.h"
#include "elements/base/iElementHost.h"
#include "elements/units/zelvproDoor.h"
#include "room/qxJunction.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRelocatorSweeper.h"
#include "room/qxRoomSegment.h"

namespace {

// Every wall end stays at least this far (millimetres) from the plan's origin in x and z.
const ppVector3 kMargin(500.0f, 0.0f, 500.0f);
// A lone corner further than this (in some coordinate) from both ends of its wall holds nothing.
constexpr float kCornerReach = 0.5f;
// No plan reaches this far (millimetres, 10 km) from its origin in any coordinate, and beyond it a
// float no longer resolves a millimetre: an end further out is damaged and does not decide the shift.
constexpr float kPlausibleReach = 1.0e7f;

bool WithinReach(const ppVector3& a, const ppVector3& b) {
  return std::fabs(a.x - b.x) < kCornerReach && std::fabs(a.y - b.y) < kCornerReach &&
         std::fabs(a.z - b.z) < kCornerReach;
}

// Unlinks every segment that is no longer on a canvas; true when one was.
bool DropRemovedSegments(qxJunction* chain) {
  bool changed = false;
  for (qxJunction* j = chain; j != nullptr; j = j->GetNext()) {
    qxJunctionLink* link = j->GetFirstLink();
    while (link != nullptr) {
      qxRoomSegment* segment = link->GetSegment();
      if (segment == nullptr || segment->GetSupervisor() != nullptr) {
        link = link->GetNext();
        continue;
      }
      j->RemoveSegment(segment);
      changed = true;
      link = j->GetFirstLink();  // the unlinked node is gone: start the walk again
    }
  }
  return changed;
}

// A corner with no wall, or with one wall that has no end at it, holds nothing.
bool HoldsNothing(qxJunction& j) {
  qxJunctionLink* link = j.GetFirstLink();
  if (link == nullptr) return true;
  if (link->GetNext() != nullptr) return false;
  qxRoomSegment* segment = link->GetSegment();
  if (segment != nullptr &&
      (WithinReach(j.Position(), segment->Start()) || WithinReach(j.Position(), segment->End())))
    return false;
  if (segment != nullptr) j.RemoveSegment(segment);
  return true;
}

// Cuts the corners that hold nothing out of the chain and deletes them; true when one went.
bool PruneCorners(qxJunction*& head) {
  bool pruned = false;
  qxJunction* previous = nullptr;
  for (qxJunction* j = head; j != nullptr;) {
    qxJunction* next = j->GetNext();
    if (HoldsNothing(*j)) {
      if (previous != nullptr)
        previous->SetNext(next);
      else
        head = next;
      j->SetNext(nullptr);  // the rest of the chain is not its own any more
      delete j;
      pruned = true;
    } else {
      previous = j;
    }
    j = next;
  }
  return pruned;
}

std::vector<qxRoomSegment*> Segments(const ppView& canvas) {
  std::vector<qxRoomSegment*> out;
  ForEachChildElement(canvas, [&](zelvproElement* child) {
    if (auto* segment = dynamic_cast<qxRoomSegment*>(child)) out.push_back(segment);
  });
  return out;
}

// Finite and within the plausible plan in every coordinate (false for NaN too).
bool Plausible(const ppVector3& p) {
  return std::fabs(p.x) <= kPlausibleReach && std::fabs(p.y) <= kPlausibleReach &&
         std::fabs(p.z) <= kPlausibleReach;
}

// Lowers `low` to a sound end; a damaged end would move every sound wall by a huge or infinite amount.
void Lower(ppVector3& low, const ppVector3& p) {
  if (!Plausible(p)) return;
  if (p.x < low.x) low.x = p.x;
  if (p.y < low.y) low.y = p.y;
  if (p.z < low.z) low.z = p.z;
}

// Doors and windows (structure elements are windows), standing on the canvas or in its walls, from
// the last child to the first.
std::vector<zelvproDoor*> OpeningsFromLast(const ppView& canvas) {
  std::vector<zelvproDoor*> out;
  const ppViewList& children = canvas.Subviews();
  for (int32_t i = children.Count() - 1; i >= 0; --i) {
    if (auto* opening = dynamic_cast<zelvproDoor*>(children.At(i))) {
      out.push_back(opening);
      continue;
    }
    const ppViewList& inner = children.At(i)->Subviews();
    for (int32_t k = inner.Count() - 1; k >= 0; --k)
      if (auto* opening = dynamic_cast<zelvproDoor*>(inner.At(k))) out.push_back(opening);
  }
  return out;
}

}  // namespace

void qxNewRoomCanvas::ReleaseOutsideSnaps(ElementList& /*list*/) { junctionsDirty = 1; }

void qxNewRoomCanvas::ResnapList(ElementList& list) {
  if (junctionsDirty == 0) return;
  BeginCornerIndex();
  for (zelvproElement* element : list) {
    if (auto* segment = dynamic_cast<qxRoomSegment*>(element)) {
      AttachSegmentEnd(segment, segment->Start());
      AttachSegmentEnd(segment, segment->End());
    }
  }
  EndCornerIndex();  // the pruning below changes the chain
  const bool unlinked = DropRemovedSegments(junctions);
  // The side faces name the corners they end at: a deleted corner needs the rebuild too.
  const bool pruned = PruneCorners(junctions);
  if (unlinked || pruned || !list.empty()) {
    DoCommand(kRebuildRoom, list.empty() ? 0 : reinterpret_cast<intptr_t>(list.front()));
    DoCommand(kRefresh3D, 0);
  }
  junctionsDirty = 0;
}

ppVector3 qxNewRoomCanvas::KeepRoomInsideMargin() {
  const std::vector<qxRoomSegment*> segments = Segments(*this);
  ppVector3 low = kMargin;
  for (qxRoomSegment* segment : segments) {
    Lower(low, segment->Start());
    Lower(low, segment->End());
  }
  if (!(low.x < kMargin.x || low.z < kMargin.z)) return ppVector3();
  // Every component is 0 or positive: an axis already clear of the margin keeps its place.
  const ppVector3 offset = kMargin - low;
  iElementHost& host = iElementHost::Current();
  new qxRelocatorSweeper(host.DocumentWindow(), this, offset);  // the queue owns both
  new qxRelocatorSweeper(host.DocumentWindow(), host.TopCanvas(), offset);
  for (qxRoomSegment* segment : segments) {
    segment->Translate(offset);
    segment->Resnap();
    segment->Invalidate();
  }
  DoCommand(kRebuildRoom, 0);
  DoCommand(kRefresh3D, 0);
  return offset;
}

void qxNewRoomCanvas::FixDoors() {
  // Four unit nudges cancel out; each seats the opening on its wall again.
  static constexpr int32_t kNudges[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
  seatingOpenings_ = true;
  for (zelvproDoor* opening : OpeningsFromLast(*this)) {
    for (const auto& nudge : kNudges) opening->MoveBy(nudge[0], nudge[1]);
    opening->MarkTreePendingUpdate();
  }
  seatingOpenings_ = false;
  InvalidateElement(iElementHost::Current().ScenePane(), true);
}
