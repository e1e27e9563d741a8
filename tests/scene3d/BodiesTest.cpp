// The 3D bodies: placement, face replay, extruded outlines, pipes, turned profiles, meshes and
// imported streams, checked on the vertices, normals and texture coordinates they record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "scene3d/context/iShape3D.h"
#include "scene3d/objects/qx3DCircleObject.h"
#include "scene3d/objects/qx3DExtrudedObject.h"
#include "scene3d/objects/qx3DImportedObject.h"
#include "scene3d/objects/qx3DMeshObject.h"
#include "scene3d/objects/qx3DPipeObject.h"

namespace {

constexpr float kTol = 1e-4f;

// Keeps every primitive as its mode and the records of its vertices.
struct Recorder : iShape3D {
  struct Primitive {
    uint32_t mode = 0;
    std::vector<VertexRecord> v;
  };
  std::vector<Primitive> out;
  VertexRecord current;
  void Begin(uint32_t mode) override { out.push_back({mode, {}}); }
  void TexCoord(float s, float t) override { current.s = s, current.t = t; }
  void Normal(float x, float y, float z) override { current.nx = x, current.ny = y, current.nz = z; }
  void Vertex(float x, float y, float z) override {
    current.x = x, current.y = y, current.z = z;
    out.back().v.push_back(current);
  }
};

Recorder Mesh(qx3DObject& body, bool transformed = false) {
  Recorder r;
  body.BuildMesh(r, transformed);
  return r;
}

bool Finite(const Recorder& r) {
  for (const auto& p : r.out)
    for (const VertexRecord& v : p.v)
      for (float f : {v.x, v.y, v.z, v.s, v.t, v.nx, v.ny, v.nz})
        if (!std::isfinite(f)) return false;
  return true;
}

std::vector<ppVector2> Square(bool clockwise) {
  std::vector<ppVector2> p = {{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}};
  if (clockwise) p = {{0, 0}, {0, 1000}, {1000, 1000}, {1000, 0}};
  return p;
}

std::vector<ppVector2> RegularPolygon(int n, float radius) {
  std::vector<ppVector2> p;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * M_PI * i / n;
    p.emplace_back(float(radius * std::cos(a)), float(radius * std::sin(a)));
  }
  return p;
}

// A body whose faces are fixed: a triangle, then a quad.
struct TwoFaces : qx3DObject {
  void Build() override {
    ClearFaces();
    const VertexRecord tri[3] = {
        {1, 2, 3, 0.5f, 0.25f, 0, 0, 1}, {4, 5, 6, 0, 0, 0, 0, 1}, {7, 8, 9, 0, 0, 0, 0, 1}};
    AddFace(3, tri);
    const VertexRecord quad[4] = {};
    AddFace(4, quad);
  }
};

TEST(Bodies, PlacementQuarterTurnsAndFaceOrder) {
  TwoFaces plain;
  const ppMatrix4 identity;
  EXPECT_EQ(std::memcmp(plain.GetTransform().m, identity.m, sizeof identity.m), 0);
  const ppFloat4 color = plain.GetColor();
  for (float c : color.v) EXPECT_EQ(c, 0.0f);

  Recorder r = Mesh(plain);
  ASSERT_EQ(r.out.size(), 2u);
  EXPECT_EQ(r.out[0].v.size(), 4u);  // the face generated last comes first
  ASSERT_EQ(r.out[1].v.size(), 3u);
  EXPECT_EQ(r.out[1].mode, 9u);
  const VertexRecord& v = r.out[1].v[0];
  EXPECT_EQ(std::vector<float>({v.x, v.y, v.z, v.s, v.t}), std::vector<float>({1, 2, 3, 0.5f, 0.25f}));

  const struct {
    uint32_t flags;
    float nx, ny, nz;
  } turns[] = {{1, 0, -1, 0}, {2, -1, 0, 0}, {3, -1, 0, 0}};
  for (const auto& c : turns) {
    TwoFaces body;
    body.flags = c.flags;
    body.position = ppVector3(100, 200, 300);
    const VertexRecord n = Mesh(body, true).out[1].v[0];
    EXPECT_NEAR(n.nx, c.nx, kTol) << c.flags;  // normals are turned, never moved
    EXPECT_NEAR(n.ny, c.ny, kTol) << c.flags;
    EXPECT_NEAR(n.nz, c.nz, kTol) << c.flags;
  }
}

