// The 3D shape kernel against the plain loops its rules are written as, in the same run.
//
// Recording: a sphere mesh of 10,000 quads (40,000 vertices) recorded into ppShape3D, against a plain
// recorder that grows the shape sphere by scanning every earlier point for every new one. Both must
// give bit-identical shape spheres, boxes and primitive spheres. Prints the median times of
// alternating rounds and their ratio (median of the rounds' ratios), which must stay at or below 0.1.
//
// Collision: 200 units of 2,500 quads each (600 x 720 x 560 mm, faces gridded alike) standing in ten rows,
// side by side; one of them is the moving unit, snapped into its slot between two others. Every other
// placement is the exact snap (free: the touching faces share their corners); the rest are shifted
// along the row by 0.01 to 2 mm (colliding). ppCollisionRenderer::Check runs on each placement with
// the shapes' own test, and with nodes whose collision test is the plain loop over every pair of
// primitives. Both must give the same answers; prints both times per call and their ratio; ours
// must stay at or below 10 ms a call. Exits 1 when answers differ or a reach is missed.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/Reach.h"
#include "foundation/TolerantMath.h"
#include "foundation/ppBounds3.h"
#include "foundation/ppMatrix4.h"
#include "scene3d/context/ppCollisionRenderer.h"
#include "scene3d/context/ppNode.h"
#include "scene3d/context/ppScene.h"
#include "scene3d/context/ppShape3D.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double Seconds(F&& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool SameBits(const ppVector3& a, const ppVector3& b) {
  return SameBits(a.x, b.x) && SameBits(a.y, b.y) && SameBits(a.z, b.z);
}
bool SameBits(const ppSphere& a, const ppSphere& b) {
  return SameBits(a.centre, b.centre) && SameBits(a.radius, b.radius);
}

// ---- Recording.

struct Quad {
  ppVector3 p[4];
};

std::vector<Quad> SphereMesh() {
  constexpr int kRings = 100, kSegments = 100;
  constexpr double kRadius = 300.0;
  auto point = [&](int ring, int segment) {
    const double theta = M_PI * ring / kRings, phi = 2 * M_PI * segment / kSegments;
    return ppVector3(float(kRadius * std::sin(theta) * std::cos(phi)), float(kRadius * std::cos(theta)),
                     float(kRadius * std::sin(theta) * std::sin(phi)));
  };
  std::vector<Quad> quads;
  for (int r = 0; r < kRings; ++r)
    for (int s = 0; s < kSegments; ++s)
      quads.push_back(Quad{{point(r, s), point(r + 1, s), point(r + 1, s + 1), point(r, s + 1)}});
  return quads;
}

// The recorder as its rules are written: every new vertex is measured against every earlier one.
class PlainRecorder {
 public:
  struct Primitive {
    std::vector<ppShapeVertex> vertices;
    ppSphere sphere;
  };
  std::vector<Primitive> primitives;
  ppSphere sphere;
  ppBounds3 bounds;

  void Begin() { primitives.emplace_back(); }
  void Vertex(float x, float y, float z) {
    auto snap = [](float v) { return NearlyEqual(v, 0.0) ? 0.0f : v; };
    ppShapeVertex vertex;
    vertex.position = ppVector3(snap(x), snap(y), snap(z));
    const ppVector3& v = vertex.position;
    primitives.back().vertices.push_back(vertex);
    bounds.AddPoint(v);
    for (const Primitive& primitive : primitives)
      for (const ppShapeVertex& other : primitive.vertices) Grow(sphere, v, other.position);
    for (const ppShapeVertex& other : primitives.back().vertices)
      Grow(primitives.back().sphere, v, other.position);
  }

 private:
  static void Grow(ppSphere& s, const ppVector3& v, const ppVector3& p) {
    const float d = v.Distance(p);
    if (2.0f * s.radius < d) {
      s.radius = d / 2.0f;
      s.centre = (v + p) / 2.0f;
    }
  }
};

