// The renderer registry and the renderers' call sequences, through a context that logs its calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ColorApplication.h"
#include "LoggingContext.h"
#include "platform/HeadlessDriver.h"
#include "scene3d/context/ppNode.h"
#include "scene3d/context/ppScene.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/renderers/RenderSettings.h"
#include "scene3d/renderers/qxBackgroundRenderFactory.h"
#include "scene3d/renderers/qxRenderFactory.h"
#include "scene3d/renderers/rStandardRenderer.h"

namespace {

using Log = std::vector<std::string>;

ppShape3D Triangle(float z) {
  ppShape3D shape;
  shape.Begin(9);
  shape.Vertex(0, 0, z);
  shape.Vertex(1, 0, z);
  shape.Vertex(0, 1, z);
  shape.End();
  return shape;
}

size_t CountOf(const Log& log, const std::string& line) {
  return size_t(std::count(log.begin(), log.end(), line));
}

bool StartsWith(const std::string& line, const std::string& head) { return line.rfind(head, 0) == 0; }

size_t CountStarting(const Log& log, const std::string& head) {
  return size_t(
      std::count_if(log.begin(), log.end(), [&](const std::string& l) { return StartsWith(l, head); }));
}

class RendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    app_ = std::make_unique<ColorApplication>();
    app_->colors[1024] = {0, 0, 0, 1};
    app_->colors[1022] = {1, 1, 1, 1};
    app_->colors[1026] = {1, 0, 0, 1};
  }
  void TearDown() override {
    app_.reset();
    plat::HeadlessDriver::Reset();
  }

  // Renders `scene` through the named renderer into a fresh logging context.
  Log RenderWith(const std::string& name, iScene& scene, uint32_t mask = 0) {
    auto renderer = qxRenderFactory::Instance().FindByName(name);
    EXPECT_NE(renderer, nullptr) << name;
    renderer->mask = mask;
    LoggingContext context;
    renderer->Render(scene, &context);
    return context.log;
  }

  std::unique_ptr<ColorApplication> app_;
};

TEST_F(RendererTest, RegistryListsNineRenderersInOrderAndHandsOutCopies) {
  const qxRenderFactory& factory = qxRenderFactory::Instance();
  ASSERT_EQ(factory.GetCount(), 9);
  const std::vector<std::string> names = {"rDragger",      "rPicker",        "rZBuffer",
                                          "rGoodStandard", "rStandard",      "rGoodHiddenLines",
                                          "rHiddenLines",  "rGoodWireframe", "rWireframe"};
  for (int32_t i = 0; i < 9; ++i) EXPECT_EQ(factory.GetName(i), names[size_t(i)]);
  EXPECT_EQ(factory.GetName(-1), "");
  EXPECT_EQ(factory.GetName(9), "");
  EXPECT_EQ(factory.CreateByIndex(9), nullptr);
  EXPECT_EQ(factory.CreateByIndex(-1), nullptr);
  EXPECT_EQ(factory.FindByName("rgoodstandard"), nullptr);
  EXPECT_EQ(factory.FindByName(""), nullptr);

  auto first = factory.FindByName("rStandard"), second = factory.FindByName("rStandard");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first.get(), second.get());
  EXPECT_FALSE(dynamic_cast<rStandardRenderer&>(*first).IsGood());
  EXPECT_TRUE(dynamic_cast<rStandardRenderer&>(*factory.FindByName("rGoodStandard")).IsGood());
  // A copy keeps what its source was given.
  first->mask = 3;
  EXPECT_EQ(first->Clone()->GetMask(), 3u);

  const qxBackgroundRenderFactory& background = qxBackgroundRenderFactory::Instance();
  EXPECT_EQ(background.GetCount(), 0);
  EXPECT_EQ(background.GetName(0), "");
  EXPECT_EQ(background.FindByName("rStandard"), nullptr);
}

