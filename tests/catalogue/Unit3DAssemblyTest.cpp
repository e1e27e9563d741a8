// The unit 3D assembly on temporary catalogues and the demo catalogue: layers by group and colour,
// the cache, elements with a size of their own, both entry forms, meshes and parametric parts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "CatalogueTestSupport.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproParametricFil.h"
#include "catalogue/records/zelvproShape3DFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "catalogue/unit3d/UnitLayerCache.h"
#include "catalogue/unit3d/iUnit3DElement.h"
#include "scene3d/objects/iLayerOwner.h"
#include "scene3d/objects/qx3DParametricObject.h"
#include "support/DemoSettings.h"

namespace {

using Words = std::vector<int32_t>;

int32_t Bits(float f) {
  int32_t w;
  std::memcpy(&w, &f, 4);
  return w;
}

Words Floats(std::initializer_list<float> values) {
  Words w;
  for (float f : values) w.push_back(Bits(f));
  return w;
}

Words Join(std::initializer_list<Words> parts) {
  Words all;
  for (const Words& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

int32_t Add(ppDatafile& table, cattest::Fields fields,
            std::initializer_list<std::pair<const char*, Words>> blobs = {}) {
  table.ClearRecordBuffer(nullptr);
  for (const auto& [name, value] : fields) cattest::SetField(table, name, value);
  for (const auto& [name, words] : blobs) cattest::SetWords(table, name, words);
  int32_t id = 0;
  table.AddRecord(&id, nullptr);
  return id;
}

// A 3D shape entry: 40 bytes, or 64 with colour code, texture direction and group.
Words Entry(int32_t id, int32_t type, float depth, bool longForm = false, int32_t color = 0,
            int32_t group = 0) {
  Words e = Join({{id, type}, Floats({depth, 0, 0, 0, 0, 0, 0}), {0}});
  if (longForm) e = Join({e, {color}, Floats({0}), {0, 0, group, 0}});
  return e;
}

struct FakeElement : iUnit3DElement {
  zelvDatabase* database = nullptr;
  uint32_t flags = 0;
  int32_t depthId = 0;
  ppVector3 own;
  int32_t GetDepthRecordId() override { return depthId; }
  zelvDatabase* GetDatabase() override { return database; }
  uint32_t GetFlags() override { return flags; }
  ppVector3 GetOwnSize() override { return own; }
};

class Unit3DTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    UnitLayerCache::Clear();
    db_ = Open();
    element_.database = db_.get();
  }
  void TearDown() override {
    UnitLayerCache::Clear();
    db_.reset();
    CatalogueTest::TearDown();
  }
  int32_t Shape(int32_t texture, const Words& points, const Words& attributes = {}) {
    return Add(db_->ShapeFile(), {{"name", "s"}, {"texture", texture}},
               {{"points", points}, {"attributes", attributes}});
  }
  static Words Square() { return Floats({0, 0, 600, 0, 600, 600, 0, 600}); }

  std::unique_ptr<zelvDatabase> db_;
  FakeElement element_;
};

bool Finite(const ppShape3D& shape) {
  for (const ppShapePrimitive& p : shape.Primitives())
    for (const ppShapeVertex& v : p.vertices)
      for (float f : {v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y, v.normal.z})
        if (!std::isfinite(f)) return false;
  return true;
}

TEST_F(Unit3DTest, LayersFollowGroupAndColourAndAreCachedPerUnitDepthAndCatalogue) {
  const int32_t a = Shape(3, Square()), b = Shape(5, Square());
  const int32_t unit =
      Add(db_->UnitFile(), {{"useParametrics", 0}},
          {{"shapes3D", Join({Entry(a, 0, 100), Entry(b, 0, 50), Entry(0, 2, 10), Entry(a, 4, 10)})}});
  element_.depthId = 7;
  auto layers = db_->UnitFile().GetUnitLayer3D(unit, element_);
  ASSERT_EQ(layers->layers.size(), 2u);
  const qxUnitLayer3D &three = layers->layers[0], &five = layers->layers[1];
  EXPECT_EQ(three.code, 3);
  EXPECT_EQ(five.code, 5);
  EXPECT_EQ(three.faces.GetCount(), 8u);  // the square's body; the short-form mesh adds nothing
  EXPECT_EQ(three.edges.GetCount(), 12u);
  EXPECT_EQ(five.faces.GetCount(), 8u + 3 * 16 + 2);    // the entry without a shape id reuses b, as a pipe
  EXPECT_EQ(three.GetRenderFlags() & 0xFFFF, 0xFFFFu);  // no owner yet
  struct Owner : iLayerOwner {
    uint32_t GetRenderFlags() override { return 0x40; }
  } owner;
  qxUnitLayer3D owned = five;
  owned.owner = &owner;
  EXPECT_EQ(owned.GetRenderFlags(), 0x48u);
  EXPECT_EQ(three.renderFlags, 0u);
  EXPECT_EQ(five.renderFlags, qxUnitLayer3D::kRoundBodies);
  const double id = db_->Identifier();
  EXPECT_EQ(three.faces.Values().Values(), std::vector<double>({id, double(unit), 7, 3, 1.0}));
  EXPECT_EQ(five.edges.Values().Values(), std::vector<double>({id, double(unit), 7, 5, 2.0}));
  EXPECT_TRUE(Finite(five.faces));

  EXPECT_EQ(db_->UnitFile().GetUnitLayer3D(unit, element_), layers);
  EXPECT_EQ(UnitLayerCache::Size(), 1u);
  element_.depthId = 8;
  EXPECT_NE(db_->UnitFile().GetUnitLayer3D(unit, element_), layers);
  EXPECT_EQ(UnitLayerCache::Size(), 2u);

  element_.flags = iUnit3DElement::kOwnSizeX;
  auto own = db_->UnitFile().GetUnitLayer3D(unit, element_);
  EXPECT_EQ(own->unitId, -unit);
  EXPECT_EQ(own->depthId, 0);
  EXPECT_EQ(own->layers.size(), 2u);
  EXPECT_TRUE(own->layers[0].faces.Values().IsPlaceholder());
  EXPECT_EQ(UnitLayerCache::Size(), 2u);

  element_.flags = 0;
  auto none = db_->UnitFile().GetUnitLayer3D(0, element_);
  EXPECT_TRUE(none->layers.empty());
  EXPECT_EQ(db_->UnitFile().GetUnitLayer3D(0, element_), none);
}

TEST_F(Unit3DTest, TheLastDepthVariantForTheElementsDepthGivesTheBodies) {
  const int32_t a = Shape(3, Square()), b = Shape(4, Square()), c = Shape(5, Square());
  auto unitOf = [&](int32_t shape) {
    return Add(db_->UnitFile(), {{"useParametrics", 0}}, {{"shapes3D", Entry(shape, 0, 10)}});
  };
  const int32_t second = unitOf(b), third = unitOf(c);
  const int32_t unit = Add(db_->UnitFile(), {{"useParametrics", 0}, {"flags", 2}},
                           {{"shapes3D", Entry(a, 0, 10)}, {"depthUnits", {6, second, 7, second, 7, third}}});
  const struct { int32_t depth, code; } cases[] = {{7, 5}, {6, 4}, {9, 3}};
  for (const auto& k : cases) {
    element_.depthId = k.depth;
    auto layers = db_->UnitFile().GetUnitLayer3D(unit, element_);
    ASSERT_EQ(layers->layers.size(), 1u);
    EXPECT_EQ(layers->layers[0].code, k.code) << k.depth;
  }
}

TEST_F(Unit3DTest, LongEntriesCarryTheirColourAndGroupAndNameMeshes) {
  const int32_t a = Shape(3, Square());
  // A quad of four 36-byte vertices (position, texture, normal, a spare word), flat-shaded, scaled by 2.
  Words vertices;
  for (auto [x, y] : {std::pair{0.f, 0.f}, {100.f, 0.f}, {100.f, 100.f}, {0.f, 100.f}})
    vertices = Join({vertices, Floats({x, y, 0, 0.25f, 0.5f, 0, 0, 1, 0})});
  const int32_t mesh = Add(db_->Shape3DFile(), {{"name", "m"}, {"flags", 1 | 2}, {"scale", 2.0}},
                           {{"data1", vertices}, {"data2", {1, 4, 0, 1, 2, 3}}, {"data3", {0, 1, 0}}});
  // A record without vertices (one that only marks the unit's measured parts) makes no body either.
  const int32_t partsOnly =
      Add(db_->Shape3DFile(), {{"name", "p"}, {"flags", 1 | 0x20 | 0x80}, {"scale", 1.0}});
  const int32_t unit = Add(db_->UnitFile(), {{"useParametrics", zelvproUnitFil::kLongShapeEntries}},
                           {{"shapes3D", Join({Entry(a, 0, 100, true, 7, 2), Entry(a, 5, 100, true, 8, 0),
                                               Entry(mesh, 4, 0, true, 9, 0), Entry(999, 4, 0, true, 10, 0),
                                               Entry(partsOnly, 4, 0, true, 11, 0)})}});
  auto layers = db_->UnitFile().GetUnitLayer3D(unit, element_);
  ASSERT_EQ(layers->layers.size(), 2u);  // the type-5 entry and the two meshes without vertices make none
  EXPECT_EQ(layers->layers[0].code, 9);
  EXPECT_EQ(layers->layers[1].code, 2007);
  const auto& quad = layers->layers[0].faces.Primitives();
  ASSERT_EQ(quad.size(), 1u);
  ASSERT_EQ(quad[0].vertices.size(), 4u);
  EXPECT_EQ(quad[0].vertices[2].position.x, 200.0f);
  EXPECT_EQ(quad[0].vertices[0].texture.x, 1.0f);
  EXPECT_EQ(layers->layers[0].edges.GetCount(), 1u);
}

TEST_F(Unit3DTest, ParametricPartsStretchToThePlacementTheUnitAndTheElement) {
  // A strip whose two right-hand points shift and scale in x.
  const int32_t strip = Shape(4, Floats({0, 0, 600, 0, 600, 100, 0, 100}), {0, 2 | 4, 2 | 4, 0});
  auto facet = [](int32_t shape, uint32_t x, uint32_t z) {
    return Join(
        {{shape, 0}, Floats({600, 0, 500, 1, 2, 3}), {int32_t(x), 0, int32_t(z), 0, 300}, Floats({0.25f})});
  };
  const Words facets = Join({facet(strip, 1 | 4 | 8, 0x40 | 0x80), facet(0, 0, 0)});
  const int32_t record =
      Add(db_->ParametricFile(), {{"name", "p"}, {"width", 600.0}, {"height", 700.0}, {"depth", 500.0}},
          {{"facets", facets}});
  const int32_t flat =
      Add(db_->ParametricFile(), {{"name", "z"}, {"width", 0.0}, {"height", 0.0}, {"depth", 0.0}},
          {{"facets", facet(strip, 1 | 4 | 8, 0x40 | 0x80)}});
  auto placement = [](int32_t id, float x, int32_t flags) {
    return Join({{id}, Floats({10, 20, 30, 0, 0, 0, x, 700, 500}), {flags}});
  };
  const int32_t unit = Add(db_->UnitFile(),
                           {{"useParametrics", zelvproUnitFil::kHasParametrics},
                            {"width", 900.0},
                            {"height", 700.0},
                            {"depth", 1000.0}},
                           {{"parametrics", Join({placement(0, 700, 0), placement(record, 700, 4),
                                                  placement(record, 600, 0), placement(flat, 700, 0)})}});
  std::unique_ptr<qx3DObject> chain =
      db_->UnitFile().BuildUnit3DObjects(unit, element_, nullptr, 0, ppVector3(), 0.0f, 0, 0);
  std::vector<qx3DParametricObject*> parts;  // in the order made
  for (qx3DObject* p = chain.get(); p != nullptr; p = p->next.get())
    parts.insert(parts.begin(), dynamic_cast<qx3DParametricObject*>(p));
  ASSERT_EQ(parts.size(), 5u);  // record id 0 adds none
  for (auto* part : parts) {
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->kind, qx3DObject::kParametric);
    EXPECT_EQ(part->groupId, -1);
    EXPECT_EQ(part->position.z, 30.0f);
  }
  // Offset 100, scale 700/600 x 900/600 = 1.75: shifted first, then scaled. Z: fixed, scale 1.
  EXPECT_FLOAT_EQ(parts[0]->outline[1].x, 1225.0f);
  EXPECT_EQ(parts[0]->outline[0].x, 0.0f);
  EXPECT_FLOAT_EQ(parts[0]->secondTranslation.x, 1225.0f);
  EXPECT_FLOAT_EQ(parts[0]->secondTranslation.z, 500.0f);
  EXPECT_EQ(parts[0]->secondRotation.z, 3.0f);
  EXPECT_EQ(parts[1]->outline[1].x, 600.0f);  // shape id 0 reuses the strip; its X word acts on nothing
  // At the reference width: offset 0, scale 900/600; Z follows the unit depth: 500 x 1000/500.
  EXPECT_FLOAT_EQ(parts[2]->outline[1].x, 900.0f);
  EXPECT_FLOAT_EQ(parts[2]->secondTranslation.z, 1000.0f);
  // A reference size of 0 leaves the axis unscaled: only the offset 700 - 0 applies.
  EXPECT_FLOAT_EQ(parts[4]->outline[1].x, 1300.0f);
  EXPECT_TRUE(std::isfinite(parts[4]->secondTranslation.z));
}

