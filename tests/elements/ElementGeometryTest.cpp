// The geometry cache of elements: shared and private layer records, the state word, the own and the
// full box, the drawing order into a renderer, picking against the parts, and the outline edges.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "elements/ElementTestSupport.h"
#include "elements/base/DrawOutlineEdges.h"
#include "foundation/ppRay.h"
#include "framework/ppDC.h"
#include "scene3d/LoggingContext.h"
#include "scene3d/context/iRenderer.h"
#include "scene3d/context/ppShapePrimitive.h"
#include "framework/TestCanvas.h"

namespace {

using eltest::Rect;

constexpr int32_t kRecord = 5, kUnit = 7;

// Draws the scene into its context and logs each unit layer it is handed, with its code, render
// flags and whether its owner is set.
class LayerLogRenderer : public iRenderer {
 public:
  explicit LayerLogRenderer(LoggingContext& log, bool bindTextures = false)
      : log_(log), bindTextures_(bindTextures) {
    context = &log;
  }
  void Render(iScene& scene, iContext* /*context*/) override { scene.Render(*this); }
  void DrawNode(iNode& node) override {
    auto& layer = dynamic_cast<qxUnitLayer3D&>(node);
    if (bindTextures_) {
      if (layer.code == 2003) node.BindTexture(log_);
      return;
    }
    log_.Note("DrawNode", layer.code, layer.GetRenderFlags(), layer.owner != nullptr);
  }

 private:
  LoggingContext& log_;
  bool bindTextures_;
};

class ElementGeometryTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    ElementTest::SetUp();
    db_ = &MakeDatabase();
  }

  // Files a record of unit kUnit for elements without a size of their own: two layers, the first
  // with the upright square (0, 0, 0) to (100, 100, 0) as its faces.
  std::shared_ptr<TripleWithSet> FileUnitRecord() {
    auto record = std::make_shared<TripleWithSet>();
    record->unitId = kUnit;
    record->database = db_;
    record->layers.resize(2);
    record->layers[0].code = 2003;
    record->layers[0].renderFlags = 0x10008;  // the part's AND mask keeps 0x8 only
    record->layers[1].code = 2004;
    ppShape3D& faces = record->layers[0].faces;
    faces.Begin(9);
    for (auto [x, y] : {std::pair{0, 0}, {100, 0}, {100, 100}, {0, 100}})
      faces.Vertex(float(x), float(y), 0.0f);
    faces.End();
    UnitLayerCache::Store(record);
    return record;
  }

  // An element of catalogue record kRecord showing unit `unit`, with its geometry marked changed.
  zelvproElement* Unit(ppView* parent, int32_t unit, uint32_t flags = 0) {
    auto* element = new zelvproElement(kRecord, parent, Rect(0, 0, 1, 1), db_, 0, 0);
    element->unitRecordId = unit;
    element->flags = flags;
    element->InvalidateTree();
    return element;
  }

  zelvDatabase* db_ = nullptr;
};

TEST_F(ElementGeometryTest, CacheObjectsLayerRecordsAndStateBits) {
  zelvproElement root(0, nullptr, Rect(0, 0, 10, 10), nullptr, 0, 0);
  zelvproElement* a = Unit(&root, kUnit);
  zelvproElement* b = Unit(&root, kUnit, iUnit3DElement::kCopiedToBodies);
  zelvproElement* none = Unit(&root, 0);
  zelvproElement* own = Unit(&root, kUnit, iUnit3DElement::kOwnSizeX);
  root.InvalidateTree();
  root.GetBounds(0, 0);

  ElementGeometryCache* shared = ElementGeometryCache::FindShared(kRecord);
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(a->CachedObject(), shared);
  EXPECT_EQ(b->CachedObject(), shared);
  EXPECT_EQ(none->CachedObject(), shared);
  EXPECT_EQ(shared->Count(), 2u);  // one record for both elements of unit kUnit, one for access id 0
  EXPECT_EQ(a->Parts().at(0).layer, b->Parts().at(0).layer);
  EXPECT_EQ(shared->RecordAt(a->Parts().at(0).layer)->unitId, kUnit);
  EXPECT_EQ(ElementGeometryCache::SharedCount(), 1u);

  struct Case {
    zelvproElement* element;
    uint32_t state;
  };
  for (const Case c : {Case{a, 0u}, Case{b, 0x1u}, Case{none, 0x20u}, Case{own, 0u}}) {
    EXPECT_EQ(c.element->GetStateBits(), c.state);
    ASSERT_EQ(c.element->Parts().size(), 1u);
    EXPECT_GE(c.element->Parts()[0].layer, 0);
  }

  // The private record is found under the words the unit file gives it, and is the element's alone.
  ElementGeometryCache* mine = own->CachedObject();
  ASSERT_NE(mine, nullptr);
  EXPECT_TRUE(mine->IsPrivate());
  EXPECT_EQ(mine->Count(), 1u);
  EXPECT_EQ(mine->RecordAt(own->Parts()[0].layer)->unitId, -kUnit);

  // Rebuilding finds the same records again; the access id 0 record is not filed twice.
  root.InvalidateTree();
  root.GetBounds(0, 0);
  EXPECT_EQ(shared->Count(), 2u);
  EXPECT_EQ(a->CachedObject(), shared);
}

