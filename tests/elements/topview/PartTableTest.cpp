// The part-table queries of a top-view element: keyed parts and the dimension lines of the parts
// that stretch with the element.
#include <gtest/gtest.h>

#include "catalogue/records/zelvproShape3DFil.h"
#include "elements/topview/TopViewTestSupport.h"
#include "elements/topview/qxFeature.h"

namespace {

using Part = zelvproTopViewElement::CataloguePart;

class PartTableTest : public tvtest::TopViewTest {
 protected:
  // A current-form mesh record (a legacy one has its flags replaced when it is read).
  static int32_t Add3DShape(zelvDatabase& db, int32_t flags) {
    return cattest::AddRecord(db.Shape3DFile(), {{"flags", flags | zelvproShape3DFil::kCurrentForm}});
  }
};

TEST_F(PartTableTest, OnlyAKeyedPartWithAKeyInTheSetCounts) {
  zelvDatabase& db = MakeDatabase();
  auto element = MakeOwned(db, AddTopView(db, {{"ID", 1}}));
  const int32_t keyed = Add3DShape(db, 0x2000 | 0x20), plain = Add3DShape(db, 0x20);
  const struct {
    Part part;
    bool expected;
  } kCases[] = {
      {{0, keyed, 5}, true},
      {{0, keyed, 6}, false},  // key not in the set
      {{0, plain, 5}, false},  // not a keyed part
      {{0, 0, 5}, false},      // no 3D shape record: never read
  };
  for (const auto& c : kCases) {
    element->partTable = {c.part};
    EXPECT_EQ(element->HasPartWithKeyIn({4, 5}), c.expected) << c.part.shape3D << " " << c.part.key;
  }
  element->partTable = {{0, plain, 5}, {0, keyed, 4}};
  EXPECT_TRUE(element->HasPartWithKeyIn({4}));
  EXPECT_FALSE(element->HasPartWithKeyIn({}));
}

TEST_F(PartTableTest, StretchDimensionsTakeTheElementSizeOrThePartLength) {
  zelvDatabase& db = MakeDatabase();
  auto element = MakeOwned(db, AddTopView(db, {{"ID", 1}}));
  element->flags = 0x20000000;
  element->dimensions = ppVector3(800, 720, 560);
  element->position = ppVector3(100, 1500, 0);
  const int32_t shape = AddShape(db, {0, 0, 450, 0, 450, 600, 0, 600});
  element->partTable = {
      {shape, Add3DShape(db, 0x20), 1},    // width: the element stretches in x, so its own size
      {shape, Add3DShape(db, 0x80), 2},    // depth: the element does not stretch in z, so the shape's 600
      {shape, 0, 3},                       // no 3D shape: skipped
      {shape, Add3DShape(db, 0x2000), 4},  // measures nothing
  };
  std::vector<PlanAnnotation> lines(1);
  element->CollectStretchDimensions(lines);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].x, 800.0);
  EXPECT_FALSE(lines[1].z.has_value());
  EXPECT_FALSE(lines[2].x.has_value());
  EXPECT_EQ(lines[2].z, 600.0);
  EXPECT_EQ(lines[2].owner, element.get());
  EXPECT_TRUE(lines[2].below);
  EXPECT_TRUE(lines[2].raised);
}

TEST_F(PartTableTest, AFeatureSetsNoKind) {
  zelvDatabase& db = MakeDatabase();
  const int32_t topView = AddTopView(db, {{"ID", 1}});
  db.TopViewFile().ReadRecord(topView, nullptr);
  qxFeature feature(topView, nullptr, eltest::Rect(0, 0, 10, 10), db.TopViewFile().GetRecordBuffer(),
                    db.ShapeFile());
  EXPECT_EQ(feature.kind, 0) << "the kind of the top-view record, never the wall body's 1024";
}

}  // namespace