template <typename Recorder>
void Record(Recorder& recorder, const std::vector<Quad>& quads) {
  for (const Quad& q : quads) {
    recorder.Begin(9);
    for (const ppVector3& p : q.p) recorder.Vertex(p.x, p.y, p.z);
    recorder.End();
  }
}

struct PlainAdapter {
  PlainRecorder recorder;
  void Begin(uint32_t) { recorder.Begin(); }
  void Vertex(float x, float y, float z) { recorder.Vertex(x, y, z); }
  void End() {}
};

// False when the shapes differ from the plain recorder's.
bool BenchRecording() {
  const std::vector<Quad> quads = SphereMesh();
  std::vector<double> ours, plain, ratios;
  bool identical = true;
  for (int round = 0; round < 3; ++round) {
    ppShape3D shape;
    PlainAdapter reference;
    const double t1 = Seconds([&] { Record(shape, quads); });
    const double t2 = Seconds([&] { Record(reference, quads); });
    ours.push_back(t1);
    plain.push_back(t2);
    ratios.push_back(t1 / t2);
    const PlainRecorder& r = reference.recorder;
    identical = identical && SameBits(shape.GetSphere(), r.sphere) &&
                SameBits(shape.GetBounds().centre, r.bounds.centre) &&
                SameBits(shape.GetBounds().half, r.bounds.half) && shape.GetCount() == r.primitives.size();
    for (size_t i = 0; identical && i < r.primitives.size(); ++i)
      identical = SameBits(shape.Primitives()[i].sphere, r.primitives[i].sphere);
  }
  std::printf("recording %zu vertices: ours %8.4f s   plain scan %8.4f s   ratio %6.4f   %s\n",
              quads.size() * 4, Median(ours), Median(plain), Median(ratios),
              identical ? "spheres and boxes bit-identical" : "SPHERES OR BOXES DIFFER");
  bench::ReachAtMost("shapes recording ours / plain scan", Median(ratios), 0.1);
  return identical;
}

// ---- Collision.

constexpr float kWidth = 600, kHeight = 720, kDepth = 560;

// One face gridded into nu x nv quads: origin o, edges u and v.
void Face(ppShape3D& shape, ppVector3 o, ppVector3 u, ppVector3 v, int nu, int nv) {
  for (int i = 0; i < nu; ++i)
    for (int j = 0; j < nv; ++j) {
      auto at = [&](int a, int b) { return o + u * (float(a) / nu) + v * (float(b) / nv); };
      shape.Begin(9);
      for (const ppVector3& p : {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)})
        shape.Vertex(p.x, p.y, p.z);
      shape.End();
    }
}

// 30 x 20 x 13 cells, the same along an axis on every face, so that faces of units standing side by
// side meet corner to corner: 2 x 600 + 2 x 260 + 2 x 390 = 2,500 quads.
ppShape3D Unit() {
  constexpr int kX = 30, kY = 20, kZ = 13;
  ppShape3D shape;
  const ppVector3 x(kWidth, 0, 0), y(0, kHeight, 0), z(0, 0, kDepth), o;
  Face(shape, o, x, y, kX, kY);
  Face(shape, z, x, y, kX, kY);
  Face(shape, o, z, y, kZ, kY);
  Face(shape, x, z, y, kZ, kY);
  Face(shape, o, x, z, kX, kZ);
  Face(shape, y, x, z, kX, kZ);
  return shape;
}

// The shape test as the plain loops: the shape spheres and boxes, then every primitive pair.
bool PlainIntersects(const ppShape3D& s, const ppShape3D& o, const ppMatrix4& a, const ppMatrix4& b) {
  if (!TransformSphere(a, s.GetBoundingSphere()).Overlaps(TransformSphere(b, o.GetBoundingSphere())))
    return false;
  if (!ppBounds3::Transformed(a, s.GetBounds()).Intersects(ppBounds3::Transformed(b, o.GetBounds())))
    return false;
  for (const ppShapePrimitive& p : s.Primitives())
    if (o.IntersectsPrimitive(p, b, a)) return true;
  return false;
}