TEST_F(ElementGeometryTest, OwnBoxIsCachedAndFullBoxIsRecomputed) {
  FileUnitRecord();
  zelvproElement parent(0, nullptr, Rect(0, 0, 10, 10), nullptr, 0, 0);
  zelvproElement* child = Unit(&parent, kUnit);
  child->SetPosition(ppVector3(1000.0f, 0.0f, 0.0f));
  parent.InvalidateTree();

  const intptr_t p = 1;
  const ppBounds3 own = parent.GetBounds(0, 0);
  EXPECT_FLOAT_EQ(own.centre.x, 1050.0f);
  EXPECT_FLOAT_EQ(own.half.x, 50.0f);
  EXPECT_FLOAT_EQ(own.half.y, 50.0f);

  for (float x : {2000.0f, 3000.0f}) {
    child->SetPosition(ppVector3(x, 0.0f, 0.0f));  // moved without marking the geometry changed
    for (auto [a, flags] : {std::pair{intptr_t{0}, 0}, std::pair{p, 0x240}})
      EXPECT_FLOAT_EQ(parent.GetBounds(a, flags).centre.x, 1050.0f) << a << " " << flags;
    EXPECT_FLOAT_EQ(parent.GetBounds(p, 0).centre.x, x + 50.0f);
  }

  zelvproElement empty(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0);
  empty.InvalidateTree();
  for (auto [a, flags] : {std::pair{intptr_t{0}, 0}, std::pair{p, 0}}) {
    const ppBounds3 box = empty.GetBounds(a, flags);
    EXPECT_TRUE(box.IsEmpty());
    EXPECT_EQ(box.half.x, -8999999488.0f);
  }
  // The element's own layer counts like a child.
  ppShape3D& faces = empty.UnitLayer().faces;
  faces.Begin(9);
  faces.Vertex(0.0f, 0.0f, 0.0f);
  faces.Vertex(40.0f, 0.0f, 0.0f);
  faces.Vertex(0.0f, 10.0f, 0.0f);
  faces.End();
  empty.InvalidateTree();
  EXPECT_FLOAT_EQ(empty.GetBounds(0, 0).half.x, 20.0f);
}

TEST_F(ElementGeometryTest, RenderSceneDrawsPartsAndChildrenInsideThePlacement) {
  std::shared_ptr<TripleWithSet> record = FileUnitRecord();
  zelvproElement root(0, nullptr, Rect(0, 0, 10, 10), nullptr, 0, 0);
  zelvproElement* parent = Unit(&root, kUnit);
  parent->saveId = 41;
  parent->SetPosition(ppVector3(10.0f, 20.0f, 30.0f));
  parent->UnitLayer().code = 1;
  parent->SetStateBits(zelvproElement::kSelectedState);
  zelvproElement* child = Unit(parent, kUnit);
  child->saveId = 42;
  child->SetPosition(ppVector3(5.0f, 0.0f, 0.0f));
  child->UnitLayer().code = 2;

  LoggingContext context;
  LayerLogRenderer renderer(context);
  parent->RenderScene(renderer);
  const std::vector<std::string> expected = {
      "LoadName 41", "PushMatrix",       "MultMatrix 10 20 30", "DrawNode 1 2 1",  // the unit layer
      "PushMatrix",  "MultMatrix 0 0 0", "DrawNode 2003 10 1",  "DrawNode 2004 2 1", "PopMatrix",
      "LoadName 42", "PushMatrix",       "MultMatrix 5 0 0",    "DrawNode 2 0 1",  // the child, inside
      "PushMatrix",  "MultMatrix 0 0 0", "DrawNode 2003 8 1",   "DrawNode 2004 0 1", "PopMatrix",
      "PopMatrix",   "PopMatrix"};
  EXPECT_EQ(context.log, expected);
  // The shared layers lend themselves only while drawing: no element stays their owner.
  EXPECT_EQ(record->layers[0].owner, nullptr);
  EXPECT_EQ(record->layers[0].renderFlags, 0x10008u);
  EXPECT_EQ(parent->changed, 0);
}

