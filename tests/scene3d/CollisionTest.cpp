// The collision renderer over a scene of real recorded shapes: which nodes take part, who is tested
// against whom, and which pair is reported.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "scene3d/context/ppCollisionRenderer.h"
#include "scene3d/context/ppNode.h"
#include "scene3d/context/ppScene.h"

namespace {

// A closed box of six quads, 0..size on every axis.
ppShape3D Cube(float size) {
  ppShape3D shape;
  const float s = size;
  const float faces[6][4][3] = {
      {{0, 0, 0}, {s, 0, 0}, {s, s, 0}, {0, s, 0}}, {{0, 0, s}, {0, s, s}, {s, s, s}, {s, 0, s}},
      {{0, 0, 0}, {0, s, 0}, {0, s, s}, {0, 0, s}}, {{s, 0, 0}, {s, 0, s}, {s, s, s}, {s, s, 0}},
      {{0, 0, 0}, {0, 0, s}, {s, 0, s}, {s, 0, 0}}, {{0, s, 0}, {s, s, 0}, {s, s, s}, {0, s, s}}};
  for (const auto& face : faces) {
    shape.Begin(9);
    for (const auto& p : face) shape.Vertex(p[0], p[1], p[2]);
    shape.End();
  }
  return shape;
}

class CollisionScene : public ::testing::Test {
 protected:
  ppNode& AddNode(float x, uint32_t owner, uint32_t flags) {
    nodes_.push_back(std::make_unique<ppNode>());
    ppNode& node = *nodes_.back();
    node.faces = &cube_;
    node.transform.Translate(ppVector3(x, 0, 0));
    node.owner = owner;
    node.renderFlags = flags;
    scene_.Add(&node);
    return node;
  }

  ppShape3D cube_ = Cube(10);
  std::vector<std::unique_ptr<ppNode>> nodes_;
  ppScene scene_;
  ppCollisionRenderer renderer_;
};

TEST_F(CollisionScene, ReportsTheFirstCollidingPair) {
  AddNode(0, 1, 0);
  AddNode(30, 2, 0);
  AddNode(35, 3, 0);  // also overlaps the mover, but comes later
  AddNode(25, 9, iNode::kMovingFlag);
  EXPECT_TRUE(renderer_.Check(scene_));
  EXPECT_EQ(renderer_.GetHitOwner(), 2u);
  EXPECT_EQ(renderer_.GetMovingOwner(), 9u);
}

TEST_F(CollisionScene, SkippedNodesAndMovingPairsNeverCollide) {
  for (uint32_t skip : {0x1u, 0x40u, 0x100u, 0x200u}) {
    SCOPED_TRACE(skip);
    ppScene scene;
    ppNode still, moving;
    still.faces = moving.faces = &cube_;
    moving.transform.Translate(ppVector3(5, 0, 0));
    still.renderFlags = skip;
    moving.renderFlags = iNode::kMovingFlag;
    scene.Add(&still);
    scene.Add(&moving);
    EXPECT_FALSE(renderer_.Check(scene));
    still.renderFlags = 0;
    moving.renderFlags = iNode::kMovingFlag | skip;
    EXPECT_FALSE(renderer_.Check(scene));
    moving.renderFlags = iNode::kMovingFlag;
    EXPECT_TRUE(renderer_.Check(scene));
  }
  AddNode(0, 1, iNode::kMovingFlag);
  AddNode(5, 2, iNode::kMovingFlag);
  EXPECT_FALSE(renderer_.Check(scene_));
  EXPECT_EQ(renderer_.GetHitOwner(), 0u);
}

TEST_F(CollisionScene, UnitsStandingSideBySideDoNotCollide) {
  // Adjacent cubes share their touching face's corners; a gap of a millimetre is free; an overlap
  // of half a millimetre is not.
  AddNode(0, 1, 0);
  ppNode& mover = AddNode(10, 2, iNode::kMovingFlag);
  EXPECT_FALSE(renderer_.Check(scene_));
  mover.transform.Translate(ppVector3(1, 0, 0));
  EXPECT_FALSE(renderer_.Check(scene_));
  mover.transform.Translate(ppVector3(-1.5f, 0, 0));
  EXPECT_TRUE(renderer_.Check(scene_));
  // Placed inside a group's transform, the tracked matrix carries the group's move.
  ppScene group;
  group.transform.Translate(ppVector3(100, 0, 0));
  ppScene outer;
  ppNode still;
  still.faces = &cube_;
  still.transform.Translate(ppVector3(105, 0, 0));
  mover.transform = ppMatrix4();
  group.Add(&mover);
  outer.Add(&group);
  outer.Add(&still);
  EXPECT_TRUE(renderer_.Check(outer));
}

}  // namespace
