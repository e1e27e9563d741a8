// Record layouts: binding fields to handlers at aligned offsets, the usable field count, and the
// program's own DICT layouts with their quirks.
#include <gtest/gtest.h>

#include <cstring>

#include "database/dbErrors.h"
#include "database/dbLongHandler.h"
#include "DbTestSupport.h"
#include "LayoutTestSupport.h"
#include "foundation/ResourceAccess.h"

using dbtest::ErrorOf;
using dbtest::FieldSpec;
using dbtest::MakeLayout;

namespace {

TEST(LayoutTest, FieldsSitAtTheirAlignedOffsets) {
  const auto bytes = MakeLayout(1, {{"a", 2}, {"q", 17}, {"t", 1}, {"d", 4}, {"b", 7}});
  dbRecordLayout layout(bytes.data(), uint32_t(bytes.size()));
  ASSERT_EQ(layout.FieldCount(), 5);
  EXPECT_EQ(layout.Handler(0).Offset(), 0);
  EXPECT_EQ(layout.Handler(1).Offset(), 8);  // a quantity is 8-aligned, not 4
  const int32_t text = layout.Handler(1).Offset() + layout.Handler(1).Width();
  EXPECT_EQ(layout.Handler(2).Offset(), text);
  const int32_t dbl = layout.Handler(2).Offset() + layout.Handler(2).Width();
  EXPECT_EQ(layout.Handler(3).Offset(), dbl);
  EXPECT_EQ(layout.Handler(4).Offset(), dbl + 8);
  EXPECT_EQ(layout.RecordSize(), dbl + 12);  // no padding after the last field
  std::string name;
  layout.FieldName(3, name);
  EXPECT_EQ(name, "d");
  layout.FieldName(9, name);
  EXPECT_EQ(name, "");
  EXPECT_EQ(layout.FieldIndex("b"), 4);
  EXPECT_EQ(layout.FieldIndex("zz"), -1);
}

TEST(LayoutTest, UsableCountIsWhatTheBytesHold) {
  const std::vector<FieldSpec> three{{"a", 2}, {"b", 2}, {"c", 2}};
  auto declaredMore = MakeLayout(1, three, 4);
  declaredMore.push_back(0x2E);  // a stray byte is ignored too
  EXPECT_EQ(dbRecordLayout(declaredMore.data(), uint32_t(declaredMore.size())).FieldCount(), 3);
  const auto declaredLess = MakeLayout(1, three, 2);
  EXPECT_EQ(dbRecordLayout(declaredLess.data(), uint32_t(declaredLess.size())).FieldCount(), 2);
  const auto negative = MakeLayout(1, three, -5);
  EXPECT_EQ(ErrorOf([&] { dbRecordLayout(negative.data(), uint32_t(negative.size())); }), db::kDamagedFile);
  EXPECT_EQ(ErrorOf([&] { dbRecordLayout(negative.data(), 47); }), db::kDamagedFile);
  EXPECT_EQ(ErrorOf([&] { dbRecordLayout(nullptr, 0); }), db::kDamagedFile);
}

struct ProgramLayout {
  const char* name;
  int32_t fileId;
  int32_t version;
  const char* recordClass;
  int32_t declared;
  int32_t bound;
};

const ProgramLayout kProgramLayouts[] = {
    {"QXRESOURCE", 5000, 1, "qxResource", 6, 6},
    {"QXRESTYPE", 5001, 1, "qxResType", 2, 2},
    {"QXLANGUAGECODE", 5002, 2, "qxLanguageCode", 5, 5},
    {"QXSTRING", 5003, 2, "qxString", 3, 3},
    {"QXAPPLICATION", 5100, 9, "qxApplication", 29, 29},
    {"QXGROUP", 5400, 7, "qxGroup", 7, 7},
    {"QXELEMENT", 5401, 1, "qxElement", 8, 8},
    {"QXTYPE", 5402, 1, "qxType", 5, 5},
    {"QXCATALOGITEM", 5403, 10, "qxCatalogItem", 13, 13},
    {"QXPOINT2D", 5404, 1, "qxPoint2D", 2, 2},
    {"QXTOPVIEW", 5405, 35, "qxTopView", 47, 47},
    {"QXSHAPE", 5406, 7, "qxShape", 10, 10},
    {"QXTEXTURE", 5407, 6, "qxTexture", 6, 6},
    {"QXCOLORCATALOG", 5408, 16, "qxColorCatalog", 49, 49},
    {"QXPRICE", 5409, 17, "qxPrice", 16, 16},
    {"QXPACKET", 5411, 3, "qxPacket", 6, 6},
    {"QXSETTINGS", 5412, 22, "qxSettings", 26, 26},
    {"QXUNIT", 5413, 33, "qxUnit", 36, 36},
    {"QXDOCMODULE", 5416, 25, "qxDocModule", 89, 89},
    {"QXCALCULATOR", 5417, 49, "qxCalculator", 90, 90},
    {"QXDOCUMENT", 5417, 19, "qxDocument", 77, 76},
    {"QXTAG", 5418, 2, "qxTag", 5, 5},
    {"QXPARAMETRIC", 5419, 3, "qxParametric", 7, 7},
    {"QXDEPTH", 5420, 6, "qxDepth", 8, 8},
    {"QXPOSSHEET", 5422, 4, "qxPosSheet", 12, 12},
    {"QXPREVIEW", 5423, 3, "qxPreview", 3, 3},
    {"QXCOLORCODE", 5424, 9, "qxColorCode", 7, 7},
    {"QXCOLORGROUP", 5425, 7, "qxColorGroup", 5, 5},
    {"QXMATERIAL", 5426, 1, "qxMaterial", 21, 21},
    {"QXNOTE", 5427, 3, "qxNote", 5, 5},
    {"QXPARTSLIST", 5428, 1, "qxPartsList", 6, 6},
    {"QXCLASS", 5429, 6, "qxClass", 7, 7},
    {"QX3DSHAPE", 5430, 3, "qx3DShape", 9, 9},
    {"QXOPTIONVALUE", 5431, 9, "qxOptionValue", 7, 7},
    {"QXCONFIGURATOR", 5432, 1, "qxConfigurator", 3, 3},
    {"QXCONFIGFIELD", 5433, 2, "qxConfigField", 12, 12},
    {"QXJUNCTION", 5434, 1, "qxJunction", 7, 7},
    {"QXLINESEGMENT", 5435, 3, "qxLineSegment", 19, 19},
    {"QXANCHOR", 5436, 3, "qxAnchor", 12, 12},
    {"QXSCENE", 5437, 4, "qxScene", 4, 4},
    {"QXBUTTON", 5438, 1, "qxButton", 7, 7},
    {"QXCOLOR", 5439, 1, "qxColor", 4, 4},
    {"QXFUNCTION", 5440, 2, "qxColor", 4, 4},
    {"QXBITMAP", 5441, 1, "qxColor", 3, 3},
    {"QXCATALOG", 5442, 2, "qxCatalog", 3, 3},
    {"QXCADDATA", 5443, 1, "qxCADdata", 4, 4},
    {"QXEXTRAS", 5444, 1, "qxExtras", 4, 4},
    {"QXELEMENTACCESS", 7000, 1, "qxElementAccess", 14, 14},
};

std::vector<uint8_t> ProgramLayoutBytes(const char* name) {
  Handle h = LoadResourceHandle(ResourceTypeCode("DICT"), name);
  const auto* p = reinterpret_cast<const uint8_t*>(*h);
  std::vector<uint8_t> bytes(p, p + MemGetSize(h));
  ReleaseResourceHandle(h);
  return bytes;
}

TEST(LayoutTest, ProgramLayoutsHaveTheirHeadsAndBind) {
  for (const ProgramLayout& expected : kProgramLayouts) {
    SCOPED_TRACE(expected.name);
    const auto bytes = ProgramLayoutBytes(expected.name);
    ASSERT_GE(bytes.size(), 48u);
    EXPECT_EQ(db::GetI32(bytes.data(), 0), expected.version);
    EXPECT_EQ(db::GetI32(bytes.data(), 4), expected.fileId);
    EXPECT_EQ(db::GetI32(bytes.data(), 40), 0);
    EXPECT_EQ(db::GetI32(bytes.data(), 44), expected.declared);
    // The class name, its NUL, then '.' up to 32 bytes.
    const size_t length = std::strlen(expected.recordClass);
    EXPECT_EQ(std::memcmp(bytes.data() + 8, expected.recordClass, length + 1), 0);
    for (size_t i = 8 + length + 1; i < 40; ++i) EXPECT_EQ(bytes[i], '.') << i;
    dbRecordLayout layout(bytes.data(), uint32_t(bytes.size()));
    EXPECT_EQ(layout.FieldCount(), expected.bound);
    std::string name;
    layout.FieldName(0, name);
    EXPECT_FALSE(name.empty());
  }
}

TEST(LayoutTest, ProgramLayoutQuirksAreKept) {
  // The document declares one field more than it holds.
  EXPECT_EQ(ProgramLayoutBytes("QXDOCUMENT").size(), 48u + 76u * 44u);
  // The resource types hold a third entry beyond their two fields.
  const auto resType = ProgramLayoutBytes("QXRESTYPE");
  EXPECT_EQ(resType.size(), 48u + 3u * 44u);
  EXPECT_EQ(dbRecordLayout(resType.data(), uint32_t(resType.size())).FieldCount(), 2);
  // The positioning sheet's last three entries, one byte off up to version 3, now lie whole: the
  // depth cuts after "anchor" are doubles.
  const auto posSheet = ProgramLayoutBytes("QXPOSSHEET");
  ASSERT_EQ(posSheet.size(), 48u + 12u * 44u);
  dbRecordLayout layout(posSheet.data(), uint32_t(posSheet.size()));
  EXPECT_EQ(layout.FieldType(8), 15);
  EXPECT_EQ(layout.FieldType(9), 2);
  EXPECT_EQ(layout.FieldType(10), 4);
  EXPECT_EQ(layout.FieldType(11), 4);
  EXPECT_NE(dynamic_cast<dbLongHandler*>(&layout.Handler(9)), nullptr);
  std::string name;
  layout.FieldName(9, name);
  EXPECT_EQ(name, "anchor");
  layout.FieldName(10, name);
  EXPECT_EQ(name, "fullDepthCut");
  layout.FieldName(11, name);
  EXPECT_EQ(name, "stepDepthCut");
  // Layout names are found whatever their case.
  EXPECT_EQ(ProgramLayoutBytes("qxPosSheet"), posSheet);
}

TEST(LayoutTest, ProgramLayoutsNameTheirFieldsAsTheRecordsUseThem) {
  const auto calculator = ProgramLayoutBytes("QXCALCULATOR");
  dbRecordLayout calc(calculator.data(), uint32_t(calculator.size()));
  EXPECT_EQ(calc.FieldIndex("pcs"), 86);
  EXPECT_EQ(calc.FieldType(86), 17);
  EXPECT_EQ(calc.LinkedFileId(calc.FieldIndex("priceID")), 5409);
  const auto document = ProgramLayoutBytes("QXDOCUMENT");
  dbRecordLayout doc(document.data(), uint32_t(document.size()));
  EXPECT_EQ(doc.FieldIndex("calcItems"), 75);
  EXPECT_EQ(doc.FieldIndex("viewPointZ3"), 43);
  EXPECT_EQ(doc.FieldType(55), 14);
  const auto topView = ProgramLayoutBytes("QXTOPVIEW");
  dbRecordLayout top(topView.data(), uint32_t(topView.size()));
  EXPECT_EQ(top.FieldType(38), 8);  // the second field named "Type" is the class link
  EXPECT_EQ(top.FieldFlags(38) & 1, 1);
  EXPECT_EQ(top.LinkedFileId(38), 5429);
  EXPECT_EQ(top.FieldIndex("quantityFunc"), 46);
}

}  // namespace