TEST(Bodies, ExtrudedSquareIsReversedCappedAndTexturedAlongItsSides) {
  qx3DExtrudedObject body;
  body.outline = Square(true);
  body.edgeFlags = {1, 0, 0, 0};  // hides the side from (0, 0) to (0, 1000)
  body.depth = 600;
  body.Prepare();
  EXPECT_EQ(body.outline[1].x, 1000.0f);  // now counter-clockwise
  // The hidden side keeps its flag: it now starts at (0, 1000).
  EXPECT_EQ(body.edgeFlags, std::vector<uint32_t>({0, 0, 1, 0}));
  ASSERT_EQ(body.capTriangles.size(), 2u);
  Recorder r = Mesh(body);
  ASSERT_EQ(r.out.size(), 8u);
  // Head first: four sides (last first), two bottom and two top triangles.
  for (int i = 4; i < 8; ++i) {
    ASSERT_EQ(r.out[i].v.size(), 3u);
    for (const VertexRecord& v : r.out[i].v) {
      EXPECT_EQ(v.nz, i < 6 ? -1.0f : 1.0f);
      EXPECT_EQ(v.z, i < 6 ? 0.0f : 600.0f);
    }
  }
  for (int k = 0; k < 3; ++k) {  // the bottom repeats the top's triangles backwards
    EXPECT_EQ(r.out[4].v[k].x, r.out[6].v[2 - k].x);
    EXPECT_EQ(r.out[4].v[k].y, r.out[6].v[2 - k].y);
  }
  const auto& first = r.out[3].v;  // the side from (1000, 0) to (1000, 1000)
  ASSERT_EQ(first.size(), 4u);
  EXPECT_EQ(std::vector<float>({first[0].s, first[1].s, first[2].s, first[3].s}),
            std::vector<float>({0, 0, 2.5f, 2.5f}));
  EXPECT_EQ(std::vector<float>({first[0].t, first[1].t, first[2].t, first[3].t}),
            std::vector<float>({0, 1.5f, 1.5f, 0}));
  for (const VertexRecord& v : first) EXPECT_NEAR(v.nx, 1.0f, kTol);  // flat, facing away

  Recorder lines;
  body.BuildEdges(lines, false);
  EXPECT_EQ(lines.out.size(), 8u);  // 12 less the hidden side's two lines and the verticals at its ends
  for (const auto& line : lines.out) {
    EXPECT_EQ(line.mode, 1u);
    const bool onHiddenSide = line.v[0].x == 0 && line.v[1].x == 0 && line.v[0].y != line.v[1].y;
    const bool verticalAtItsStart = line.v[0].x == 0 && line.v[0].y == 1000 && line.v[1].y == 1000;
    const bool verticalAtItsEnd =
        line.v[0].x == 0 && line.v[0].y == 0 && line.v[1].x == 0 && line.v[1].y == 0;
    EXPECT_FALSE(onHiddenSide || verticalAtItsStart || verticalAtItsEnd);
  }
  qx3DExtrudedObject visible;
  visible.outline = Square(false);
  visible.depth = 600;
  visible.flags = 4;  // grows downward
  visible.Prepare();
  Recorder all;
  visible.BuildEdges(all, false);
  EXPECT_EQ(all.out.size(), 12u);
  for (const auto& p : Mesh(visible).out)
    for (const VertexRecord& v : p.v) EXPECT_TRUE(v.z == 0.0f || v.z == -600.0f);
}

TEST(Bodies, ExtrudedSidesSmoothGentleCornersAndSkipRepeatedPoints) {
  qx3DExtrudedObject round;
  round.outline = RegularPolygon(32, 500);
  round.depth = 100;
  round.Prepare();
  Recorder r = Mesh(round);
  int sides = 0;
  for (const auto& p : r.out) {
    if (p.v.size() != 4) continue;
    ++sides;
    // A smoothed normal at a corner of a regular polygon points away from its centre.
    const VertexRecord& v = p.v[0];
    EXPECT_NEAR(v.nx, v.x / 500, 1e-3);
    EXPECT_NEAR(v.ny, v.y / 500, 1e-3);
  }
  EXPECT_EQ(sides, 32);

  qx3DExtrudedObject repeated;
  repeated.outline = {{0, 0}, {1000, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 0}};
  repeated.depth = 100;
  repeated.Prepare();
  Recorder q = Mesh(repeated);
  EXPECT_TRUE(Finite(q));
  EXPECT_EQ(q.out.size(), 4u + 4u);  // four sides, four cap triangles
}

