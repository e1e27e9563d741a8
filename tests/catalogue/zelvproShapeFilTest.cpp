#include <gtest/gtest.h>

#include <bit>
#include <string>

#include "CatalogueTestSupport.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"

namespace {

using cattest::CatalogueTest;
using cattest::SetWords;
using Words = std::vector<int32_t>;

int32_t F(float value) { return std::bit_cast<int32_t>(value); }

Words WordsOf(ppDatafile& table, const char* field) {
  return RecordField(table, field).Words(table.GetRecordBuffer());
}

int32_t AddShape(ppDatafile& shapes, const Words& points, const Words& attributes) {
  shapes.ClearRecordBuffer(nullptr);
  cattest::SetField(shapes, "name", "outline");
  SetWords(shapes, "points", points);
  SetWords(shapes, "attributes", attributes);
  int32_t id = 0;
  shapes.AddRecord(&id, nullptr);
  return id;
}

TEST_F(CatalogueTest, ShapesAreConvertedFromTheirCatalogueVersion) {
  const Words five = {F(0), F(0), F(1), F(0), F(1), F(1), F(0), F(1), F(2), F(2)};
  const struct {
    int32_t from;
    Words points, attributes, convertedPoints, convertedAttributes;
  } cases[] = {
      {0, {10, 20, 30, 40}, {}, {F(10), F(20), F(30), F(40)}, {0, 0}},
      {0, {-7, 3}, {5, 6, 7}, {F(-7), F(3)}, {0}},
      {1, five, {}, five, {0, 0, 0, 0, 0}},
      {2, five, {9}, five, {0, 0, 0, 0, 0}},
      {3, {10, 20}, {9, 9}, {10, 20}, {9, 9}},
      {4, {10, 20}, {}, {10, 20}, {}},
  };
  for (const auto& c : cases) {
    auto db = Open(std::to_string(c.from) + "-" + std::to_string(c.points.size()) + ".cdb");
    zelvproShapeFil& shapes = db->ShapeFile();
    const int32_t id = AddShape(shapes, c.points, c.attributes);
    const int32_t empty = AddShape(shapes, {}, {});
    shapes.ConvertShapes(c.from, 4);
    shapes.ReadRecord(id, nullptr);
    EXPECT_EQ(WordsOf(shapes, "points"), c.convertedPoints) << c.from;
    EXPECT_EQ(WordsOf(shapes, "attributes"), c.convertedAttributes) << c.from;
    Vcon::String name;
    shapes.GetDisplayText(name, nullptr);
    EXPECT_EQ(name, "outline");
    shapes.ReadRecord(empty, nullptr);
    EXPECT_EQ(WordsOf(shapes, "points"), Words{});
  }
}

TEST_F(CatalogueTest, OpeningAVersionZeroCatalogueConvertsShapesSnapPointsAndRoundBodies) {
  int32_t shape = 0, topView = 0, unit = 0;
  // A 40-byte 3D shape entry: a round body (type 3) with flags 1.
  Words roundBody(10, 0);
  roundBody[1] = 3;
  roundBody[9] = 1;
  {
    auto db = Open();
    shape = AddShape(db->ShapeFile(), {10, 20, 30, 40}, {});
    zelvproTopViewFil& topViews = db->TopViewFile();
    topViews.ClearRecordBuffer(nullptr);
    const int64_t z = std::bit_cast<int64_t>(1.5);
    SetWords(topViews, "Snappoints", {7, 10, 20, 0x5555, int32_t(z), int32_t(z >> 32), 9, 0x6666});
    topViews.AddRecord(&topView, nullptr);
    db->UnitFile().ClearRecordBuffer(nullptr);
    SetWords(db->UnitFile(), "shapes3D", roundBody);
    db->UnitFile().AddRecord(&unit, nullptr);
    cattest::ChangeSettings(*db, {{"version", 0}});
  }
  auto db = Open();
  EXPECT_EQ(db->SettingsFile().Version(), 4);
  db->ShapeFile().ReadRecord(shape, nullptr);
  EXPECT_EQ(WordsOf(db->ShapeFile(), "points"), (Words{F(10), F(20), F(30), F(40)}));
  EXPECT_EQ(WordsOf(db->ShapeFile(), "attributes"), (Words{0, 0}));
  db->TopViewFile().ReadRecord(topView, nullptr);
  EXPECT_EQ(WordsOf(db->TopViewFile(), "Snappoints"), (Words{7, F(10), 0, F(20), F(1.5f), 9, 0, 0, 0}));
  db->UnitFile().ReadRecord(unit, nullptr);
  roundBody[9] = 0;
  EXPECT_EQ(WordsOf(db->UnitFile(), "shapes3D"), roundBody);
}

}  // namespace
