#include "room/qxJunction.h"

#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "foundation/Geometry3D.h"
#include "room/SegmentGeometry.h"
#include "room/qxRoomSegment.h"

qxJunction::qxJunction(qxJunction* next) : next_(next) {
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  id_ = palette != nullptr ? uint32_t(palette->NextId()) : 0u;
  (void)spare_;
}

qxJunction::~qxJunction() {
  for (qxJunctionLink* link = links_; link != nullptr; link = link->GetNext())
    link->GetSegment()->RemoveJunction(this);
  delete links_;
  // The rest of the chain, iteratively.
  qxJunction* rest = next_;
  while (rest != nullptr) {
    qxJunction* after = rest->next_;
    rest->next_ = nullptr;
    delete rest;
    rest = after;
  }
}

void qxJunction::AddSegment(qxRoomSegment* segment, bool notify) {
  for (qxJunctionLink* link = links_; link != nullptr; link = link->GetNext())
    if (link->GetSegment() == segment) return;
  links_ = new qxJunctionLink(segment, links_);
  if (notify) segment->AddJunction(this);
  ++linkCount_;
}

void qxJunction::RemoveSegment(qxRoomSegment* segment) {
  qxJunctionLink* before = nullptr;
  qxJunctionLink* link = links_;
  while (link != nullptr && link->GetSegment() != segment) before = link, link = link->GetNext();
  if (link == nullptr) return;
  (before != nullptr ? before->SetNext(link->GetNext()) : void(links_ = link->GetNext()));
  link->SetNext(nullptr);
  --linkCount_;
  delete link;
  segment->RemoveJunction(this);
}

qxJunctionLink* qxJunction::FindCrossing(qxRoomSegment* segment, ppVector3& point, qxJunctionLink* after) {
  const ppVector3 b1 = segment->Start(), b2 = segment->End();
  for (qxJunctionLink* link = after != nullptr ? after->GetNext() : links_; link != nullptr;
       link = link->GetNext()) {
    const qxRoomSegment* other = link->GetSegment();
    const ppVector3 a1 = other->Start(), a2 = other->End();
    bool parallel = false;
    ppVector3 hit;
    if (IntersectSegmentsXZ(hit, a1, a2, b1, b2, parallel)) {
      point = hit;
      return link;
    }
    if (!parallel || other == segment) continue;
    // Parallel lines meet only where they share an end.
    if (a1 == b1 || a1 == b2) {
      point = a1;
      return link;
    }
    if (a2 == b1 || a2 == b2) {
      point = a2;
      return link;
    }
  }
  return nullptr;
}

qxRoomSegment* qxJunction::NeighbourWithLargestAngle(qxRoomSegment* exclude, const ppVector3& farPoint) {
  return Neighbour(exclude, farPoint, true);
}

qxRoomSegment* qxJunction::NeighbourWithSmallestAngle(qxRoomSegment* exclude, const ppVector3& farPoint) {
  return Neighbour(exclude, farPoint, false);
}

qxRoomSegment* qxJunction::Neighbour(qxRoomSegment* exclude, const ppVector3& farPoint, bool largest) {
  const float reference = roomgeo::TurnFrom(position_, farPoint, 0.0f);
  float best = largest ? -8999999488.0f : 8999999488.0f;
  qxRoomSegment* found = nullptr;
  auto better = [&](float r) { return largest ? r > best : r < best; };
  for (qxJunctionLink* link = links_; link != nullptr; link = link->GetNext()) {
    qxRoomSegment* segment = link->GetSegment();
    if (segment == exclude) continue;
    ppVector3 s = segment->Start();
    const ppVector3 e = segment->End();
    bool through = true;
    if (s == position_) {
      through = false;
      s = e;
    } else if (e == position_) {
      through = false;
    }
    const float r = roomgeo::TurnFrom(position_, s, reference);
    if (better(r)) best = r, found = segment;
    if (!through) continue;
    // A segment passing through the corner offers its other direction too, on its own side.
    const float r2 = roomgeo::TurnFrom(position_, e, reference);
    if ((largest ? r2 > 0.0f : r2 <= 0.0f) && better(r2)) best = r2, found = segment;
  }
  return found;
}
