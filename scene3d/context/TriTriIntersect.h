// The exact triangle-against-triangle test of the collision check: the interval-overlap method with
// its coplanar fallback, in single precision (products and sums are formed in double and stored back
// to float). A vertex whose raw, unnormalised plane value lies within 0.01 of zero counts as lying in
// the other triangle's plane. Points are three floats; touching counts as intersecting.
#pragma once

#include "foundation/ppVector3.h"

// 1 when the triangles (v0, v1, v2) and (u0, u1, u2) intersect, else 0.
int TriTriIntersect(const ppVector3& v0, const ppVector3& v1, const ppVector3& v2, const ppVector3& u0,
                    const ppVector3& u1, const ppVector3& u2);
// The test for two triangles in one plane of normal n: any pair of edges crossing, or either
// triangle holding the other's first corner, projected on the two axes where n is smallest.
int CoplanarTriTri(const ppVector3& n, const ppVector3& v0, const ppVector3& v1, const ppVector3& v2,
                   const ppVector3& u0, const ppVector3& u1, const ppVector3& u2);
// Each coordinate to the nearest hundredth of a millimetre, halves away from zero.
void RoundToHundredths(ppVector3& point);
