// Positioning sheets: the layout's first nine entries byte for byte, a table made with the layout of
// version 3 (whose last three entries lay one byte off) opening upgraded with its records' fields
// kept, the depth cuts read as millimetres, and the demo catalogue's sheet.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CatalogueTestSupport.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproPosSheetFil.h"
#include "database/dbBytes.h"
#include "database/dbDatafile.h"
#include "database/ppDatabase.h"
#include "foundation/ResourceAccess.h"
#include "support/DemoSettings.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A name area: the text, its NUL, then '.' up to `size` bytes.
void PutName(Bytes& out, const std::string& name, size_t size = 32) {
  out.insert(out.end(), name.begin(), name.end());
  out.push_back(0);
  out.resize(out.size() + size - name.size() - 1, '.');
}

void PutWord(Bytes& out, int32_t word) {
  out.resize(out.size() + 4);
  db::PutI32(out.data(), uint32_t(out.size() - 4), word);
}

void PutEntry(Bytes& out, const std::string& name, int32_t type, int32_t flags, size_t nameSize = 32) {
  PutName(out, name, nameSize);
  PutWord(out, type);
  PutWord(out, flags);
  PutWord(out, 0);
}

// The layout up to "flags", as every version stored it (the version word aside).
Bytes FirstNineEntries(int32_t version) {
  Bytes out;
  PutWord(out, version);
  PutWord(out, zelvproPosSheetFil::kFileId);
  PutName(out, "qxPosSheet");
  PutWord(out, 0);
  PutWord(out, 12);
  PutEntry(out, "id", 2, 1);
  PutEntry(out, "name", 1, 1);
  for (const char* axis : {"xoffset", "yoffset", "zoffset", "xraster", "yraster", "zraster"})
    PutEntry(out, axis, 4, 0);
  PutEntry(out, "flags", 15, 0);
  return out;
}

// The layout of version 3: a 33-byte "anchor" name pushes the last three entries one byte on.
Bytes VersionThreeLayout() {
  Bytes out = FirstNineEntries(3);
  PutEntry(out, "anchor", 2, 0, 33);
  PutEntry(out, "", 4, 0);
  PutEntry(out, "", 4, 0);
  return out;
}

Bytes ProgramLayout() {
  Handle h = LoadResourceHandle(ResourceTypeCode("DICT"), "QXPOSSHEET");
  const auto* p = reinterpret_cast<const uint8_t*>(*h);
  Bytes bytes(p, p + MemGetSize(h));
  ReleaseResourceHandle(h);
  return bytes;
}

class PositionSheetTest : public cattest::CatalogueTest {};

TEST_F(PositionSheetTest, TheLayoutKeepsItsFirstNineEntriesAndPlacesTheCutsWhole) {
  const Bytes layout = ProgramLayout();
  ASSERT_EQ(layout.size(), 48u + 12u * 44u);
  EXPECT_EQ(VersionThreeLayout().size(), 577u);
  const Bytes first = FirstNineEntries(4);
  EXPECT_EQ(Bytes(layout.begin(), layout.begin() + std::ptrdiff_t(first.size())), first);
  Bytes rest;
  PutEntry(rest, "anchor", 2, 0);
  PutEntry(rest, "fullDepthCut", 4, 0);
  PutEntry(rest, "stepDepthCut", 4, 0);
  EXPECT_EQ(Bytes(layout.begin() + std::ptrdiff_t(first.size()), layout.end()), rest);
}

TEST_F(PositionSheetTest, ATableOfTheOldLayoutOpensUpgradedWithItsFieldsKept) {
  const std::string path = Path("old.cdb");
  int32_t sheet = 0;
  {
    ppFileSpec file = dbtest::SpecFor(path);
    ppDatabase db(file);
    db.BeginTransaction();
    dbDatafile old(zelvproPosSheetFil::kLayout, db, VersionThreeLayout());
    ASSERT_EQ(old.FieldCount(), 12);
    EXPECT_EQ(old.FieldType(10), 1070);  // what version 3 made of a cut
    char* record = old.NewRecordBuffer();
    const std::pair<int32_t, ppParameter> fields[] = {
        {0, ppParameter(4)},     {1, ppParameter(Vcon::String("Shelves"))},
        {2, ppParameter(18.5)},  {3, ppParameter(100.0)},
        {4, ppParameter(-2.25)}, {5, ppParameter(32.0)},
        {6, ppParameter(32.0)},  {7, ppParameter(20.0)},
        {8, ppParameter(0x40)},
    };
    for (const auto& [field, value] : fields) {
      dbHandler& handler = old.Layout().Handler(field);
      handler.SetFromValue(value, record + handler.Offset());
    }
    sheet = old.AddRecord(record);
    old.DisposeRecordBuffer(record);
    db.EndTransaction();
  }
  ppFileSpec file = dbtest::SpecFor(path);
  zelvDatabase db(file);
  zelvproPosSheetFil& sheets = db.PosSheetFile();
  EXPECT_EQ(sheets.File().FieldType(10), 4);
  sheets.ReadRecord(sheet, nullptr);
  const char* r = sheets.GetRecordBuffer();
  EXPECT_EQ(RecordField(sheets, "id").Long(r), 4);
  EXPECT_EQ(RecordField(sheets, "name").Text(r), Vcon::String("Shelves"));
  const std::pair<const char*, double> numbers[] = {{"xoffset", 18.5}, {"yoffset", 100.0}, {"zoffset", -2.25},
                                                    {"xraster", 32.0}, {"yraster", 32.0},  {"zraster", 20.0}};
  for (const auto& [name, value] : numbers) EXPECT_EQ(RecordField(sheets, name).Double(r), value) << name;
  EXPECT_EQ(RecordField(sheets, "flags").Long(r), 0x40);
  EXPECT_EQ(sheets.FullDepthCut(nullptr), 0.0);
  EXPECT_EQ(sheets.StepDepthCut(nullptr), 0.0);

  // The upgraded table takes cuts and gives them back.
  db.BeginTransaction();
  RecordField(sheets, "fullDepthCut").SetDouble(sheets.GetRecordBuffer(), 18.0);
  RecordField(sheets, "stepDepthCut").SetDouble(sheets.GetRecordBuffer(), 12.5);
  sheets.File().WriteRecord(sheet, sheets.GetRecordBuffer());
  db.EndTransaction();
  sheets.ClearRecordBuffer(nullptr);
  sheets.ReadRecord(sheet, nullptr);
  EXPECT_EQ(sheets.FullDepthCut(nullptr), 18.0);
  EXPECT_EQ(sheets.StepDepthCut(nullptr), 12.5);
  EXPECT_EQ(RecordField(sheets, "xoffset").Double(sheets.GetRecordBuffer()), 18.5);
}

TEST_F(PositionSheetTest, TheDemoCatalogueHasASheetWithDepthCuts) {
  DemoSettings demo;
  ppFileSpec file(Vcon::WString(demo.File("catalogs/kitchen.cdb").string().c_str()));
  zelvDatabase db(file);
  zelvproPosSheetFil& sheets = db.PosSheetFile();
  sheets.SelectAll();
  ASSERT_GT(sheets.GetSelectedCount(), 0);
  sheets.GoToItem(0);
  EXPECT_GT(sheets.FullDepthCut(nullptr), 0.0);
  EXPECT_GT(sheets.StepDepthCut(nullptr), 0.0);
  EXPECT_GT(RecordField(sheets, "xraster").Double(sheets.GetRecordBuffer()), 0.0);
}

}  // namespace
