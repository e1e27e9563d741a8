// The part-table queries of a top-view element: keyed parts and the dimension lines of the parts
// that stretch with the element.
#include <gtest/gtest.h>

#include <array>

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
  // The table as {shape, 3D shape, key} triples.
  static std::vector<std::array<int32_t, 3>> Triples(const zelvproTopViewElement& e) {
    std::vector<std::array<int32_t, 3>> out;
    for (const Part& p : e.partTable) out.push_back({p.shape, p.shape3D, p.key});
    return out;
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

// The table is made from the top-view record's units when a unit is placed and again when its plan is
// opened: the footprint is each unit's first outline, the 3D part the first mesh record its long 3D
// entries name.
TEST_F(PartTableTest, TheTableComesFromTheTopViewsUnitsWhenPlacedAndWhenReopened) {
  zelvDatabase& db = MakeDatabase();
  const int32_t footprint = AddShape(db, {0, 0, 600, 0, 600, 560, 0, 560});
  const int32_t other = AddShape(db, {0, 0, 10, 0, 10, 10});
  const int32_t measured = Add3DShape(db, 0x20 | 0x80 | zelvproTopViewElement::kTakesElementSize);
  const int32_t tap = Add3DShape(db, 0x20);
  eltest::Words box = eltest::Shape3DEntry(footprint, 1), first = eltest::Shape3DEntry(measured, 1),
                second = eltest::Shape3DEntry(tap, 1);
  first[1] = second[1] = 4;  // meshes
  const int32_t cabinet = AddUnit(db, {{"id", 501}, {"useParametrics", zelvproUnitFil::kLongShapeEntries}},
                                  {{"shapes", {footprint, 0, 0, 0, 0, 0, other, 0, 0, 0, 0, 0}},
                                   {"shapes3D", eltest::Join({box, first, second})}});
  // 40-byte entries name 2D shapes only, whatever their type.
  const int32_t legacy =
      AddUnit(db, {{"id", 502}},
              {{"shapes", {other, 0, 0, 0, 0, 0}}, {"shapes3D", {measured, 4, 0, 0, 0, 0, 0, 0, 0, 0}}});
  const int32_t topView = AddTopView(db, {{"ID", 1}}, {{"Units", {cabinet, 0, legacy, 7, 9999, 3}}});
  const std::vector<std::array<int32_t, 3>> expected = {
      {footprint, measured, 0}, {other, 0, 7}, {0, 0, 3}};  // a unit that is gone gives only its key

  auto placed = MakeOwned(db, topView);
  EXPECT_EQ(Triples(*placed), expected);
  zelvproDocModuleFil& module = Module(db);
  placed->WriteRecord(module, false, 0);
  zelvproTopViewElement reopened(nullptr, module, false);
  EXPECT_EQ(Triples(reopened), expected);
  std::vector<PlanAnnotation> lines;
  reopened.CollectStretchDimensions(lines);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].x, 600.0);  // not made to measure: the footprint's width
  EXPECT_EQ(lines[0].z, 560.0);
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
