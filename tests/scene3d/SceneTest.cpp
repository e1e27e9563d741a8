// Scenes through contexts: the interface defaults, node drawing with and without caching, the stream
// renderers, the standard context's transform stack, scene copies and the object map.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "LoggingContext.h"
#include "framework/ppPicture.h"
#include "scene3d/context/SceneMarkers.h"
#include "scene3d/context/ppDxfRenderer.h"
#include "scene3d/context/ppNode.h"
#include "scene3d/context/ppObjectMap.h"
#include "scene3d/context/ppScene.h"
#include "scene3d/context/ppSceneCopy.h"
#include "scene3d/context/ppStandardContext.h"
#include "scene3d/context/ppStreamRenderer.h"

namespace {

void ExpectTranslation(const ppMatrix4& m, double x, double y, double z) {
  ppMatrix4 expected;
  expected[12] = x;
  expected[13] = y;
  expected[14] = z;
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-9) << i;
}

ppShape3D UnitTriangle() {
  ppShape3D shape;
  shape.Begin(9);
  shape.Vertex(0, 0, 0);
  shape.Vertex(1, 0, 0);
  shape.Vertex(0, 1, 0);
  shape.End();
  return shape;
}

TEST(ContextInterface, DefaultsAnswerNeutralValues) {
  iContext context;
  EXPECT_EQ(context.CreateTexture(nullptr), 0u);
  EXPECT_EQ(context.SetPickMode(true), 0);
  EXPECT_EQ(context.GetPickHit(0), 0u);
  EXPECT_EQ(context.DrawShape(nullptr), 0u);
  const ppVector3 a = context.MapPointA(ppVector3(1, 2, 3)), b = context.MapPointB(ppVector3(1, 2, 3));
  EXPECT_EQ(a.x + a.y + a.z + b.x + b.y + b.z, 0.0f);
  ppMatrix4 m;
  m[3] = 7;
  context.GetMatrix(m);
  ExpectTranslation(m, 0, 0, 0);
  EXPECT_EQ(context.GetAspectRatio(), 1.0f);

  LoggingContext logger;
  logger.SetColorFromArgs(0.5f, 0.25f, 1, 1);  // the default forwards to SetColor
  EXPECT_EQ(logger.log, std::vector<std::string>{"SetColor 0.5 0.25 1 1"});
}

TEST(StandardContext, TracksTransformsAndKeepsTheLastMatrix) {
  ppStandardContext context;
  context.Begin(9);  // not recording: ignored
  context.Vertex(1, 2, 3);
  context.End();
  EXPECT_EQ(context.GetMesh().GetCount(), 0u);

  context.PushMatrix();
  context.Translate(1, 0, 0);
  ppMatrix4 m;
  context.GetMatrix(m);
  ExpectTranslation(m, 1, 0, 0);
  context.PopMatrix();
  context.GetMatrix(m);
  ExpectTranslation(m, 0, 0, 0);
  context.PopMatrix();  // one matrix left: kept
  EXPECT_EQ(context.GetStackDepth(), 1u);
  context.GetMatrix(m);
  ExpectTranslation(m, 0, 0, 0);

  // OpenGL order: the later call applies first. Turn 90 degrees about y, then move 10 along x:
  // the point (0, 0, 0) ends up at the turned translation (0, 0, -10).
  context.Rotate(90, 0, 1, 0);
  context.Translate(10, 0, 0);
  context.Rotate(30, 0, 0, 0);  // no axis: nothing to turn about, and no non-numbers
  context.GetMatrix(m);
  ppVector3 p;
  m.TransformPoint(p, ppVector3(0, 0, 0));
  EXPECT_NEAR(p.x, 0, 1e-5);
  EXPECT_NEAR(p.z, -10, 1e-5);
}