TEST_F(ElementGeometryTest, EachElementKeepsItsOwnTextureNamesUntilItsColoursChange) {
  FileUnitRecord();
  const int32_t oak = AddTexture(*db_, 2, 0, 0), pine = AddTexture(*db_, 3, 0, 0);
  const int32_t oakColour = cattest::AddRecord(db_->ColorCatalogFile(), {{"texture3", oak}});
  const int32_t pineColour = cattest::AddRecord(db_->ColorCatalogFile(), {{"texture3", pine}});
  zelvproElement root(0, nullptr, Rect(0, 0, 10, 10), nullptr, 0, 0);
  zelvproElement* a = Unit(&root, kUnit);
  zelvproElement* b = Unit(&root, kUnit);
  a->SetColorRecordId(oakColour);
  b->SetColorRecordId(pineColour);

  LoggingContext context(true);  // keeps names, as a display-list context does
  LayerLogRenderer renderer(context, true);
  for (zelvproElement* e : {a, b, a, b}) e->RenderScene(renderer);
  a->MarkTreeNeedsRedraw();  // its colours changed: the texture is asked for again
  a->RenderScene(renderer);
  const std::vector<std::string> expected = {"CreateTexture 1", "CreateTexture 1", "BindTexture 100",
                                             "BindTexture 101", "CreateTexture 1"};
  std::vector<std::string> textures;
  for (const std::string& line : context.log)
    if (line.find("Texture") != std::string::npos) textures.push_back(line);
  EXPECT_EQ(textures, expected);
}

TEST_F(ElementGeometryTest, HitTestSegmentAnswersInTheContainersFrame) {
  std::shared_ptr<TripleWithSet> record = FileUnitRecord();
  zelvproElement root(0, nullptr, Rect(0, 0, 10, 10), nullptr, 0, 0);
  zelvproElement* element = Unit(&root, kUnit);
  element->SetPosition(ppVector3(1000.0f, 0.0f, 0.0f));
  element->GetBounds(0, 0x240);

  ppRay segment;
  // The shape test meets faces behind the origin, looking along the face's normal (+z).
  segment.origin = ppVector3(1010.0f, 30.0f, 500.0f);
  segment.direction = ppVector3(0.0f, 0.0f, 1.0f);
  ppVector3 hit;
  ppShapePrimitive surface;
  ASSERT_TRUE(element->HitTestSegment(segment, hit, surface));
  EXPECT_NEAR(hit.x, 1010.0f, 1e-3);
  EXPECT_NEAR(hit.y, 30.0f, 1e-3);
  EXPECT_NEAR(hit.z, 0.0f, 1e-3);
  ASSERT_EQ(surface.vertices.size(), 4u);

  segment.origin.x = 900.0f;  // beside the square
  EXPECT_FALSE(element->HitTestSegment(segment, hit, surface));
  segment.origin.x = 1010.0f;
  record->layers[0].renderFlags |= 0x40;  // a layer left out of picking
  EXPECT_FALSE(element->HitTestSegment(segment, hit, surface));
}

TEST_F(ElementGeometryTest, OutlineEdgesOfAClosedPolygon) {
  using picture_tests::Canvas;
  const std::vector<float> xy = {1, 1, 6, 1, 1, 6};
  Handle points = dbtest::HandleOf(std::string(reinterpret_cast<const char*>(xy.data()), xy.size() * 4));
  const ppRGBColor red{100, 0, 0};
  // One pixel inside each edge: 0 along the top, 1 the diagonal, 2 back up to the first point.
  const std::pair<int, int> probes[] = {{3, 1}, {3, 4}, {1, 3}};
  struct Case {
    std::vector<int32_t> flags;
    bool useFlags;
    bool drawn[3];
  };
  const Case cases[] = {{{}, false, {true, true, true}},
                        {{0, 1, 0}, true, {true, false, true}},
                        {{0x2, 0, 1}, true, {true, true, false}},
                        {{1}, true, {false, true, true}}};
  for (const Case& c : cases) {
    Canvas canvas(8, 8);
    ppDC dc(canvas.dc());
    DrawOutlineEdges(points, dc, red, 0, c.useFlags ? &c.flags : nullptr);
    for (int e = 0; e < 3; ++e) {
      const auto [x, y] = probes[e];
      EXPECT_EQ(canvas.At(x, y) == plat::RGB(255, 0, 0), c.drawn[e]) << "edge " << e;
    }
    EXPECT_EQ(dc.GetColorBytes(), (ppRGBColor{0, 0, 0}));  // the normal pen again
  }

  Canvas twice(8, 8), blank(8, 8);
  ppDC dc(twice.dc());
  DrawOutlineEdges(points, dc, red, kOutlineXorMode, nullptr);
  EXPECT_FALSE(twice.SamePixels(blank, 8, 8));
  DrawOutlineEdges(points, dc, red, kOutlineXorMode, nullptr);
  EXPECT_TRUE(twice.SamePixels(blank, 8, 8));
  EXPECT_EQ(dc.GetDrawingMode(), ppDC::kModeCopy);
  MemDispose(points);
}

}  // namespace
