// Every field of a unit's 3D shape entries reaches its body (depth, position, rotation, flags, and
// in the 64-byte form colour code, texture direction, entry value and group), and a mesh record's
// scale applies to all three axes of its vertices.
#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "CatalogueTestSupport.h"
#include "catalogue/records/zelvproShape3DFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "catalogue/unit3d/UnitLayerCache.h"
#include "catalogue/unit3d/iUnit3DElement.h"
#include "scene3d/objects/qx3DMeshObject.h"

namespace {

using Words = std::vector<int32_t>;

Words Floats(std::initializer_list<float> values) {
  Words w;
  for (float f : values) w.push_back(std::bit_cast<int32_t>(f));
  return w;
}

Words Join(std::initializer_list<Words> parts) {
  Words all;
  for (const Words& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Maps a shape's texture link 3 to colour code 103 and has colour list entry 6 as its default.
struct PlainElement : iUnit3DElement {
  zelvDatabase* database = nullptr;
  zelvDatabase* GetDatabase() override { return database; }
  int32_t MapTextureCode(int32_t code) override { return code + 100; }
  int32_t GetDefaultColorIndex() override { return 6; }
};

class Unit3DEntryTest : public cattest::CatalogueTest {
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
  int32_t Add(ppDatafile& table, cattest::Fields fields,
              std::initializer_list<std::pair<const char*, Words>> blobs) {
    table.ClearRecordBuffer(nullptr);
    for (const auto& [name, value] : fields) cattest::SetField(table, name, value);
    for (const auto& [name, words] : blobs) cattest::SetWords(table, name, words);
    int32_t id = 0;
    table.AddRecord(&id, nullptr);
    return id;
  }
  // The bodies of a unit with these entries, in entry order.
  std::vector<std::unique_ptr<qx3DObject>> Bodies(int32_t useParametrics, const Words& entries) {
    const int32_t unit = Add(db_->UnitFile(), {{"useParametrics", useParametrics}}, {{"shapes3D", entries}});
    std::unique_ptr<qx3DObject> chain =
        db_->UnitFile().BuildUnit3DObjects(unit, element_, nullptr, 0, ppVector3(), 0.0f, 0, 0);
    std::vector<std::unique_ptr<qx3DObject>> bodies;
    while (chain != nullptr) {
      std::unique_ptr<qx3DObject> rest = std::move(chain->next);
      bodies.insert(bodies.begin(), std::move(chain));
      chain = std::move(rest);
    }
    return bodies;
  }

  std::unique_ptr<zelvDatabase> db_;
  PlainElement element_;
};

void ExpectVector(const ppVector3& v, float x, float y, float z, const char* what) {
  EXPECT_EQ(v.x, x) << what;
  EXPECT_EQ(v.y, y) << what;
  EXPECT_EQ(v.z, z) << what;
}

TEST_F(Unit3DEntryTest, BothEntryFormsPlaceTheirBodiesByEveryField) {
  const int32_t square = Add(db_->ShapeFile(), {{"name", "s"}, {"texture", 3}},
                             {{"points", Floats({0, 0, 600, 0, 600, 600, 0, 600})}});
  // id, type, depth, position, rotation, flags.
  const Words head = Join({{square, 0}, Floats({150, 10, 20, 30, 0.5f, 0.25f, 0.125f}), {2}});
  // Short form: 40 bytes. Long form: colour code, texture direction, entry value, a spare word,
  // group and a spare word follow.
  const Words longTail = Join({{7}, Floats({1.5f}), {99, 0, 4, 0}});
  for (const bool longForm : {false, true}) {
    const auto bodies =
        Bodies(longForm ? zelvproUnitFil::kLongShapeEntries : 0, longForm ? Join({head, longTail}) : head);
    ASSERT_EQ(bodies.size(), 1u) << longForm;
    const qx3DObject& body = *bodies[0];
    EXPECT_EQ(body.depth, 150.0f) << longForm;
    ExpectVector(body.position, 10, 20, 30, "position");
    ExpectVector(body.rotation, 0.5f, 0.25f, 0.125f, "rotation");
    EXPECT_EQ(body.flags, 2u) << longForm;
    // The short form takes colour and group from the element, the long form from the entry.
    EXPECT_EQ(body.colorCode, longForm ? 7 : 103) << longForm;
    EXPECT_EQ(body.groupId, longForm ? 4 : 6) << longForm;
    if (longForm) EXPECT_EQ(body.textureDirection, 1.5f);
  }
}

TEST_F(Unit3DEntryTest, AMeshRecordsFlagsChooseFlatNormalsAndNoTextureEachOnItsOwn) {
  Words vertices;
  for (auto [x, y] : {std::pair{0.f, 0.f}, {100.f, 0.f}, {0.f, 100.f}})
    vertices = Join({vertices, Floats({x, y, 0, 0, 0, 0, 0, 1, 0})});
  const struct {
    int32_t flags;
    bool flatNormals, noTexture;
  } cases[] = {
      {0, false, false},
      {zelvproShape3DFil::kNoNormals, true, false},
      {zelvproShape3DFil::kNoTexture, false, true},
      {zelvproShape3DFil::kNoNormals | zelvproShape3DFil::kNoTexture, true, true},
  };
  for (const auto& c : cases) {
    const int32_t mesh =
        Add(db_->Shape3DFile(),
            {{"name", "m"}, {"flags", zelvproShape3DFil::kCurrentForm | c.flags}, {"scale", 1.0}},
            {{"data1", vertices}, {"data2", {1, 3, 0, 1, 2}}});
    const auto bodies = Bodies(zelvproUnitFil::kLongShapeEntries,
                               Join({{mesh, 4}, Floats({0, 0, 0, 0, 0, 0, 0}), Words(9, 0)}));
    ASSERT_EQ(bodies.size(), 1u) << c.flags;
    const auto* body = dynamic_cast<const qx3DMeshObject*>(bodies[0].get());
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->flatNormals, c.flatNormals) << c.flags;
    EXPECT_EQ(body->option4, c.noTexture) << c.flags;
  }
}

TEST_F(Unit3DEntryTest, AMeshIsScaledInEveryAxisAndKeepsItsEntryValue) {
  // A quad of four 36-byte vertices (position, texture, normal, a spare word) off every axis.
  Words vertices;
  for (auto [x, y] : {std::pair{10.f, 20.f}, {110.f, 20.f}, {110.f, 120.f}, {10.f, 120.f}})
    vertices = Join({vertices, Floats({x, y, 30, 0, 0, 0, 0, 1, 0})});
  const int32_t mesh =
      Add(db_->Shape3DFile(), {{"name", "m"}, {"flags", zelvproShape3DFil::kCurrentForm}, {"scale", 2.5}},
          {{"data1", vertices}, {"data2", {1, 4, 0, 1, 2, 3}}, {"data3", {}}});
  const Words entry = Join({{mesh, 4}, Floats({0, 0, 0, 0, 0, 0, 0}), {0}, {9}, Floats({0}), {77, 0, 0, 0}});
  const auto bodies = Bodies(zelvproUnitFil::kLongShapeEntries, entry);
  ASSERT_EQ(bodies.size(), 1u);
  const auto* body = dynamic_cast<const qx3DMeshObject*>(bodies[0].get());
  ASSERT_NE(body, nullptr);
  ASSERT_EQ(body->vertices.size(), 4u);
  const float expected[][3] = {{25, 50, 75}, {275, 50, 75}, {275, 300, 75}, {25, 300, 75}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(body->vertices[i].x, expected[i][0]) << i;
    EXPECT_EQ(body->vertices[i].y, expected[i][1]) << i;
    EXPECT_EQ(body->vertices[i].z, expected[i][2]) << i;
  }
  EXPECT_EQ(body->entryValue, 77u);
  EXPECT_EQ(body->colorCode, 9);
}

}  // namespace