TEST(StandardContext, RecordingCollectsShapesThroughTheCurrentTransform) {
  ppStandardContext context(true);
  const ppShape3D triangle = UnitTriangle();
  context.Translate(0, 0, 5);
  EXPECT_EQ(context.DrawShape(&triangle), 0u);
  ASSERT_EQ(context.GetMesh().GetCount(), 1u);
  EXPECT_EQ(context.GetMesh().Primitives()[0].vertices[1].position.x, 1);
  EXPECT_EQ(context.GetMesh().Primitives()[0].vertices[1].position.z, 5);
}

TEST(NodeDrawing, CachingContextsRecordOnceAndImmediateOnesKeepNothing) {
  ppShape3D triangle = UnitTriangle();
  ppPicture picture;
  ppNode node;
  node.faces = &triangle;
  node.texture = &picture;

  LoggingContext caching(true);
  node.DrawFaces(caching);
  node.DrawFaces(caching);
  node.BindTexture(caching);
  node.BindTexture(caching);
  EXPECT_EQ(caching.log,
            (std::vector<std::string>{"DrawShape 1", "CallList 100", "CreateTexture 1", "BindTexture 101"}));

  ppNode fresh;
  fresh.faces = &triangle;
  fresh.edges = &triangle;
  LoggingContext immediate(true);
  immediate.immediateMode = true;
  fresh.DrawFaces(immediate);
  fresh.DrawEdges(immediate);
  fresh.DrawFaces(immediate);
  fresh.BindTexture(immediate);
  EXPECT_EQ(fresh.facesList + fresh.edgesList + fresh.textureName, 0u);
  EXPECT_EQ(std::count(immediate.log.begin(), immediate.log.end(), "DrawShape 1"), 3);

  node.renderFlags = 0x40;
  node.ResetNames();
  EXPECT_EQ(node.facesList + node.textureName, 0u);
  EXPECT_EQ(node.renderFlags, 0x40u);
}

TEST(StreamRenderers, ResetTheStateAndDrawWhatTheirFlagsAsk) {
  ppShape3D triangle = UnitTriangle();
  ppNode node;
  node.faces = &triangle;
  node.edges = &triangle;
  node.transform.Translate(ppVector3(0, 0, 7));
  const std::vector<std::string> state = {"ResetState 0.9 0.9 0.9 1 16640",
                                          "SetLighting",
                                          "SetLightModel 0.85 0.85 0.85 1",
                                          "SetLight 0 5000 0.2 0.6 0.6 0.6 1 1 0 0",
                                          "SetCullFace 1029",
                                          "SetDepthFunction 515",
                                          "SetWriteMasks 1 1 1 1 1",
                                          "SetPolygonMode 6914",
                                          "EnableLighting 0",
                                          "SetBlending 0"};
  LoggingContext none;
  ppStreamRenderer nothing(0);
  nothing.Render(node, &none);
  std::vector<std::string> expected = state;
  expected.insert(expected.end(), {"PushMatrix", "MultMatrix 0 0 7", "PopMatrix"});
  EXPECT_EQ(none.log, expected);

  LoggingContext both;
  ppStreamRenderer faces(ppStreamRenderer::kFaces | ppStreamRenderer::kEdges);
  faces.Render(node, &both);
  EXPECT_EQ(std::count(both.log.begin(), both.log.end(), "DrawShape 1"), 2);

  ppPicture picture;
  picture.SetRepeat(true);
  node.texture = &picture;
  node.color = ppFloat4(0.5f, 0.5f, 0.5f, 1);
  LoggingContext dxf(true);
  ppDxfRenderer exporter;
  exporter.Render(node, &dxf);
  exporter.Render(node, &dxf);
  expected = state;
  expected.insert(expected.end(), {"PushMatrix", "MultMatrix 0 0 7", "SetColor 0.5 0.5 0.5 1",
                                   "CreateTexture 1", "SetTextureParameterA 1", "DrawShape 1", "PopMatrix"});
  EXPECT_EQ(std::vector<std::string>(dxf.log.begin(), dxf.log.begin() + expected.size()), expected);
  EXPECT_EQ(dxf.log.size(), 2 * expected.size());  // nothing kept: the second pass draws again
  EXPECT_EQ(node.facesList, 0u);

  auto copy = faces.Clone();
  ASSERT_TRUE(copy);
  EXPECT_EQ(static_cast<ppStreamRenderer&>(*copy).GetFlags(), 3);
}

