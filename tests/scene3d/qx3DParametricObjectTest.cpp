#include "scene3d/objects/qx3DParametricObject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "scene3d/context/ppShape3D.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

ppVector3 Apply(const ppMatrix4& m, ppVector3 p) {
  ppVector3 out;
  m.TransformPoint(out, p);
  return out;
}

void ExpectNear(const ppVector3& got, const ppVector3& want, const char* what) {
  EXPECT_NEAR(got.x, want.x, 1e-3) << what;
  EXPECT_NEAR(got.y, want.y, 1e-3) << what;
  EXPECT_NEAR(got.z, want.z, 1e-3) << what;
}

std::vector<ppVector2> Square() { return {{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}; }

// Counts deletions so the chain test can see every part go.
struct CountedPart : qx3DParametricObject {
  explicit CountedPart(int* deaths) : deaths_(deaths) {}
  ~CountedPart() override { ++*deaths_; }
  int* deaths_;
};

TEST(ParametricPartTest, PlacementMatrix) {
  qx3DParametricObject part;
  const ppMatrix4 identity;
  for (int i = 0; i < 16; ++i) EXPECT_EQ(part.GetTransform()[i], identity[i]) << i;

  // Flags 0x3 turn about y only, the same as 0x2: +x goes to +z.
  part.flags = 0x3;
  ExpectNear(Apply(part.GetTransform(), {1, 0, 0}), {0, 0, 1}, "turn y");
  ExpectNear(Apply(part.GetTransform(), {0, 1, 0}), {0, 1, 0}, "turn y keeps y");
  part.flags = 0x1;
  ExpectNear(Apply(part.GetTransform(), {0, 1, 0}), {0, 0, 1}, "turn x");

  // Order for a point: second rotation, second translation, rotation, position.
  part.flags = 0;
  part.secondRotation = ppVector3(0, 0, kPi / 2);
  part.secondTranslation = ppVector3(0, 10, 0);
  part.rotation = ppVector3(0, 0, kPi / 2);
  part.position = ppVector3(100, 0, 0);
  // (1, 0, 0) -> (0, 1, 0) -> (0, 11, 0) -> (-11, 0, 0) -> (89, 0, 0)
  ExpectNear(Apply(part.GetTransform(), {1, 0, 0}), {89, 0, 0}, "order");

  // An extra rotation about the zero axis is skipped instead of making non-numbers.
  qx3DParametricObject zeroAxis;
  zeroAxis.hasExtraRotation = true;
  zeroAxis.extraAngle = 1.0f;
  ExpectNear(Apply(zeroAxis.GetTransform(), {3, 4, 5}), {3, 4, 5}, "zero axis");
  zeroAxis.extraAxis = ppVector3(0, 0, 2);
  ExpectNear(Apply(zeroAxis.GetTransform(), {1, 0, 0}), {std::cos(1.0f), -std::sin(1.0f), 0}, "axis");
}

struct TextureCase {
  uint8_t mode;
  float angle;
  std::vector<ppVector2> outline;
  // Expected (s, t) for each outline point, by index.
  std::vector<ppVector2> texture;
};

TEST(ParametricPartTest, MeshTextureCoordinates) {
  const std::vector<TextureCase> cases = {
      {0, 0.0f, Square(), {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
      {1, 0.0f, Square(), {{0, 0}, {2.5f, 0}, {2.5f, 2.5f}, {0, 2.5f}}},
      {0, 0.0f, {{0.4f, -0.4f}, {0.6f, 0}, {0.6f, 0.6f}}, {{0, 0}, {1, 0}, {1, 1}}},
      {0, kPi / 2, {{0, 0}, {1000, 0}, {0, 1000}}, {{0, 0}, {0, -1}, {1, 0}}},
  };
  for (size_t c = 0; c < cases.size(); ++c) {
    qx3DParametricObject part;
    part.textureScaleMode = cases[c].mode;
    part.textureDirection = cases[c].angle;
    part.outline = cases[c].outline;
    part.Prepare();
    std::unique_ptr<ppShape3D> shape = part.CreateShape();
    ASSERT_EQ(shape->Primitives().size(), cases[c].outline.size() - 2) << c;
    for (const ppShapePrimitive& p : shape->Primitives()) {
      ASSERT_EQ(p.vertices.size(), 3u);
      for (const ppShapeVertex& v : p.vertices) {
        EXPECT_EQ(v.position.z, 0.0f);
        ExpectNear(v.normal, {0, 0, 1}, "normal");
        size_t i = 0;
        while (i < part.outline.size() &&
               (part.outline[i].x != v.position.x || part.outline[i].y != v.position.y))
          ++i;
        ASSERT_LT(i, part.outline.size()) << c;
        EXPECT_NEAR(v.texture.x, cases[c].texture[i].x, 1e-5) << c << " point " << i;
        EXPECT_NEAR(v.texture.y, cases[c].texture[i].y, 1e-5) << c << " point " << i;
      }
    }
  }
}

size_t Lines(qx3DParametricObject& part, bool transformed, std::vector<ppShapeVertex>* ends = nullptr) {
  ppShape3D shape;
  part.BuildEdges(shape, transformed);
  for (const ppShapePrimitive& p : shape.Primitives()) {
    EXPECT_EQ(p.vertices.size(), 2u);
    if (ends != nullptr) ends->insert(ends->end(), p.vertices.begin(), p.vertices.end());
  }
  return shape.Primitives().size();
}

TEST(ParametricPartTest, OutlineEdges) {
  qx3DParametricObject part;
  part.outline = {{0, 0}, {100, 0}, {0, 50}};
  EXPECT_EQ(Lines(part, false), 3u);
  part.edgeFlags = {1, 1, 1};
  EXPECT_TRUE(part.CreateEdgeShape()->Primitives().empty());
  // A handle shorter than the outline: the missing words count as 0.
  part.edgeFlags = {0, 1};
  std::vector<ppShapeVertex> ends;
  EXPECT_EQ(Lines(part, false, &ends), 2u);
  ASSERT_EQ(ends.size(), 4u);
  ExpectNear(ends[3].position, {0, 0, 0}, "closing side");

  part.edgeFlags = {0, 1, 1};
  part.position = ppVector3(5, 6, 7);
  part.flags = qx3DObject::kTurnX;
  ends.clear();
  EXPECT_EQ(Lines(part, true, &ends), 1u);
  ASSERT_EQ(ends.size(), 2u);
  ExpectNear(ends[0].position, {5, 6, 7}, "placed start");
  ExpectNear(ends[1].position, Apply(part.GetTransform(), {100, 0, 0}), "placed end");
}

TEST(ParametricPartTest, TheFirstPartDrivesAndOwnsTheChain) {
  int deaths = 0;
  std::unique_ptr<qx3DObject> chain;
  std::vector<qx3DParametricObject*> parts;
  for (int i = 0; i < 3; ++i) {
    auto part = std::make_unique<CountedPart>(&deaths);
    part->outline = Square();
    part->next = std::move(chain);
    parts.push_back(part.get());
    chain = std::move(part);
  }
  chain->Prepare();
  chain->Build();
  for (qx3DParametricObject* p : parts) EXPECT_EQ(p->FaceCount(), 2u);
  chain.reset();
  EXPECT_EQ(deaths, 3);
}

}  // namespace