// The demo's units made to measure are drawn from parametric faces: at a size of their own each of
// their placements is a closed box of the placement's size grown by the element's growth, and every
// face is turned outwards (its triangles wind counter-clockwise seen from outside), so that no face is
// culled when seen from outside. A turn that reads a size draws the faces edge-on across the room.
TEST_F(Unit3DTest, TheDemosMadeToMeasureUnitsAreBoxesOfOutwardFacesAtTheirOwnSize) {
  DemoSettings demo;
  ppFileSpec fileRecord(Vcon::WString(demo.File("catalogs/kitchen.cdb").string().c_str()));
  auto kitchen = std::make_unique<zelvDatabase>(fileRecord);
  zelvproUnitFil& units = kitchen->UnitFile();
  auto unitNamed = [&](const std::string& name) {
    units.SelectAll();
    for (int32_t i = 0; i < units.GetSelectedCount(); ++i) {
      units.ReadRecordAt(i, nullptr);
      if (std::string(RecordField(units, "name").Text(units.GetRecordBuffer()).c_str()) == name)
        return units.RecordIdAt(i);
    }
    return 0;
  };
  struct Box {
    ppVector3 min, max;
  };
  struct Case {
    const char* unit;
    uint32_t flags;
    ppVector3 own;
    std::vector<Box> boxes;  // of the placements, in order
  } cases[] = {
      {"WT",
       iUnit3DElement::kOwnSizeX | iUnit3DElement::kOwnSizeZ,
       ppVector3(1500, 40, 650),
       {{ppVector3(0, 0, 0), ppVector3(1500, 40, 650)}}},
      {"WT", 0, ppVector3(), {{ppVector3(0, 0, 0), ppVector3(1000, 40, 600)}}},
      // As a placed worktop has it: 560 deep from the first depth record, not read without the z bit.
      {"WT",
       iUnit3DElement::kOwnSizeX,
       ppVector3(1500, 40, 560),
       {{ppVector3(0, 0, 0), ppVector3(1500, 40, 600)}}},
      {"FP",
       iUnit3DElement::kOwnSizeX,
       ppVector3(150, 720, 560),
       {{ppVector3(0, 0, 560), ppVector3(150, 720, 579)},
        {ppVector3(0, -99.9f, 504), ppVector3(150, 0.1f, 520)}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.unit) + " " + std::to_string(c.own.x));
    FakeElement element;
    element.database = kitchen.get();
    element.flags = c.flags;
    element.own = c.own;
    const int32_t unit = unitNamed(c.unit);
    ASSERT_NE(unit, 0);
    std::unique_ptr<qx3DObject> chain =
        units.BuildUnit3DObjects(unit, element, nullptr, 0, ppVector3(), 0.0f, 0, 0);
    std::vector<qx3DObject*> parts;  // in the order made
    for (qx3DObject* p = chain.get(); p != nullptr; p = p->next.get()) parts.insert(parts.begin(), p);
    ASSERT_EQ(parts.size(), 6 * c.boxes.size()) << "six faces a placement, no other body";
    for (size_t b = 0; b < c.boxes.size(); ++b) {
      // The corners of the placement's faces, and each face's triangles as placed.
      std::vector<std::array<ppVector3, 3>> triangles;
      ppVector3 lo(1e9f, 1e9f, 1e9f), hi(-1e9f, -1e9f, -1e9f);
      for (size_t f = 6 * b; f < 6 * b + 6; ++f) {
        ASSERT_EQ(parts[f]->kind, qx3DObject::kParametric);
        parts[f]->BuildOwnFaces();
        const ppMatrix4 m = parts[f]->GetTransform();
        for (size_t i = 0; i < parts[f]->FaceCount(); ++i) {
          uint32_t n = 0;
          const VertexRecord* v = parts[f]->FaceAt(i, &n);
          ASSERT_EQ(n, 3u);
          std::array<ppVector3, 3> t;
          for (uint32_t k = 0; k < 3; ++k) {
            m.TransformPoint(t[k], ppVector3(v[k].x, v[k].y, v[k].z));
            lo = ppVector3(std::min(lo.x, t[k].x), std::min(lo.y, t[k].y), std::min(lo.z, t[k].z));
            hi = ppVector3(std::max(hi.x, t[k].x), std::max(hi.y, t[k].y), std::max(hi.z, t[k].z));
          }
          triangles.push_back(t);
        }
      }
      const Box& want = c.boxes[b];
      for (auto [got, expected] : {std::pair{lo, want.min}, std::pair{hi, want.max}}) {
        EXPECT_NEAR(got.x, expected.x, 0.05f) << "placement " << b;
        EXPECT_NEAR(got.y, expected.y, 0.05f) << "placement " << b;
        EXPECT_NEAR(got.z, expected.z, 0.05f) << "placement " << b;
      }
      const ppVector3 middle((lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2);
      float area = 0;
      for (const auto& t : triangles) {
        const ppVector3 u(t[1].x - t[0].x, t[1].y - t[0].y, t[1].z - t[0].z);
        const ppVector3 w(t[2].x - t[0].x, t[2].y - t[0].y, t[2].z - t[0].z);
        const ppVector3 normal(u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x);
        const ppVector3 out((t[0].x + t[1].x + t[2].x) / 3 - middle.x,
                            (t[0].y + t[1].y + t[2].y) / 3 - middle.y,
                            (t[0].z + t[1].z + t[2].z) / 3 - middle.z);
        EXPECT_GT(normal.x * out.x + normal.y * out.y + normal.z * out.z, 0.0f) << "a face turned inwards";
        area += 0.5f * std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
      }
      // Closed: the faces cover the box's surface once.
      const float x = hi.x - lo.x, y = hi.y - lo.y, z = hi.z - lo.z;
      EXPECT_NEAR(area, 2 * (x * y + y * z + z * x), 1e-3f * area) << "placement " << b;
    }
  }
}

TEST_F(Unit3DTest, EveryDemoUnitBuildsFiniteLayers) {
  DemoSettings demo;
  ppFileSpec fileRecord(Vcon::WString(demo.File("catalogs/kitchen.cdb").string().c_str()));
  auto kitchen = std::make_unique<zelvDatabase>(fileRecord);
  FakeElement element;
  element.database = kitchen.get();
  zelvproUnitFil& units = kitchen->UnitFile();
  units.SelectAll();
  std::vector<int32_t> ids;
  for (int32_t i = 0; i < units.GetSelectedCount(); ++i) ids.push_back(units.RecordIdAt(i));
  size_t layers = 0;
  for (int32_t id : ids) {
    std::shared_ptr<TripleWithSet> record;
    try {
      record = units.GetUnitLayer3D(id, element);
    } catch (int32_t e) {
      FAIL() << "unit " << id << " error " << e;
    }
    for (const qxUnitLayer3D& layer : record->layers) {
      ++layers;
      EXPECT_TRUE(Finite(layer.faces)) << id << " " << layer.code;
    }
  }
  EXPECT_GT(layers, 0u);
  UnitLayerCache::Clear();
}

}  // namespace
