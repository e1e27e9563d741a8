// The room's plan bounds and the offsets of its children.
#include <algorithm>

#include "elements/base/ElementChildren.h"
#include "foundation/Geometry3D.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"

namespace {

// The plan rectangle of a room without walls (millimetres).
constexpr float kEmptyWidth = 10000.0f, kEmptyDepth = 6000.0f;
// Below this distance (millimetres) the arc's centre counts as lying on the chord.
constexpr float kOnChord = 1.0e-3f;

// The middle point of an arched segment's arc: the chord's midpoint pushed out to the circle, on the
// side the arc's sense gives. A centre on the chord (a half circle) takes the chord's normal.
ppVector3 ArcMiddle(const qxRoomSegment& segment) {
  const ppVector3 a = segment.Start(), b = segment.End(), centre = segment.GetCenter();
  const ppVector3 middle = (a + b) * 0.5f;
  const float radius = segment.GetRadius();
  if (!(radius > 0.0f)) return middle;
  const bool away = (OrientationXZ(centre, a, b) >= 1) != segment.IsClockwise();
  const ppVector3 fromCentre = middle - centre;
  const float d = Distance3(middle, centre);
  if (d >= kOnChord) return middle + fromCentre * (away ? -(radius / d + 1.0f) : radius / d - 1.0f);
  const float chord = Distance3(a, b);
  if (chord < kOnChord) return middle;
  // The normal toward the side on which OrientationXZ(a, b, point) is positive.
  const ppVector3 normal((b.z - a.z) / chord, 0.0f, (a.x - b.x) / chord);
  return middle + normal * (away ? -radius : radius);
}

}  // namespace

void qxNewRoomCanvas::ComputeBounds(ppVector2 corners[4]) {
  ppVector2 low(0.0f, 0.0f), high(kEmptyWidth, kEmptyDepth);
  bool any = false;
  auto widen = [&](const ppVector3& p) {
    if (!any) low = high = ppVector2(p.x, p.z), any = true;
    low = ppVector2(std::min(low.x, p.x), std::min(low.y, p.z));
    high = ppVector2(std::max(high.x, p.x), std::max(high.y, p.z));
  };
  for (qxLineCycle* cycle = cycles; cycle != nullptr; cycle = cycle->next) {
    for (int32_t i = 0; i < cycle->EdgeCount(); ++i) {
      const qxRoomSegment* segment = cycle->EdgeAt(i)->segment;
      if (segment == nullptr) continue;
      widen(segment->Start());
      widen(segment->End());
      if (segment->IsArched()) widen(ArcMiddle(*segment));
    }
  }
  corners[0] = low;
  corners[1] = ppVector2(low.x, high.y);
  corners[2] = high;
  corners[3] = ppVector2(high.x, low.y);
}

void qxNewRoomCanvas::ExtendBounds2D(ppVector2& min, ppVector2& max) {
  for (qxLineCycle* cycle = cycles; cycle != nullptr; cycle = cycle->next) {
    for (int32_t i = 0; i < cycle->EdgeCount(); ++i) {
      const WallEdge* edge = cycle->EdgeAt(i);
      if (edge->arched) continue;
      min = ppVector2(std::min(min.x, edge->start.x), std::min(min.y, edge->start.z));
      max = ppVector2(std::max(max.x, edge->start.x), std::max(max.y, edge->start.z));
    }
  }
  ForEachChildElement(*this, [&](zelvproElement* child) { child->ExtendBounds2D(min, max); });
}

void qxNewRoomCanvas::OffsetTopViewChildren(const ppVector3& offset) {
  ForEachChildElement(*this, [&](zelvproElement* child) {
    if (child->kind == qxRoomSegment::kKind) return;
    child->SetPosition(child->GetPosition() + offset);
    child->InvalidateTree();
  });
}
