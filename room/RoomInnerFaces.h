// The inner wall faces of a room as a ray from the 3D view meets them: which face a ray leaving the
// room passes through first (below that wall's top), which face a ray from an eye outside the room
// comes in through first, whether a floor point lies inside the room, and
// the shift that brings a plan footprint back inside the faces. An arched face counts as its chord.
//
// Plan millimetres (x right, y up, z towards the viewer). The faces are read from the room canvas's
// closed inner cycles when the object is made; it keeps no pointer to them. User-interface thread only.
#pragma once

#include <cstddef>
#include <vector>

#include "foundation/ppVector3.h"

class qxNewRoomCanvas;

class RoomInnerFaces {
 public:
  // Where a ray leaves the room: the ray's parameter, the point on the face and the face's unit
  // normal pointing out of the room (y 0).
  struct Exit {
    float t = 0.0f;
    ppVector3 point;
    ppVector3 outward;
  };

  // The faces of `room`'s closed inner cycles; none for null.
  explicit RoomInnerFaces(const qxNewRoomCanvas* room);

  // True when the room has no closed inner outline (no room to keep to).
  bool Empty() const { return faces_.empty(); }
  // The first face the ray from `o` along the unit direction `d` crosses from inside the room to
  // outside, at a height from 0 up to its wall's top; false when it crosses none ahead.
  bool FirstExit(const ppVector3& o, const ppVector3& d, Exit& exit) const;
  // The first face the ray crosses from outside the room to inside, below its wall's top (a ray
  // under the floor counts: the face stands over its line); `entry.outward` still points out of the
  // room. False when it crosses none ahead.
  bool FirstEntry(const ppVector3& o, const ppVector3& d, Exit& entry) const;
  // True when the floor-plane point (x, z) lies inside one of the room's inner outlines.
  bool Contains(const ppVector3& p) const;

 private:
  struct Face {
    ppVector3 a, b;
    float height = 0.0f;
    size_t outline = 0;
  };
  // The first crossing ahead whose direction along the outward normal has the sign of `outwards`.
  bool FirstCrossing(const ppVector3& o, const ppVector3& d, bool outwards, Exit& crossing) const;

  std::vector<Face> faces_;
};
