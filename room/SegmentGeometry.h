// Plan geometry of room segments and corners, as plain functions over points: directions of plan
// lines, the default bulge of a round wall, and where a child of a wall lands when the wall's ends
// move. Points are plan millimetres (x and z in the floor plane, y the height), angles radians.
#pragma once

#include "foundation/ppVector3.h"

namespace roomgeo {

// 2 pi as a 32-bit float: angles are brought into [0, 2 pi) by adding it.
inline constexpr float kFullTurn = 6.2831854820251465f;

// The direction from a to b in the floor plane, in [-pi/2, 3pi/2).
float DirectionXZ(const ppVector3& a, const ppVector3& b);
// The direction from j to p, less `reference`, after both were brought to [0, 2 pi).
float TurnFrom(const ppVector3& j, const ppVector3& p, float reference);

// The third point of a new round wall from `start` to `end`: the chord's midpoint moved a fortieth
// of the chord sideways (the chord turned a quarter turn about the vertical axis).
ppVector3 DefaultArcPoint(const ppVector3& start, const ppVector3& end);

// A child of a wall whose ends moved from (prevStart, prevEnd) to (start, end). `startMoved` tells
// which end moved: the child keeps its share of the wall's length from the end that stayed.
struct WallMove {
  ppVector3 prevStart, prevEnd, start, end;
  bool startMoved = false;
  float thickness = 0.0f;
};
// The child's new position: its distance along the old wall, scaled by the change of length (by 1
// when the old wall had no length), laid off along the new wall and put on the face of the side it
// stood on (a child on the centre line takes the side that `childAngle` plus a quarter turn points
// to). A new wall of no length puts the child at its start.
ppVector3 CarryAlongWall(const WallMove& move, const ppVector3& child, float childAngle);

}  // namespace roomgeo