class PlainNode : public ppNode {
 public:
  bool Collides(const iNode& other, const ppMatrix4& own, const ppMatrix4& otherTransform) const override {
    if (GetFaces() == nullptr || other.GetFaces() == nullptr) return false;
    return PlainIntersects(*GetFaces(), *other.GetFaces(), own, otherTransform);
  }
};

template <typename Node>
struct Kitchen {
  std::vector<std::unique_ptr<Node>> nodes;
  ppScene scene;
  Node* mover = nullptr;

  explicit Kitchen(ppShape3D& unit) {
    constexpr int kRows = 10, kSlots = 20, kMoverSlot = 10;
    for (int row = 0; row < kRows; ++row)
      for (int slot = 0; slot < kSlots; ++slot) {
        nodes.push_back(std::make_unique<Node>());
        Node& node = *nodes.back();
        node.faces = &unit;
        node.owner = uint32_t(row * kSlots + slot + 1);
        node.transform.Translate(ppVector3(slot * kWidth, 0, row * 1500.0f));
        if (row == 0 && slot == kMoverSlot) {
          node.renderFlags = iNode::kMovingFlag;
          mover = &node;
        }
        scene.Add(&node);
      }
  }

  void Place(float dx) {
    mover->transform = ppMatrix4();
    mover->transform.Translate(ppVector3(10 * kWidth + dx, 0, 0));
  }
};

float Shift(int i) {
  if (i % 2 == 0) return 0;
  const int k = (i / 2) % 200;  // 0 .. 199
  return (k < 100 ? -1.0f : 1.0f) * 0.01f * float(k % 100 + 1) * 2.0f;
}

// False when the answers differ from the plain loops'.
bool BenchCollision() {
  constexpr int kPlacements = 1000;
  ppShape3D unit = Unit();
  Kitchen<ppNode> ours(unit);
  Kitchen<PlainNode> plain(unit);
  ppCollisionRenderer renderer;
  std::vector<bool> oursAnswers(kPlacements), plainAnswers(kPlacements);
  std::vector<double> oursTimes, plainTimes;
  // Alternating blocks of placements, so that both sides meet the same machine load.
  constexpr int kBlock = 50;
  for (int start = 0; start < kPlacements; start += kBlock) {
    oursTimes.push_back(Seconds([&] {
      for (int i = start; i < start + kBlock; ++i) {
        ours.Place(Shift(i));
        oursAnswers[i] = renderer.Check(ours.scene);
      }
    }));
    plainTimes.push_back(Seconds([&] {
      for (int i = start; i < start + kBlock; ++i) {
        plain.Place(Shift(i));
        plainAnswers[i] = renderer.Check(plain.scene);
      }
    }));
  }
  double oursTotal = 0, plainTotal = 0;
  for (double t : oursTimes) oursTotal += t;
  for (double t : plainTimes) plainTotal += t;
  const int collisions = int(std::count(oursAnswers.begin(), oursAnswers.end(), true));
  std::printf("Check, %d placements among %zu units of %u primitives (%d collide): %s\n", kPlacements,
              ours.nodes.size(), unit.GetCount(), collisions,
              oursAnswers == plainAnswers ? "same answers" : "ANSWERS DIFFER");
  std::printf("  ours %8.3f ms per call   plain loops %9.3f ms per call   ratio %7.4f\n",
              1000 * oursTotal / kPlacements, 1000 * plainTotal / kPlacements, oursTotal / plainTotal);
  // A 3D drag checks on every mouse move.
  bench::ReachAtMost("shapes Check ours, ms per call", 1000 * oursTotal / kPlacements, 10.0);
  return oursAnswers == plainAnswers;
}

}  // namespace

int main() {
  const bool same = BenchRecording();
  const bool agree = BenchCollision();
  return same && agree ? bench::ReachStatus() : 1;
}