TEST_F(RendererTest, LineAndHighlightColoursMixWithTheBackgroundUnlessGood) {
  struct Case {
    bool good;
    ppFloat4 line, highlight;
  } cases[] = {{false, {0.6f, 0.6f, 0.6f, 0.4f}, {1.0f, 0.5f, 0.5f, 1.0f}},
               {true, {0, 0, 0, 0.2f}, {1, 0, 0, 0.5f}}};
  ppScene empty;
  for (const Case& c : cases) {
    rStandardRenderer renderer(c.good);
    LoggingContext context;
    renderer.Render(empty, &context);
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(renderer.GetLineColor().v[i], c.line.v[i], 1e-6) << c.good << " " << i;
      EXPECT_NEAR(renderer.GetHighlightColor().v[i], c.highlight.v[i], 1e-6) << c.good << " " << i;
    }
  }
}

TEST_F(RendererTest, ExtraLightsSwitchTheLightModelAndAddThreeLamps) {
  ppScene empty;
  Log off = RenderWith("rGoodStandard", empty);
  EXPECT_EQ(CountOf(off, "SetLightModel 0.9 0.9 0.9 1"), 1u);
  EXPECT_EQ(CountStarting(off, "SetLight "), 1u);
  EXPECT_EQ(CountOf(off, "SetLight 5000 20000 3200 0.2 0.2 0.2 1 1 0 0"), 1u);

  gExtraLights = 1;
  Log on = RenderWith("rGoodStandard", empty);
  EXPECT_EQ(CountOf(on, "SetLightModel 0.55 0.55 0.55 1"), 1u);
  EXPECT_EQ(CountStarting(on, "SetLight "), 4u);
  EXPECT_EQ(CountOf(on, "SetLight 2000 2500 8500 0.8 0.8 0.8 1 1 0.5 0"), 1u);
}

TEST_F(RendererTest, SettingsGoBackToTheirStartOnReset) {
  gExtraLights = 1;
  gPolygonOffset = 4;
  ppScene empty;
  RenderWith("rGoodWireframe", empty);
  EXPECT_EQ(gLastBackground.v[0], 1.0f);  // the application's 1022
  plat::HeadlessDriver::Reset();
  EXPECT_EQ(gExtraLights, 0);
  EXPECT_EQ(gPolygonOffset, 1.0f);
  EXPECT_EQ(gLastBackground.v[0], 0.9f);
}

TEST_F(RendererTest, PolygonOffsetOfTheFillPassFollowsTheSetting) {
  ppScene empty;
  EXPECT_EQ(CountOf(RenderWith("rStandard", empty), "SetPolygonOffset 1 1"), 1u);
  gPolygonOffset = 2.5f;
  EXPECT_EQ(CountOf(RenderWith("rStandard", empty), "SetPolygonOffset 2.5 2.5"), 1u);
}

TEST_F(RendererTest, TranslucentNodesWaitForTheThirdPassNearestFirst) {
  ppShape3D nearShape = Triangle(1), farShape = Triangle(5), edges = Triangle(0);
  ppNode opaque, farNode, nearNode, sameDepth, faceless, hidden;
  opaque.faces = &nearShape;
  opaque.color = {0.1f, 0.1f, 0.1f, 0.99f};  // the float nearest 0.99 is above it: opaque
  farNode.faces = &farShape;
  farNode.color = {0.2f, 0.2f, 0.2f, 0.98f};
  nearNode.faces = &nearShape;
  nearNode.color = {0.3f, 0.3f, 0.3f, 0.5f};
  sameDepth.faces = &nearShape;
  sameDepth.color = {0.4f, 0.4f, 0.4f, 0.5f};
  faceless.edges = &edges;  // translucent, no faces: only its edges are drawn
  faceless.color = {0.5f, 0.5f, 0.5f, 0.5f};
  hidden.faces = &nearShape;
  hidden.edges = &edges;
  hidden.renderFlags = 0x40;
  hidden.color = {0.6f, 0.6f, 0.6f, 0.5f};
  ppScene scene;
  for (ppNode* node : {&opaque, &farNode, &nearNode, &sameDepth, &faceless, &hidden}) scene.Add(node);

  Log log = RenderWith("rGoodStandard", scene);
  // Pass 1 draws only the opaque node; the other faces come after the matrix push of pass 3.
  const auto push = std::find(log.begin(), log.end(), "PushMatrix");
  const auto pass3 = std::find(log.begin(), log.end(), "SetBlendFunction 770 771");
  ASSERT_NE(pass3, log.end());
  EXPECT_EQ(CountOf(Log(log.begin(), pass3), "SetColor 0.1 0.1 0.1 0.99"), 1u);
  Log colours;
  for (auto it = pass3; it != log.end(); ++it)
    if (StartsWith(*it, "SetColor 0.") && !StartsWith(*it, "SetColor 0 ")) colours.push_back(*it);
  EXPECT_EQ(colours,
            (Log{"SetColor 0.3 0.3 0.3 0.5", "SetColor 0.4 0.4 0.4 0.5", "SetColor 0.2 0.2 0.2 0.98"}));
  EXPECT_NE(push, log.end());
  // Edges of every drawn node in pass 2 (the faceless one included), nothing of the hidden one.
  EXPECT_EQ(CountOf(log, "SetColor 0.6 0.6 0.6 0.5"), 0u);
  EXPECT_EQ(CountOf(log, "DrawShape 1"), 1u /*opaque faces*/ + 1u /*faceless edges*/ + 3u /*pass 3*/);

  // Without translucent nodes there is no third pass at all.
  ppScene plain;
  plain.Add(&opaque);
  Log opaqueOnly = RenderWith("rGoodStandard", plain);
  EXPECT_EQ(CountOf(opaqueOnly, "SetBlendFunction 770 771"), 0u);
  EXPECT_EQ(CountOf(opaqueOnly, "PushMatrix"), 4u);  // the scene and the node, in two passes
}

