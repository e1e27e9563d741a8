#include <gtest/gtest.h>

#include <bit>

#include "CatalogueTestSupport.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproColorGroupFil.h"
#include "catalogue/records/zelvproMaterialFil.h"
#include "catalogue/records/zelvproOptionValueFil.h"
#include "catalogue/records/zelvproPacketFil.h"
#include "catalogue/records/zelvproShape3DFil.h"
#include "database/HandleList.h"

namespace {

using cattest::AddRecord;
using cattest::CatalogueTest;
using cattest::SetWords;
using Words = std::vector<int32_t>;

int32_t F(float value) { return std::bit_cast<int32_t>(value); }

Words WordsOf(ppDatafile& table, const char* field) {
  return RecordField(table, field).Words(table.GetRecordBuffer());
}

Words ListOf(Handle list) {
  Words ids;
  for (uint32_t i = 0; i < HandleList::Count(list); ++i) ids.push_back(HandleList::At(list, i));
  return ids;
}

TEST_F(CatalogueTest, AColourCodeOffersItsListedColoursOrEveryColour) {
  auto db = Open();
  Words all;
  for (int32_t n : {1, 2, 3}) all.push_back(AddRecord(db->ColorCatalogFile(), {{"id", n}}));
  zelvproColorCodeFil& codes = db->ColorCodeFile();
  const struct {
    int32_t id;
    Words colors, offered;
  } cases[] = {{1, {}, all}, {2, {0, 7, 0, 9}, {7, 9}}, {3, {0, 0}, {}}, {4, {5}, {5}}};
  for (const auto& c : cases) {
    codes.ClearRecordBuffer(nullptr);
    cattest::SetField(codes, "id", c.id);
    SetWords(codes, "colors", c.colors);
    codes.AddRecord(nullptr, nullptr);
  }
  Handle offered = HandleList::New(0);
  for (const auto& c : cases) {
    codes.ColorsOf(c.id, offered);
    EXPECT_EQ(ListOf(offered), c.offered) << c.id;
    EXPECT_EQ(codes.GetSelectedCount(), 4);  // every code is selected again
  }
  codes.ColorsOf(99, offered);  // no such code: every colour
  EXPECT_EQ(ListOf(offered), all);
  HandleList::Dispose(offered);
}

TEST_F(CatalogueTest, ColoursAndClassesThatCodesGroupsAndOptionsNameCannotBeDeleted) {
  auto db = Open();
  AddRecord(db->ColorGroupFile(), {{"name", "Woods"}, {"defaultColor", 40}});
  db->ColorCodeFile().ClearRecordBuffer(nullptr);
  cattest::SetField(db->ColorCodeFile(), "defaultColor", 41);
  cattest::SetField(db->ColorCodeFile(), "class", 50);
  SetWords(db->ColorCodeFile(), "colors", {42, 43});
  db->ColorCodeFile().AddRecord(nullptr, nullptr);
  AddRecord(db->OptionValueFile(), {{"button1", 60}, {"button2", 61}, {"classid", 51}});
  const struct {
    int32_t fileId, id;
    bool allowed;
  } cases[] = {{5408, 40, false}, {5408, 41, false}, {5408, 43, false}, {5408, 44, true},  {5429, 50, false},
               {5429, 51, false}, {5429, 52, true},  {5423, 60, false}, {5423, 61, false}, {5423, 62, true}};
  for (const auto& c : cases)
    EXPECT_EQ(db->CanDeleteRecord(c.fileId, c.id), c.allowed) << c.fileId << "/" << c.id;
}

TEST_F(CatalogueTest, ALegacyMeshReadsConvertedAndConvertAllStoresIt) {
  auto db = Open();
  zelvproShape3DFil& shapes = db->Shape3DFile();
  const Words positions = {F(1), F(2), F(3), F(4), F(5), F(6), F(7), F(8), F(9), 77};  // a partial entry
  const Words texture = {F(0.5f), F(0.25f), F(1), F(1), F(2), F(2)};
  ppDatafile raw("qx3DShape", *db);
  raw.ClearRecordBuffer(nullptr);
  cattest::SetField(raw, "name", "mesh");
  SetWords(raw, "data1", positions);
  SetWords(raw, "data3", texture);
  int32_t id = 0;
  raw.AddRecord(&id, nullptr);
  const int32_t current = AddRecord(raw, {{"name", "new"}, {"flags", 9}});

  shapes.ReadRecord(id, nullptr);
  Words expected;
  for (int32_t i = 0; i < 3; ++i) {
    expected.insert(expected.end(), positions.begin() + i * 3, positions.begin() + i * 3 + 3);
    expected.insert(expected.end(), texture.begin() + i * 2, texture.begin() + i * 2 + 2);
    expected.insert(expected.end(), {0, 0, 0, 0});
  }
  EXPECT_EQ(WordsOf(shapes, "data1"), expected);
  EXPECT_EQ(WordsOf(shapes, "data3"), Words{});
  EXPECT_EQ(cattest::LongField(shapes, "flags"), 11);
  raw.ReadRecord(id, nullptr);
  EXPECT_EQ(WordsOf(raw, "data1"), positions);  // the stored record is unchanged

  shapes.ConvertAll(1);  // other modes do nothing
  raw.ReadRecord(id, nullptr);
  EXPECT_EQ(cattest::LongField(raw, "flags"), 0);
  shapes.ConvertAll(0);
  raw.ReadRecord(id, nullptr);
  EXPECT_EQ(WordsOf(raw, "data1"), expected);
  EXPECT_EQ(cattest::LongField(raw, "flags"), 11);
  raw.ReadRecord(current, nullptr);
  EXPECT_EQ(cattest::LongField(raw, "flags"), 9);
}

TEST_F(CatalogueTest, SmallClassesKeepTheirMemoNamesAndTexts) {
  auto db = Open();
  zelvproClassFil& classes = db->ClassFile();
  EXPECT_EQ(classes.CacheGet(7), 0);
  classes.CacheSet(7, 70);
  classes.CacheSet(8, 80);
  classes.CacheSet(7, 71);
  EXPECT_EQ(classes.CacheGet(7), 71);
  EXPECT_EQ(classes.CacheGet(8), 80);
  EXPECT_EQ(classes.CacheSize(), 2u);

  cattest::ProgramTexts texts;
  texts.texts[zelvproMaterialFil::kIdFieldText] = "Material number";
  SetTextSource(&texts);
  Vcon::String name;
  db->MaterialFile().FieldNameAt(0, name);
  EXPECT_EQ(name, "Material number");
  db->MaterialFile().FieldNameAt(1, name);
  EXPECT_EQ(name, "name");

  const int32_t unit = AddRecord(db->UnitFile(), {{"name1", "Sink unit"}, {"number1", "S80"}});
  const int32_t packet = AddRecord(db->PacketFile(), {{"name", "Sink set"}, {"level", 2}, {"unitID", unit}});
  db->PacketFile().ReadRecord(packet, nullptr);
  db->PacketFile().GetDisplayText(name, nullptr);
  EXPECT_EQ(name, "Sink set\t2");
  EXPECT_EQ(cattest::WideField(db->PacketFile().UnitFile(), "tname"), "Sink unit");
  SetWords(db->PacketFile(), "items", {90, 1, 1});
  db->PacketFile().WriteRecord(packet, nullptr);
  for (auto [id, allowed] : {std::pair{unit, false}, std::pair{90, false}, std::pair{91, true}})
    EXPECT_EQ(db->PacketFile().AllowsDeleteOf(5413, id), allowed) << id;
}

}  // namespace