TEST(Bodies, PipeRingsMitresAndCaps) {
  qx3DPipeObject straight;
  straight.outline = {{0, 0}, {1000, 0}};
  straight.depth = 20;
  Recorder r = Mesh(straight);
  ASSERT_EQ(r.out.size(), 18u);
  int caps = 0;
  for (const auto& p : r.out) {
    if (p.v.size() == 16) {
      ++caps;
      float low = 1, high = 0;
      for (const VertexRecord& v : p.v) low = std::min({low, v.s, v.t}), high = std::max({high, v.s, v.t});
      EXPECT_NEAR(low, 0.0f, kTol);
      EXPECT_NEAR(high, 0.1f, kTol);
      EXPECT_NEAR(std::fabs(p.v[0].nx), 1.0f, kTol);
      continue;
    }
    ASSERT_EQ(p.v.size(), 4u);
    for (const VertexRecord& v : p.v) {
      EXPECT_NEAR(v.nx, 0.0f, kTol);  // perpendicular to the path
      EXPECT_NEAR(std::hypot(v.y, v.z), 20.0f, 1e-3);
    }
  }
  EXPECT_EQ(caps, 2);

  qx3DPipeObject corner;
  corner.outline = {{0, 0}, {1000, 0}, {1000, 1000}};
  corner.depth = 20;
  Recorder c = Mesh(corner);
  ASSERT_EQ(c.out.size(), 34u);
  // Head first: two caps, the second segment's quads, then the first's, whose first vertex lies on
  // the joint's 45 degree plane.
  for (size_t i = 18; i < 34; ++i) {
    const VertexRecord& e = c.out[i].v[0];
    EXPECT_NEAR(e.x - 1000 + e.y, 0.0f, 1e-3);
    EXPECT_NEAR(e.nx, 0.0f, kTol);  // not blended across the sharp joint
  }

  qx3DPipeObject gentle;
  const float a = float(20 * M_PI / 180);
  gentle.outline = {{0, 0}, {1000, 0}, {1000 + 1000 * std::cos(a), 1000 * std::sin(a)}};
  gentle.depth = 20;
  Recorder g = Mesh(gentle);
  float leaning = 0;
  for (size_t i = 18; i < 34; ++i) leaning = std::max(leaning, std::fabs(g.out[i].v[0].nx));
  EXPECT_GT(leaning, 0.05f);  // blended toward the next segment

  for (auto path : {std::vector<ppVector2>{{5, 5}}, std::vector<ppVector2>{{5, 5}, {5, 5}}}) {
    qx3DPipeObject none;
    none.outline = path;
    none.depth = 20;
    EXPECT_TRUE(Mesh(none).out.empty());
  }
  qx3DPipeObject repeated;
  repeated.outline = {{0, 0}, {500, 0}, {500, 0}, {1000, 300}, {0, 0}};
  repeated.depth = 20;
  Recorder rp = Mesh(repeated);
  EXPECT_TRUE(Finite(rp));
  EXPECT_EQ(rp.out.size(), 3u * 16 + 2);
}

TEST(Bodies, CircleTurnsItsProfileAboutY) {
  qx3DCircleObject body;
  body.outline = {{100, 0}, {100, 500}};
  body.depth = 800;
  Recorder r = Mesh(body);
  ASSERT_EQ(r.out.size(), 16u);
  const VertexRecord& start = r.out.back().v[1];  // the first step's edge, c at the first angle
  EXPECT_NEAR(std::atan2(std::fabs(start.z), start.x), 0.05f, 1e-5);
  EXPECT_NEAR(std::hypot(start.x, start.z), 100.0f, 1e-3);
  for (const auto& p : r.out) {
    ASSERT_EQ(p.v.size(), 4u);
    EXPECT_EQ(std::vector<float>({p.v[0].s, p.v[1].s, p.v[2].s, p.v[3].s}),
              std::vector<float>({0, 0, 1.25f, 1.25f}));
    EXPECT_EQ(std::vector<float>({p.v[0].t, p.v[1].t, p.v[2].t, p.v[3].t}), std::vector<float>({0, 2, 2, 0}));
  }
  qx3DCircleObject closed;  // a closed profile repeats its first point
  closed.outline = {{100, 0}, {150, 50}, {100, 100}, {100, 0}};
  EXPECT_TRUE(Finite(Mesh(closed)));
}

