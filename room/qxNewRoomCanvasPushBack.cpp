// Moved elements are pushed back inside the room: where the sides of the selection's footprint cut
// through an inner wall face, the whole selection shifts so that the corner beyond the face comes back
// onto it, then a little further.
#include <cmath>

#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproElement.h"
#include "foundation/Geometry3D.h"
#include "foundation/TolerantMath.h"
#include "foundation/ppMatrix4.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"

namespace {

// The flags of GetBounds that give an element's whole box.
constexpr int32_t kWholeBoxFlags = 0x240;
// A push is applied in three passes: a corner put back on one face may have crossed another.
constexpr int32_t kPasses = 3;
// A shift this close to zero (millimetres) is none; a real one goes this much beyond the face.
constexpr double kNoShift = 9e-9;
constexpr float kClearance = 0.1f;

// The plan footprint of `box`: corners (min x, min z), (min x, max z), (max x, max z), (max x, min z)
// at height 0.
void Corners(const ppBounds3& box, ppVector3 corners[4]) {
  const float x0 = box.centre.x - box.half.x, x1 = box.centre.x + box.half.x;
  const float z0 = box.centre.z - box.half.z, z1 = box.centre.z + box.half.z;
  corners[0] = ppVector3(x0, 0.0f, z0);
  corners[1] = ppVector3(x0, 0.0f, z1);
  corners[2] = ppVector3(x1, 0.0f, z1);
  corners[3] = ppVector3(x1, 0.0f, z0);
}

// The selection's plan box; empty when the selection has no extent.
ppBounds3 Footprint(const qxViewHolder* first) {
  ppBounds3 box;
  for (const qxViewHolder* holder = first; holder != nullptr; holder = holder->Next()) {
    zelvproElement* element = holder->Element();
    if (element == nullptr) continue;
    ppMatrix4 placement;
    element->BuildPlacementMatrix(placement);
    box.AddBox(ppBounds3::Transformed(placement, element->GetBounds(0, kWholeBoxFlags)));
  }
  return box;
}

// From `q` to the foot of its perpendicular on the line a-b, in the floor plane.
ppVector3 ToLine(const ppVector3& q, const ppVector3& a, const ppVector3& b) {
  const double dx = double(b.x) - a.x, dz = double(b.z) - a.z;
  const double lengthSquared = dx * dx + dz * dz;
  if (!(lengthSquared > 0.0)) return ppVector3();
  const double t = ((double(q.x) - a.x) * dx + (double(q.z) - a.z) * dz) / lengthSquared;
  return ppVector3(float(a.x + t * dx - q.x), 0.0f, float(a.z + t * dz - q.z));
}

// The correction of the last crossing of a footprint side with an inner face of a closed cycle, in
// cycle and face order; zero when no side crosses one. An arched face counts as its chord.
ppVector3 LastCorrection(const qxLineCycle* cycles, const ppVector3 corners[4]) {
  ppVector3 correction;
  for (const qxLineCycle* cycle = cycles; cycle != nullptr; cycle = cycle->next) {
    if (!cycle->IsClosed() || !cycle->IsInside()) continue;
    for (int32_t i = 0, n = cycle->EdgeCount(); i < n; ++i) {
      const ppVector3 a = cycle->EdgeAt(i)->start, b = cycle->EdgeAt(i)->end;
      for (int32_t j = 0; j < 4; ++j) {
        const ppVector3& p = corners[j];
        const ppVector3& next = corners[(j + 1) % 4];
        ppVector3 crossing;
        bool parallel = false;
        if (!IntersectXZ(crossing, a, b, p, next, parallel, 4)) continue;
        // The corner of the side that lies beyond the face, outside the room.
        const ppVector3& outside = OrientationXZ(a, b, p) == 1 ? p : next;
        correction = ToLine(outside, a, b);
      }
    }
  }
  return correction;
}

// Grows a real shift by the clearance, away from the wall.
float WithClearance(float shift) {
  if (NearlyZero(shift, kNoShift)) return shift;
  return shift + std::copysign(kClearance, shift);
}

}  // namespace

ppVector3 qxNewRoomCanvas::WallPushBack(const ppBounds3& box) const {
  if (box.IsEmpty()) return ppVector3();
  ppVector3 corners[4];
  Corners(box, corners);
  ppVector3 total;
  for (int32_t pass = 0; pass < kPasses; ++pass) {
    const ppVector3 correction = LastCorrection(cycles, corners);
    total += correction;
    for (ppVector3& corner : corners) corner += correction;
  }
  if (NearlyZero(total.x, kNoShift) && NearlyZero(total.z, kNoShift)) return ppVector3();
  return ppVector3(WithClearance(total.x), 0.0f, WithClearance(total.z));
}

void qxNewRoomCanvas::SnapElementsToWalls(const qxViewHolder* first) {
  const ppVector3 shift = WallPushBack(Footprint(first));
  if (shift.x == 0.0f && shift.z == 0.0f) return;
  for (const qxViewHolder* holder = first; holder != nullptr; holder = holder->Next()) {
    if (zelvproElement* element = holder->Element()) element->SetPosition(element->GetPosition() + shift);
  }
}
