#include "room/WallSideEdges.h"

#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "foundation/TolerantMath.h"

namespace {

// A corner lies at an end of a wall when every coordinate is this close (millimetres).
constexpr double kEndTolerance = 0.5;

bool LiesAt(const ppVector3& corner, const ppVector3& point) {
  return NearlyEqualVec3(corner, point, kEndTolerance);
}

float ArcSense(const SideEdgeWall& w) { return w.clockwise ? 1.0f : -1.0f; }

// Points one radius out along the tangents of a round wall: the tangent at the start runs
// start -> StartTangentPoint and the one at the end EndTangentPoint -> end, both in the wall's sense.
ppVector3 StartTangentPoint(const SideEdgeWall& w) {
  return w.start - ppVector3(w.centre.z - w.start.z, 0, w.start.x - w.centre.x) * ArcSense(w);
}

ppVector3 EndTangentPoint(const SideEdgeWall& w) {
  return w.end + ppVector3(w.centre.z - w.end.z, 0, w.end.x - w.centre.x) * ArcSense(w);
}

// The point from which `own` arrives at corner j: its other end, or for a round wall the tangent
// point at the end lying at j. A corner inside the wall's length gives the start.
ppVector3 OwnFarPoint(const SideEdgeWall& own, const ppVector3& j) {
  if (own.arched) {
    if (LiesAt(j, own.start)) return StartTangentPoint(own);
    if (LiesAt(j, own.end)) return EndTangentPoint(own);
    return own.start;
  }
  return LiesAt(j, own.start) ? own.end : own.start;
}

// Where a neighbour leaves corner j: towards its far end (a round wall along its tangent). A wall
// with neither end at j passes through and leaves both ways.
struct NeighbourFar {
  ppVector3 far;
  ppVector3 farBack;
  bool through = false;
};

NeighbourFar NeighbourFarPoints(const SideEdgeWall& n, const ppVector3& j) {
  if (LiesAt(j, n.start)) return {n.arched ? StartTangentPoint(n) : n.end, {}, false};
  if (LiesAt(j, n.end)) return {n.arched ? EndTangentPoint(n) : n.start, {}, false};
  return {n.end, n.start, true};
}

struct CornerChoice {
  const SideEdgeWall* winner = nullptr;
  bool through = false;
  ppVector3 far;
  float best = 0.0f;
};

// A neighbour that goes straight on from `own` (turn 0) takes the best angle without becoming the
// winner, so a wall continued in line keeps its face uncut unless a later neighbour beats it.
void TryCandidate(CornerChoice& choice, const SideEdgeWall& n, bool through, const ppVector3& j,
                  const ppVector3& ownFar, const ppVector3& far, int32_t turn, bool side) {
  ppVector3 kept;
  if (PickCornerNeighbour(&n, choice.best, kept, j, ownFar, far, side) == nullptr) return;
  choice.winner = turn == 0 ? nullptr : &n;
  choice.through = through;
  choice.far = kept;
}

// Inside a wall's length only the neighbours on the face's own side count.
bool OnFaceSide(int32_t turn, bool ahead, bool side) { return turn == 1 ? ahead != side : ahead == side; }

bool CutAtWinner(ppVector3& p, const ppVector3& q, const ppVector3& j, const CornerChoice& choice,
                 bool side) {
  const float half = choice.winner->thickness / 2;
  ppVector3 a, b, cross;
  bool parallel = false;
  OffsetSegmentXZ(j, choice.far, a, b, half, !side);
  const bool met = IntersectLinesXZ(cross, p, q, a, b, parallel);
  if (!choice.through) {
    if (met) p = cross;
    return met;
  }
  // A wall passing through has a face on each side of the corner: take the one nearer to q.
  if (met && Distance3(cross, q) < Distance3(p, q)) p = cross;
  OffsetSegmentXZ(j, choice.far, a, b, half, side);
  ppVector3 other;
  const bool metOther = IntersectLinesXZ(other, p, q, a, b, parallel);
  if (metOther && Distance3(other, q) < Distance3(p, q)) p = other;
  return met || metOther;
}

// A free end: the face reaches half the thickness beyond the corner, squared off by the end face.
void ExtendFreeEnd(ppVector3& p, const ppVector3& q, float by) {
  const float dx = p.x - q.x;
  const float dz = p.z - q.z;
  const float length = Hypot2(dx, dz);
  if (length == 0.0f) return;  // no direction to extend in
  p.x += dx / length * by;
  p.z += dz / length * by;
}

double DotXZ(const ppVector3& a, const ppVector3& b) {
  return static_cast<double>(a.x) * b.x + static_cast<double>(a.z) * b.z;
}

int32_t NextEdgeId() {
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  return palette != nullptr ? palette->NextId() : 0;
}

// One side of the wall while its corners are walked: the current piece runs start -> end and begins
// at corner `from`; startToward and endToward are second points on the face line at each end (for a
// round wall on the tangent there).
struct SideLine {
  ppVector3 start;
  ppVector3 end;
  ppVector3 startToward;
  ppVector3 endToward;
  qxJunction* from = nullptr;
  qxJunction* to = nullptr;
};

SideLine MakeSide(const SideEdgeWall& w, bool left) {
  SideLine s;
  const float half = w.thickness / 2;
  if (w.arched) {
    OffsetSegmentXZ(w.start, StartTangentPoint(w), s.start, s.startToward, half, left);
    OffsetSegmentXZ(EndTangentPoint(w), w.end, s.endToward, s.end, half, left);
  } else {
    OffsetSegmentXZ(w.start, w.end, s.start, s.end, half, left);
    s.startToward = s.end;
    s.endToward = s.start;
  }
  return s;
}

WallEdge MakeEdge(const ppVector3& start, const ppVector3& end, qxJunction* from, qxJunction* to,
                  qxRoomSegment* segment) {
  WallEdge e;
  e.start = start;
  e.end = end;
  e.startJunction = from;
  e.endJunction = to;
  e.segment = segment;
  e.id = NextEdgeId();
  return e;
}

void Append(Handle out, const WallEdge& e) { MemInsertBytes(&e, sizeof(WallEdge), out, kMemAppend); }

// A wall meeting this one inside its length: the piece of the side up to the near face of that wall
// is emitted and the side goes on from its far face. `side` is the flag for the near cut.
void CutThrough(const SideEdgeSegment& in, const SideEdgeCorner& c, SideLine& s, bool side, Handle out) {
  ppVector3 cut = s.end;
  if (!TrimAtJunction(c, cut, s.start, side, true, in.wall)) return;
  Append(out, MakeEdge(s.start, cut, s.from, c.junction, in.segment));
  s.start = cut;
  TrimAtJunction(c, s.start, s.end, !side, true, in.wall);
  s.from = c.junction;
}

void CloseStart(const SideEdgeSegment& in, const SideEdgeCorner& c, SideLine& a, SideLine& b, Handle out) {
  TrimAtJunction(c, a.start, a.startToward, true, false, in.wall);
  TrimAtJunction(c, b.start, b.startToward, false, false, in.wall);
  a.from = b.from = c.junction;
  if (c.others.empty()) Append(out, MakeEdge(a.start, b.start, c.junction, c.junction, in.segment));
}

void CloseEnd(const SideEdgeSegment& in, const SideEdgeCorner& c, SideLine& a, SideLine& b, Handle out) {
  TrimAtJunction(c, a.end, a.endToward, false, false, in.wall);
  TrimAtJunction(c, b.end, b.endToward, true, false, in.wall);
  a.to = b.to = c.junction;
  if (c.others.empty()) Append(out, MakeEdge(a.end, b.end, c.junction, c.junction, in.segment));
}

// Side A lies on the outer side of a clockwise arc (sense +1), so its radius grows by half the
// thickness; side B's shrinks.
void AppendSide(const SideEdgeSegment& in, const SideLine& s, float sense, Handle out) {
  WallEdge e = MakeEdge(s.start, s.end, s.from, s.to, in.segment);
  if (in.wall.arched) {
    e.arched = true;
    e.radius = in.wall.radius + sense * ArcSense(in.wall) * in.wall.thickness / 2;
    e.centre = in.wall.centre;
    e.clockwise = in.wall.clockwise;
  }
  Append(out, e);
}

}  // namespace