TEST(Bodies, MeshPolygonsAndEdgesIgnoreDamagedIndices) {
  qx3DMeshObject mesh;
  EXPECT_EQ(mesh.kind, qx3DObject::kMesh);
  mesh.vertices = {{0, 0, 0, 0.25f, 0.5f, 9, 9, 9},
                   {100, 0, 0, 0, 0, 9, 9, 9},
                   {100, 100, 0, 0, 0, 9, 9, 9},
                   {0, 100, 0, 0, 0, 9, 9, 9}};
  mesh.flatNormals = true;
  mesh.polygons = {3, 4, 0, 1, 2, 3, 3, 0, 1, 7, 4, 0, 1, 2};  // a quad, a bad index, a cut-off polygon
  mesh.edges = {{0, 1, 0}, {1, 9, 0}};
  Recorder r = Mesh(mesh);
  ASSERT_EQ(r.out.size(), 1u);
  ASSERT_EQ(r.out[0].v.size(), 4u);
  for (const VertexRecord& v : r.out[0].v) {
    EXPECT_NEAR(std::fabs(v.nz), 1.0f, kTol);
    EXPECT_EQ(v.nx, 0.0f);
  }
  EXPECT_EQ(r.out[0].v[0].s, 1.0f);
  EXPECT_EQ(r.out[0].v[0].t, 2.0f);
  mesh.flatNormals = false;
  EXPECT_EQ(Mesh(mesh).out[0].v[0].nx, 9.0f);
  Recorder lines;
  mesh.BuildEdges(lines, false);
  EXPECT_EQ(lines.out.size(), 1u);
}

std::vector<uint32_t> Words(std::initializer_list<float> values) {
  std::vector<uint32_t> w;
  for (float f : values) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    w.push_back(bits);
  }
  return w;
}

TEST(Bodies, ImportedStreamsParseIntoBlocksMostRecentFirst) {
  qx3DImportedObject body;
  std::vector<uint32_t> s = {0, 1};
  for (uint32_t w : Words({1, 2, 3})) s.push_back(w);
  s.insert(s.end(), {1, 2, 7, 8, 0, 2});
  for (uint32_t w : Words({4, 5, 6, 7, 8, 9})) s.push_back(w);
  s.insert(s.end(), {1, 1, 5, 0xFFFFFFFF});
  body.stream = s;
  body.Prepare();
  body.Prepare();  // a second read replaces the blocks
  ASSERT_EQ(body.blocks.size(), 2u);
  EXPECT_EQ(body.blocks[0].points.size(), 2u);
  EXPECT_EQ(body.blocks[0].indexBlocks, std::vector<std::vector<uint32_t>>({{5}}));
  EXPECT_EQ(body.blocks[1].points[0].z, 3.0f);
  EXPECT_EQ(body.blocks[1].indexBlocks, std::vector<std::vector<uint32_t>>({{7, 8}}));
  EXPECT_TRUE(Mesh(body).out.empty());

  const std::vector<std::vector<uint32_t>> stops = {{0xFFFFFFFF}, {1, 1, 4}, {0, 5, 1, 2}, {9, 0, 0, 0}};
  for (const auto& stream : stops) {
    qx3DImportedObject other;
    other.stream = stream;
    other.Prepare();
    EXPECT_TRUE(other.blocks.empty());
  }
}

TEST(Bodies, LongChainsAreDeletedWithoutRecursion) {
  auto head = std::make_unique<qx3DExtrudedObject>();
  for (int i = 0; i < 50000; ++i) {
    auto body = std::make_unique<qx3DExtrudedObject>();
    body->next = std::move(head);
    head = std::move(body);
  }
  head.reset();
  SUCCEED();
}

}  // namespace
