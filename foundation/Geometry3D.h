// The plan's 3D geometry: tolerant comparisons, angle differences, and the floor-plane (x/z) tests
// and turns used by rooms, elements and canvases. Lengths are millimetres (float), angles radians.
// A 3D point list is a handle of ppVector3 values back to back, 12 bytes each, owned by the caller.
#pragma once

#include <cstdint>

#include "foundation/Vcon_HandleManager.h"
#include "foundation/ppVector3.h"

// 16 floats, row-major, used with row vectors: the translation sits in elements 12 to 14.
using FloatMatrix = float[16];

// 0 when b lies strictly within 0.5 of a; otherwise -1 when a < b, else 1.
int32_t CompareWithinHalf(float a, float b);
// a - b brought into [-pi, pi], or into [0, 2pi) with `positive`.
float AngleDifference(float a, float b, bool positive);
// Floating-point remainder of a / b, with the sign of a.
float FloatMod(float a, float b);

// Which side of the line a-b the point c lies on in the floor plane: 1, -1, or 0 when the cross
// product is within 1 of zero (it is truncated to a whole number first).
int32_t OrientationXZ(const ppVector3& a, const ppVector3& b, const ppVector3& c);

float Length3(float x, float y, float z);
float Distance3(const ppVector3& a, const ppVector3& b);

// In place about the origin: first about x, then about z, then about y; a zero angle skips its step.
void RotatePoint3(ppVector3& p, float ax, float ay, float az);
// The turn by `angle` about `axis` for row vectors; it turns points the opposite way from
// ppMatrix4::RotateAxis. The axis is scaled by its largest component, so coordinate axes stay exact;
// the zero axis gives the identity.
void AxisAngleMatrix(float angle, const ppVector3& axis, FloatMatrix& out);
// p = (p, 1) x m, without division by w.
void TransformByFloatMatrix(ppVector3& p, const FloatMatrix& m);
// p turned by AxisAngleMatrix; nothing for a zero angle or a zero axis.
void RotateAboutAxis(ppVector3& p, float angle, const ppVector3& axis);
// In place about the origin: in the x/y plane (+x toward +y), in the floor plane (+x toward -z).
void RotateXYOrigin(ppVector3& p, float angle);
void RotateXZOrigin(ppVector3& p, float angle);
// RotateXZOrigin about `centre` instead of the origin.
void RotateXZAbout(ppVector3& p, float angle, const ppVector3& centre);
// Turns about y the ppVector3 stored right after the first 32-bit word of `record`.
void RotateAboutY(void* record, float angle);

// Intersection of the lines a1-a2 and b1-b2 in the floor plane. Lines within 0.0001 of parallel set
// `parallel` and answer false with `out` untouched. Otherwise `out` is the crossing (y = 0), set even
// when the range test of `mode` then fails: 0 none; 1 both line parameters in [-0.0001, 1.0001];
// 2 a only; 3 b only; 4 both in [0.0001, 0.9999]; 5 a only; 6 b only; 7 both in [0, 1]; other
// modes none.
bool IntersectXZ(ppVector3& out, const ppVector3& a1, const ppVector3& a2, const ppVector3& b1,
                 const ppVector3& b2, bool& parallel, int32_t mode);
bool IntersectLinesXZ(ppVector3& out, const ppVector3& a1, const ppVector3& a2, const ppVector3& b1,
                      const ppVector3& b2, bool& parallel);
bool IntersectSegmentsXZ(ppVector3& out, const ppVector3& a1, const ppVector3& a2, const ppVector3& b1,
                         const ppVector3& b2, bool& parallel);
bool IntersectSegmentsXZExact(ppVector3& out, const ppVector3& a1, const ppVector3& a2, const ppVector3& b1,
                              const ppVector3& b2);

// In place.
void DivideVec3(ppVector3& v, float s);
void ScaleVec3(ppVector3& v, float s);
void AddVec3(ppVector3& v, const ppVector3& w);
void OffsetVec3(ppVector3& v, float dx, float dy, float dz);

// Reverses the order of the points of a 3D point list in place.
void ReversePointList3(Handle list);

// out = (c - b) x (a - b), divided by its length with `normalize`.
void TriangleNormal(ppVector3& out, const ppVector3& a, const ppVector3& b, const ppVector3& c,
                    bool normalize);
