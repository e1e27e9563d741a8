// The wall body's dimension lines on the plan: the stretches of its face between the openings of its
// segment, the openings' own lines and the whole face.
#include <map>

#include "elements/base/ElementChildren.h"
#include "elements/base/PlanAnnotation.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "room/qxRoomSegment.h"
#include "room/qxWallElement.h"

namespace {

ppVector3 OnFloor(ppVector3 point) {
  point.y = 0.0f;
  return point;
}

}  // namespace

PlanAnnotation qxWallElement::DimensionLine(const ppVector3& from, float length, float angle, int32_t kind) {
  PlanAnnotation line;
  line.second = from;
  line.third = ppVector3(length, 0.0f, 0.0f);
  line.angle = angle;
  line.owner = this;
  line.x = length;
  line.flags = PlanAnnotation::kDimensionLine;
  line.kind = kind;
  return line;
}

void qxWallElement::CollectDimensionLines(std::vector<PlanAnnotation>& list) {
  const float angle = AngleBetweenXZ(edge_.start, edge_.end);
  // The first line of each opening, by its distance from the face's start; one per distance.
  std::map<float, PlanAnnotation> openings;
  if (edge_.segment != nullptr) {
    ForEachChildElement(*edge_.segment, [&](zelvproElement* child) {
      std::vector<PlanAnnotation> own;
      child->CollectDimensionLines(own);
      if (own.empty()) return;
      list.push_back(own.front());
      openings.insert_or_assign(Distance3(edge_.start, own.front().second), own.front());
    });
  }
  auto gap = [&](const ppVector3& from, const ppVector3& to) {
    const float length = Distance3(from, to);
    if (length > kShortestDimension) list.push_back(DimensionLine(from, length, angle, 2));
  };
  ppVector3 running = edge_.start;
  for (const auto& [distance, line] : openings) {
    const ppVector3 near = OnFloor(line.second);
    gap(running, near);
    // On to the far side of the opening: its width along the wall.
    ppVector3 across(line.third.x, 0.0f, 0.0f);
    RotatePoint3(across, 0.0f, -angle, 0.0f);
    running = near + across;
  }
  if (!openings.empty()) gap(OnFloor(running), edge_.end);
  const ppVector3 start = OnFloor(edge_.start);
  list.push_back(DimensionLine(start, Distance3(start, edge_.end), angle, openings.empty() ? 2 : 3));
  ForEachChildElement(*this, [&](zelvproElement* child) { child->CollectDimensionLines(list); });
}
