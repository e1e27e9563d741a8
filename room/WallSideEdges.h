// The side faces of one wall of the room outline, worked out from plain data: the wall's centre line
// and thickness, and the corners on it with the other walls meeting there. Each side face lies half
// the thickness beside the centre line, is mitred against the facing side of the neighbouring wall
// at a corner, is cut where another wall meets it from the side, and a free end gets a square end
// face half the thickness beyond it. Plan coordinates in millimetres (x and z; y is 0), angles in
// radians.
//
// Side A lies to the left of the wall's direction start -> end (a quarter turn beyond it, as
// OffsetSegmentXZ turns), side B to the right; every wall of a room uses the same convention.
#pragma once

#include <vector>

#include "foundation/Vcon_HandleManager.h"
#include "foundation/ppVector3.h"
#include "room/WallEdge.h"

// One wall's centre line as the side faces see it.
struct SideEdgeWall {
  ppVector3 start;
  ppVector3 end;
  float thickness = 0.0f;
  // A round wall: the centre line is the arc about `centre` of `radius`, in the sense `clockwise`.
  bool arched = false;
  float radius = 0.0f;
  ppVector3 centre;
  bool clockwise = false;
};

// One corner on the wall.
struct SideEdgeCorner {
  // Handed through to the faces' junction fields; not owned, may be null.
  qxJunction* junction = nullptr;
  ppVector3 position;
  // The other walls linked at this corner, in the corner's link order, the wall itself left out.
  // Empty at a free end.
  std::vector<SideEdgeWall> others;
};

// The wall whose faces are built, with its corners in ascending distance from its start.
struct SideEdgeSegment {
  SideEdgeWall wall;
  // Handed through to every face; not owned, may be null.
  qxRoomSegment* segment = nullptr;
  std::vector<SideEdgeCorner> corners;
};

// The faces of the wall: per corner on the wall's length the piece of the cut side before it, per
// free end its end face, then side A and side B, in that order. Every entry takes the next number of
// the layer palette's id counter (0 without a palette). A new handle the caller owns.
Handle BuildSideEdges(const SideEdgeSegment& input);

// Moves p, the end at `corner` of the face line p-q of `own`, to where it meets the facing side of
// the neighbouring wall: of the walls leaving the corner, the one that turns most to the left (the
// side OffsetSegmentXZ calls left) from the direction in which `own` arrives for `side` false, most
// to the right for `side` true. At a free end p moves half the thickness further out. `through`
// says that `own` passes through the corner; a neighbour then counts only on the side of the face.
// False, with p unchanged, when no neighbour qualifies (also when `own` continues straight on).
bool TrimAtJunction(const SideEdgeCorner& corner, ppVector3& p, const ppVector3& q, bool side, bool through,
                    const SideEdgeWall& own);

// Compares the turn from the direction ownFar -> junction to junction -> neighbourFar with the best
// turn so far: with `side` false a strictly smaller turn wins, with `side` true a strictly larger
// one, so of equal turns the earlier neighbour stays. A winner updates `bestAngle`, sets `far` to
// neighbourFar and is returned; otherwise null and both are unchanged.
const SideEdgeWall* PickCornerNeighbour(const SideEdgeWall* neighbour, float& bestAngle, ppVector3& far,
                                        const ppVector3& junction, const ppVector3& ownFar,
                                        const ppVector3& neighbourFar, bool side);
