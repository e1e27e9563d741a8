// A legacy 3D shape record (form bit 0 clear) is converted as it is read: the conversion decides the
// form bits (current form, no normals, no texture) and keeps the part kinds the catalogue gave the
// record (stretch along x, y, z and the keyed part), both on reading and when every record is
// rewritten.
#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "catalogue/records/zelvproShape3DFil.h"

namespace {

using cattest::CatalogueTest;

TEST_F(CatalogueTest, ALegacyShapeKeepsItsPartKindsThroughTheConversion) {
  auto db = Open();
  zelvproShape3DFil& shapes = db->Shape3DFile();
  ppDatafile raw("qx3DShape", *db);
  const std::vector<int32_t> vertex = {0, 0, 0}, uv = {0, 0}, normal = {0, 0, 1};
  const struct {
    const char* what;
    int32_t stored;
    bool texture, normals;
    int32_t read;
  } cases[] = {
      {"no part kind", 0, true, false, 9 | 2},
      {"keyed part stretching in x", 0x2000 | 0x20, true, true, 0x2000 | 0x20 | 9},
      {"stretching on every axis", 0x20 | 0x40 | 0x80, false, false, 0xE0 | 9 | 4 | 2},
      // The old form bits say nothing of the converted mesh: they come from its data again.
      {"stale form bits", 0x40 | 2 | 4 | 8, true, true, 0x40 | 9},
      {"every high bit", int32_t(0xFFFFFFF0u), false, true, int32_t(0xFFFFFFF0u) | 9 | 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    raw.ClearRecordBuffer(nullptr);
    cattest::SetField(raw, "flags", c.stored);
    cattest::SetWords(raw, "data1", vertex);
    if (c.texture) cattest::SetWords(raw, "data3", uv);
    if (c.normals) cattest::SetWords(raw, "data4", normal);
    int32_t id = 0;
    raw.AddRecord(&id, nullptr);
    shapes.ReadRecord(id, nullptr);
    EXPECT_EQ(cattest::LongField(shapes, "flags"), c.read);
    shapes.ConvertAll(0);
    raw.ReadRecord(id, nullptr);
    EXPECT_EQ(cattest::LongField(raw, "flags"), c.read);
  }
}

}  // namespace
