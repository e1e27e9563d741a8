#include "elements/shapes/zelvproShape.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "catalogue/CatalogueTestSupport.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "elements/shapes/zelvproTranslator.h"
#include "foundation/ppVector2.h"
#include "scene3d/context/iShape2D.h"

namespace {

std::vector<ppVector2> Points(Handle h) {
  std::vector<ppVector2> out(static_cast<size_t>(MemGetSize(h)) / 8);
  if (!out.empty()) std::memcpy(out.data(), *h, out.size() * 8);
  return out;
}

struct Recorder : iShape2D {
  void Begin(uint32_t mode) override { log += "B" + std::to_string(mode) + " "; }
  void Vertex(float x, float y) override {
    log += std::to_string(int(x)) + "," + std::to_string(int(y)) + " ";
  }
  void End() override { log += "E"; }
  std::string log;
};

// Counts its deletions so the list test can see every shape go.
struct CountedShape : zelvproShape {
  CountedShape(const zelvproShapeFil& f, const char* r, std::unique_ptr<zelvproShape> n, int* deaths)
      : zelvproShape(f, r, 0, 0, 0.0f, 0.0f, std::move(n)), deaths_(deaths) {}
  ~CountedShape() override { ++*deaths_; }
  int* deaths_;
};

class ShapeTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    db_ = Open();
    zelvproShapeFil& t = db_->ShapeFile();
    t.ClearRecordBuffer(nullptr);
    cattest::SetField(t, "texture", 7);
    cattest::SetField(t, "textureDirection", 0.25);
    cattest::SetWords(t, "points", {F(10), F(0), F(20), F(4), F(-6), F(8)});
  }
  void TearDown() override {
    db_.reset();
    CatalogueTest::TearDown();
  }
  static int32_t F(float v) { return std::bit_cast<int32_t>(v); }
  const zelvproShapeFil& File() { return db_->ShapeFile(); }
  const char* Record() { return db_->ShapeFile().GetRecordBuffer(); }
  std::unique_ptr<zelvproShape> Make(int32_t dx, int32_t dy, float angle, float scale) {
    return std::make_unique<zelvproShape>(File(), Record(), dx, dy, angle, scale);
  }

  std::unique_ptr<zelvDatabase> db_;
};

TEST_F(ShapeTest, ChainTurnsThenMovesThenScales) {
  auto shape = Make(10, 0, std::numbers::pi_v<float> / 2, 2.0f);
  EXPECT_EQ(shape->texture, 7);
  EXPECT_FLOAT_EQ(shape->textureDirection, std::numbers::pi_v<float> / 2 + 0.25f);
  Handle h = shape->ModifiedPoints();
  const std::vector<ppVector2> p = Points(h);
  MemDispose(h);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_NEAR(p[0].x, 5.0f, 1e-4);
  EXPECT_NEAR(p[0].y, 5.0f, 1e-4);
  // The own points stay as the record gave them.
  EXPECT_FLOAT_EQ(Points(shape->points)[0].x, 10.0f);
}

TEST_F(ShapeTest, ScaleAloneHalvesEveryCoordinate) {
  auto shape = Make(0, 0, 0.0f, 2.0f);
  EXPECT_EQ(shape->translator, nullptr);
  EXPECT_EQ(shape->rotator, nullptr);
  Handle h = shape->ModifiedPoints();
  const std::vector<ppVector2> p = Points(h);
  MemDispose(h);
  ASSERT_EQ(p.size(), 3u);
  const float want[3][2] = {{5, 0}, {10, 2}, {-3, 4}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(p[i].x, want[i][0]) << i;
    EXPECT_FLOAT_EQ(p[i].y, want[i][1]) << i;
  }
}

TEST_F(ShapeTest, AddOffsetRoundsAndPutsANewTranslatorFirst) {
  auto shape = Make(0, 0, 0.0f, 2.0f);
  shape->AddOffset(0.4, 0.4);
  ASSERT_NE(shape->translator, nullptr);
  EXPECT_EQ(shape->chain.get(), shape->translator);
  EXPECT_EQ(shape->translator->dx, 0);
  EXPECT_EQ(shape->translator->dy, 0);
  // Halves away from zero; the existing translator takes the sum.
  shape->AddOffset(2.5, -2.5);
  EXPECT_EQ(shape->translator->dx, 3);
  EXPECT_EQ(shape->translator->dy, -3);
  Handle h = shape->ModifiedPoints();
  EXPECT_FLOAT_EQ(Points(h)[0].x, 6.5f);  // moved before the scale: (10 + 3) / 2
  MemDispose(h);
}

TEST_F(ShapeTest, DrawGivesTheOwnPointsAsOnePolygon) {
  auto shape = Make(100, 100, 1.0f, 3.0f);
  Recorder r;
  shape->Draw(r);
  EXPECT_EQ(r.log, "B9 10,0 20,4 -6,8 E");

  // A points blob that ends inside a point keeps the whole points only.
  cattest::SetWords(db_->ShapeFile(), "points", {F(1), F(2), F(3), F(4), F(5)});
  auto cut = Make(0, 0, 0.0f, 0.0f);
  Recorder rc;
  cut->Draw(rc);
  EXPECT_EQ(rc.log, "B9 1,2 3,4 E");
  Handle h = cut->ModifiedPoints();
  EXPECT_EQ(MemGetSize(h), 16);
  MemDispose(h);
}

TEST_F(ShapeTest, DeletingTheFirstShapeDeletesTheList) {
  int deaths = 0;
  std::unique_ptr<zelvproShape> list;
  for (int i = 0; i < 3; ++i)
    list = std::make_unique<CountedShape>(File(), Record(), std::move(list), &deaths);
  list.reset();
  EXPECT_EQ(deaths, 3);
}

}  // namespace