TEST(SceneCopy, FlattensNestedTransformsAndKeepsTheLastRecording) {
  ppShape3D triangle = UnitTriangle();
  ppNode child;
  child.faces = &triangle;
  child.transform.Translate(ppVector3(0, 2, 0));
  child.valueA = 11;
  child.owner = 5;
  child.renderFlags = 0x2;
  ppScene parent;
  parent.transform.Translate(ppVector3(1, 0, 0));
  parent.Add(&child);

  ppSceneCopy copy;
  copy.Render(child, nullptr);  // replaced by the next recording
  copy.Render(parent, nullptr);
  ASSERT_EQ(copy.Nodes().size(), 1u);
  const ppNode& recorded = *copy.Nodes()[0];
  ExpectTranslation(recorded.transform, 1, 2, 0);
  EXPECT_EQ(recorded.faces, &triangle);
  EXPECT_EQ(recorded.valueA, 11u);
  EXPECT_EQ(recorded.GetOwner(), 5u);
  EXPECT_EQ(recorded.GetRenderFlags(), 0x2u);
  EXPECT_EQ(child.facesList, 0u);

  // Replayed, the flat copy draws what the nested scene draws.
  ppStandardContext fromScene(true), fromCopy(true);
  ppStreamRenderer renderer(ppStreamRenderer::kFaces);
  renderer.Render(parent, &fromScene);
  renderer.Render(copy, &fromCopy);
  ASSERT_EQ(fromCopy.GetMesh().GetCount(), 1u);
  EXPECT_EQ(fromCopy.GetMesh().Primitives()[0].vertices[2].position.y, 3);
  EXPECT_EQ(fromScene.GetMesh().GetBounds().centre.x, fromCopy.GetMesh().GetBounds().centre.x);
}

// A 24-bit picture of the given size from a packed DIB in memory.
ppPicture Picture(int32_t width, int32_t height) {
  std::vector<uint8_t> dib(40 + size_t((width * 3 + 3) / 4 * 4) * height);
  plat::BITMAPINFOHEADER header;
  header.biWidth = width;
  header.biHeight = height;
  header.biBitCount = 24;
  std::memcpy(dib.data(), &header, sizeof header);
  return ppPicture(reinterpret_cast<const plat::BITMAPINFOHEADER*>(dib.data()));
}

TEST(ObjectMap, KeepsOneCopyPerPictureKey) {
  ppObjectMap map;
  map.SetEntry(nullptr);
  ppPicture first = Picture(8, 8), second = Picture(16, 16);  // both carry the default key
  map.SetEntry(&first);
  map.SetEntry(&second);
  ppPicture* stored = map.Find(second.GetValues());
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->GetWidth(), 16);
  EXPECT_EQ(map.Find({1.0, 2.0}), nullptr);
  ppShape3D* shape = map.SetShape({1.0}, std::make_unique<ppShape3D>(UnitTriangle()));
  EXPECT_EQ(map.FindShape({1.0}), shape);
}

TEST(SceneMarkers, DepthEnclosureWritesDepthOnlyAndTurnsFourWalls) {
  LoggingContext context;
  DrawDepthEnclosure(context);
  EXPECT_EQ(context.log[2], "SetWriteMasks 0 0 0 0 1");
  EXPECT_EQ(std::count(context.log.begin(), context.log.end(), "Rotate 90 0 1 0"), 4);
  EXPECT_EQ(std::count(context.log.begin(), context.log.end(), "Begin 9"), 6);
  EXPECT_EQ(context.log[6], "Vertex -100000 -100 -100000");

  LoggingContext marker;
  DrawDropMarker(marker, 50, 60);
  EXPECT_NE(std::find(marker.log.begin(), marker.log.end(), "Vertex 46 38 0"), marker.log.end());
  EXPECT_EQ(marker.log.back(), "SetCullFace 1029");
}

}  // namespace
