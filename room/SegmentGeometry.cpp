#include "room/SegmentGeometry.h"

#include <cmath>

#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"

namespace roomgeo {

namespace {

constexpr float kQuarterTurn = 1.5707963267948966f;

float Dot(const ppVector3& a, const ppVector3& b) { return a.x * b.x + a.z * b.z; }

// The unit normal of the direction (dx, dz) in the floor plane: a quarter turn to the left of it.
ppVector3 NormalOf(const ppVector3& unit) { return ppVector3(-unit.z, 0.0f, unit.x); }

}  // namespace

float DirectionXZ(const ppVector3& a, const ppVector3& b) { return AngleBetweenXZ(a, b); }

float TurnFrom(const ppVector3& j, const ppVector3& p, float reference) {
  float r = DirectionXZ(j, p);
  while (r < 0.0f) r += kFullTurn;
  return r - reference;
}

ppVector3 DefaultArcPoint(const ppVector3& start, const ppVector3& end) {
  ppVector3 v = (end - start) / 40.0f;
  RotatePoint3(v, 0.0f, kQuarterTurn, 0.0f);
  return (start + end) / 2.0f + v;
}

ppVector3 CarryAlongWall(const WallMove& m, const ppVector3& child, float childAngle) {
  const ppVector3 prevChord = m.prevEnd - m.prevStart, chord = m.end - m.start;
  const float prevLength = Length3(prevChord.x, 0.0f, prevChord.z);
  const float length = Length3(chord.x, 0.0f, chord.z);
  if (length <= 0.0f) return m.start;
  const float ratio = prevLength > 0.0f ? length / prevLength : 1.0f;
  const ppVector3 unit = chord / length;
  // Along the old wall from the end that stays, and across it (positive to the left).
  const ppVector3 prevUnit = prevLength > 0.0f ? prevChord / prevLength : unit;
  const ppVector3 from = m.startMoved ? m.prevEnd : m.prevStart;
  const float along = Dot(child - from, prevUnit) * ratio;
  const float across = Dot(child - m.prevStart, NormalOf(prevUnit));
  const ppVector3 onLine = m.startMoved ? m.end + unit * along : m.start + unit * along;
  float side = across > 0.0f ? 1.0f : -1.0f;
  if (std::fabs(across) < 0.5f) {
    // On the centre line: the side the child faces.
    ppVector3 facing(1.0f, 0.0f, 0.0f);
    RotatePoint3(facing, 0.0f, childAngle + kQuarterTurn, 0.0f);
    side = Dot(facing, NormalOf(unit)) >= 0.0f ? 1.0f : -1.0f;
  }
  return onLine + NormalOf(unit) * (side * m.thickness / 2.0f);
}

}  // namespace roomgeo
