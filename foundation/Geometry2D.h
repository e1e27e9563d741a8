// The plan's 2D geometry: angles and distances of points, moves of single points and of point lists
// held in handles, and the parallel offset of outlines. Lengths are millimetres (float), angles radians.
// A point list is a handle of ppVector2 values back to back (8 bytes each); its count is the handle
// size divided by 8. The functions here never keep a list: the caller owns it.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/Vcon_HandleManager.h"
#include "foundation/ppVector2.h"
#include "foundation/ppVector3.h"

// Direction of (x, y) in [-pi/2, 3pi/2); the zero vector gives -pi/2.
float AngleOf(float x, float y);
// Direction from a to b.
float AngleBetween(const ppVector2& a, const ppVector2& b);
// Direction from a to b in the floor plane: x against z.
float AngleBetweenXZ(const ppVector3& a, const ppVector3& b);

float Hypot2(float x, float y);
float DistanceInt2(int32_t ax, int32_t ay, int32_t bx, int32_t by);
float Distance2(const ppVector2& a, const ppVector2& b);

// In place: a turn about the origin (positive turns +x toward +y), a move, and divisions.
void Rotate2(ppVector2& p, float angle);
void Offset2(ppVector2& p, float dx, float dy);
void Divide2(ppVector2& p, float s);
void DivideXY2(ppVector2& p, float sx, float sy);

// A copy of a point list's points; empty for a null or empty handle.
std::vector<ppVector2> PointListToVector(Handle list);

// The single-point operations above applied to every point of a list.
void PointListDivide(Handle list, float s);
void PointListDivideXY(Handle list, float sx, float sy);
void PointListRotate(Handle list, float angle);
void PointListOffset(Handle list, float dx, float dy);

// outA and outB are a and b moved in the floor plane perpendicular to a-b by `distance`: to the side
// a quarter turn beyond the segment's direction when `left`, a quarter turn short of it otherwise.
void OffsetSegmentXZ(const ppVector3& a, const ppVector3& b, ppVector3& outA, ppVector3& outB, float distance,
                     bool left);

// Foot of the perpendicular from b onto the ray from a through c, in the floor plane (y = 0).
// False, and `out` untouched, when the foot lies behind a. The caller's points are not changed.
bool FootOnRayXZ(const ppVector3& a, const ppVector3& b, const ppVector3& c, ppVector3& out);

// Moves every corner of a closed outline so that each edge moves sideways by `distance`, to the side
// Rotate2 reaches by a quarter turn from the edge's direction. Edge directions are all taken from the
// outline before any corner moves. Repeated points share their neighbours' corner; an outline with
// fewer than two distinct points is left as it is.
void OffsetPolygon(Handle list, float distance);
