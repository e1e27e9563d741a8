#include "room/RoomInnerFaces.h"

#include <cmath>

#include "room/qxFloorElement.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxWallElement.h"

namespace {

// A ray this nearly along a face never leaves through it.
constexpr float kGrazing = 1.0e-6f;
// A crossing this far (millimetres) past a face's end still counts: the corners of two faces meet.
constexpr float kEndTolerance = 0.5f;

// The face's normal pointing out of the room: the side where OrientationXZ gives 1.
ppVector3 Outward(const ppVector3& a, const ppVector3& b) {
  const float x = b.z - a.z, z = -(b.x - a.x);
  const float length = std::sqrt(x * x + z * z);
  return length > 0.0f ? ppVector3(x / length, 0.0f, z / length) : ppVector3();
}

}  // namespace

RoomInnerFaces::RoomInnerFaces(const qxNewRoomCanvas* room) {
  if (room == nullptr) return;
  // A face without a wall body of its own is as high as the lowest wall; no walls, no top.
  const float lowest = LowestWallHeight();
  const float fallback = lowest > 0.0f ? lowest : 1.0e30f;
  size_t outline = 0;
  for (const qxLineCycle* cycle = room->Cycles(); cycle != nullptr; cycle = cycle->next) {
    if (!cycle->IsClosed() || !cycle->IsInside()) continue;
    for (int32_t i = 0, n = cycle->EdgeCount(); i < n; ++i) {
      const WallEdge* edge = cycle->EdgeAt(i);
      Face face;
      face.a = edge->start, face.b = edge->end;
      face.a.y = face.b.y = 0.0f;
      face.height =
          edge->wall != nullptr && edge->wall->GetHeight() > 0.0f ? edge->wall->GetHeight() : fallback;
      face.outline = outline;
      faces_.push_back(face);
    }
    ++outline;
  }
}

bool RoomInnerFaces::FirstExit(const ppVector3& o, const ppVector3& d, Exit& exit) const {
  return FirstCrossing(o, d, true, exit);
}

bool RoomInnerFaces::FirstEntry(const ppVector3& o, const ppVector3& d, Exit& entry) const {
  return FirstCrossing(o, d, false, entry);
}

bool RoomInnerFaces::FirstCrossing(const ppVector3& o, const ppVector3& d, bool outwards, Exit& exit) const {
  bool found = false;
  for (const Face& face : faces_) {
    const ppVector3 n = Outward(face.a, face.b);
    const float towards = d.x * n.x + d.z * n.z;
    if (!((outwards ? towards : -towards) > kGrazing)) continue;
    const float t = ((face.a.x - o.x) * n.x + (face.a.z - o.z) * n.z) / towards;
    if (!(t > 0.0f) || (found && t >= exit.t)) continue;
    const ppVector3 p(o.x + d.x * t, o.y + d.y * t, o.z + d.z * t);
    if (p.y > face.height) continue;
    const float ux = face.b.x - face.a.x, uz = face.b.z - face.a.z;
    const float length = std::sqrt(ux * ux + uz * uz);
    if (!(length > 0.0f)) continue;
    const float along = ((p.x - face.a.x) * ux + (p.z - face.a.z) * uz) / length;
    if (along < -kEndTolerance || along > length + kEndTolerance) continue;
    exit.t = t;
    exit.point = p;
    exit.outward = n;
    found = true;
  }
  return found;
}

bool RoomInnerFaces::Contains(const ppVector3& p) const {
  // Even-odd count of the faces a line from the point towards +x crosses, one outline at a time.
  size_t i = 0;
  while (i < faces_.size()) {
    const size_t outline = faces_[i].outline;
    bool inside = false;
    for (; i < faces_.size() && faces_[i].outline == outline; ++i) {
      const ppVector3& a = faces_[i].a;
      const ppVector3& b = faces_[i].b;
      if ((a.z > p.z) == (b.z > p.z)) continue;
      const float x = a.x + (p.z - a.z) * (b.x - a.x) / (b.z - a.z);
      if (x > p.x) inside = !inside;
    }
    if (inside) return true;
  }
  return false;
}