Handle BuildSideEdges(const SideEdgeSegment& input) {
  Handle out = nullptr;
  Vcon_HandleManager::MemNew(&out, 0);
  SideLine a = MakeSide(input.wall, true);
  SideLine b = MakeSide(input.wall, false);
  for (const SideEdgeCorner& c : input.corners) {
    if (LiesAt(c.position, input.wall.start)) {
      CloseStart(input, c, a, b, out);
    } else if (LiesAt(c.position, input.wall.end)) {
      CloseEnd(input, c, a, b, out);
    } else if (!c.others.empty()) {  // a corner inside the length with no other wall cuts nothing
      CutThrough(input, c, a, false, out);
      CutThrough(input, c, b, true, out);
    }
  }
  AppendSide(input, a, 1.0f, out);
  AppendSide(input, b, -1.0f, out);
  return out;
}

bool TrimAtJunction(const SideEdgeCorner& corner, ppVector3& p, const ppVector3& q, bool side, bool through,
                    const SideEdgeWall& own) {
  if (corner.others.empty()) {
    ExtendFreeEnd(p, q, own.thickness / 2);
    return true;
  }
  const ppVector3& j = corner.position;
  const ppVector3 ownFar = OwnFarPoint(own, j);
  // Whether the face runs from p towards q in the direction in which the wall arrives at the corner.
  const bool ahead = DotXZ(q - p, j - ownFar) > 0;
  CornerChoice choice;
  choice.best = side ? -geom::kPiF : geom::kPiF;
  for (const SideEdgeWall& n : corner.others) {
    const NeighbourFar nf = NeighbourFarPoints(n, j);
    const int32_t turn = OrientationXZ(ownFar, j, nf.far);
    if (through && !nf.through && !OnFaceSide(turn, ahead, side)) continue;
    // A face running on in the wall's own direction is cut as if the wall arrived from its end.
    const ppVector3 from = through && ahead ? own.end : ownFar;
    TryCandidate(choice, n, nf.through, j, from, nf.far, turn, side);
    if (nf.through)
      TryCandidate(choice, n, true, j, from, nf.farBack, OrientationXZ(ownFar, j, nf.farBack), side);
  }
  if (choice.winner == nullptr) return false;
  return CutAtWinner(p, q, j, choice, side);
}

const SideEdgeWall* PickCornerNeighbour(const SideEdgeWall* neighbour, float& bestAngle, ppVector3& far,
                                        const ppVector3& junction, const ppVector3& ownFar,
                                        const ppVector3& neighbourFar, bool side) {
  const float arriving = AngleOf(junction.x - ownFar.x, junction.z - ownFar.z);
  const float leaving = AngleOf(neighbourFar.x - junction.x, neighbourFar.z - junction.z);
  const float turn = AngleDifference(arriving, leaving, false);
  const bool wins = side ? turn > bestAngle : turn < bestAngle;
  if (!wins) return nullptr;
  bestAngle = turn;
  far = neighbourFar;
  return neighbour;
}