TEST_F(RendererTest, DepthAndDraggingRenderersFilterByTheirOwnFlags) {
  ppShape3D shape = Triangle(0);
  ppNode skippable, highlighted, hidden;
  for (ppNode* node : {&skippable, &highlighted, &hidden}) node->faces = node->edges = &shape;
  skippable.renderFlags = 0x01;
  highlighted.renderFlags = 0x02;
  hidden.renderFlags = 0x40;
  ppScene scene;
  for (ppNode* node : {&skippable, &highlighted, &hidden}) scene.Add(node);

  // Depth only: the skippable node is drawn whatever the mask; highlighted and hidden are not.
  Log depth = RenderWith("rZBuffer", scene, 0x01);
  EXPECT_EQ(depth.front(), "ResetState 0 0 0 0 256");
  EXPECT_EQ(CountOf(depth, "DrawShape 1"), 1u);
  // Dragging: only 0x40 hides; the buffers end as they began.
  Log drag = RenderWith("rDragger", scene, 0x01);
  EXPECT_EQ(CountOf(drag, "DrawShape 1"), 2u);
  EXPECT_EQ(drag[drag.size() - 3], "SetDepthFunction 513");
  EXPECT_EQ(drag[drag.size() - 2], "SetDrawBuffer 1029");
  // Picking and hidden lines honour the mask.
  EXPECT_EQ(CountOf(RenderWith("rPicker", scene, 0x01), "DrawShape 1"), 1u);
  EXPECT_EQ(CountOf(RenderWith("rPicker", scene, 0), "DrawShape 1"), 2u);
  EXPECT_EQ(CountOf(RenderWith("rHiddenLines", scene, 0x01), "DrawShape 1"), 2u);  // faces and edges
}

TEST_F(RendererTest, HighlightedNodesGetWideLinesOnlyWhenTheMaskAsks) {
  ppShape3D shape = Triangle(0);
  ppNode node;
  node.edges = &shape;
  node.renderFlags = 0x02;
  ppScene scene;
  scene.Add(&node);
  EXPECT_EQ(CountOf(RenderWith("rWireframe", scene, 0x02), "SetLineWidth 2"), 1u);
  EXPECT_EQ(CountOf(RenderWith("rWireframe", scene, 0), "SetLineWidth 2"), 0u);
  // Good wireframes blend, plain ones do not.
  EXPECT_EQ(CountOf(RenderWith("rGoodWireframe", scene), "SetBlending 1"), 1u);
  EXPECT_EQ(CountOf(RenderWith("rWireframe", scene), "SetBlending 1"), 0u);
}

}  // namespace
