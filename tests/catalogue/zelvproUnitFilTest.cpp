#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "catalogue/records/zelvproUnitFil.h"

namespace {

using cattest::AddRecord;
using cattest::CatalogueTest;
using cattest::kLanguage;
using cattest::SetWords;
using Words = std::vector<int32_t>;

// A 3D shape entry of 40 words (or 64 bytes: 16 words) with its id, body type and flags.
Words Entry(int32_t id, int32_t type, int32_t flags, bool longForm) {
  Words entry(longForm ? 16 : 10, 0);
  entry[0] = id;
  entry[1] = type;
  entry[9] = flags;
  return entry;
}

Words Join(std::initializer_list<Words> parts) {
  Words all;
  for (const Words& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A unit with the given long fields and blob words.
int32_t AddUnit(zelvproUnitFil& units, cattest::Fields fields,
                std::initializer_list<std::pair<const char*, Words>> blobs = {}) {
  units.ClearRecordBuffer(nullptr);
  for (const auto& [name, value] : fields) cattest::SetField(units, name, value);
  for (const auto& [name, words] : blobs) SetWords(units, name, words);
  int32_t id = 0;
  units.AddRecord(&id, nullptr);
  return id;
}

TEST_F(CatalogueTest, AUnitIsNamedByItsOptionValueElseByItsLocalisedName) {
  auto db = Open();
  zelvproUnitFil& units = db->UnitFile();
  const int32_t option = AddRecord(db->OptionValueFile(), {{"name", "Glass door"}});
  const int32_t plain = AddUnit(units, {{"name1", "Base 60"}, {"number1", "B60"}});
  const int32_t optioned =
      AddUnit(units, {{"name1", "Base 60"}, {"number1", "B60"}, {"optionValue", option}});
  const int32_t lost = AddUnit(units, {{"name1", "Wall 30"}, {"number1", "W30"}, {"optionValue", 999}});
  for (int32_t unit : {plain, optioned})
    AddRecord(db->StringFile(),
              {{"id", unit * 10}, {"languageCode", kLanguage}, {"string", u"Underskab 60"}});
  AddRecord(db->StringFile(), {{"id", optioned * 10 + 1}, {"languageCode", kLanguage}, {"string", u"U60"}});
  db.reset();  // texts are read once per opening
  db = Open();
  const struct {
    int32_t id;
    const char *tname, *tnumber, *text;
  } cases[] = {
      {plain, "Underskab 60", "B60", "B60 Base 60"},
      {optioned, "Glass door", "U60", "U60 Base 60"},
      {lost, "Wall 30", "W30", "W30 Wall 30"},  // an option value that is gone leaves the unit's name
  };
  for (const auto& c : cases) {
    db->UnitFile().ReadRecord(c.id, nullptr);
    EXPECT_EQ(cattest::WideField(db->UnitFile(), "tname"), c.tname) << c.id;
    EXPECT_EQ(cattest::WideField(db->UnitFile(), "tnumber"), c.tnumber) << c.id;
    Vcon::String text;
    db->UnitFile().GetDisplayText(text, nullptr);
    EXPECT_EQ(text, c.text) << c.id;
  }
}

TEST_F(CatalogueTest, RecordsThatAUnitNamesCannotBeDeleted) {
  auto db = Open();
  zelvproUnitFil& units = db->UnitFile();
  AddUnit(units, {{"useParametrics", 0}, {"refTo", 70}, {"topView", 71}, {"preview", 72}, {"note2", 73}},
          {{"shapes3D", Join({Entry(10, 0, 0, false), Entry(11, 4, 0, false)})},
           {"pricingIncludes", {80, 81}},
           {"depthUnits", {82, 83}},
           {"parametrics", Join({{84}, Words(10, 0)})}});
  AddUnit(units, {{"useParametrics", 2 | 4}},
          {{"shapes3D", Join({Entry(20, 4, 0, true), Entry(21, 1, 0, true)})},
           {"subUnits", {90, 0, 0, 0, 0, 0, 0}},
           {"parametrics", Join({{91}, Words(11, 0)})},
           {"depths", {92}},
           {"partsList", {93, 1, 1}}});
  const struct {
    int32_t fileId, id;
    bool allowed;
  } cases[] = {
      {5406, 10, false},
      {5406, 11, false},  // 40-byte entries name shapes whatever their type
      {5430, 11, true},   // ... and never a 3D shape
      {5430, 20, false},
      {5406, 20, true},  // 64-byte entry of type 4: a 3D shape, not a shape
      {5406, 21, false},
      {5430, 21, true},
      {5408, 81, false},
      {5408, 80, true},  // pricingIncludes: word 1 a
                         // colour, word 0 a unit
      {5413, 80, false},
      {5413, 83, false},
      {5413, 70, false},
      {5413, 93, false},
      {5413, 82, true},
      {5420, 82, false},
      {5420, 92, false},
      {5420, 83, true},
      {5405, 71, false},
      {5405, 90, false},
      {5405, 72, true},
      {5419, 84, false},
      {5419, 91, false},
      {5423, 72, false},
      {5427, 73, false},
      {5424, 72, true},
      {5431, 72, true},
      {5400, 10, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(units.AllowsDeleteOf(c.fileId, c.id), c.allowed) << c.fileId << "/" << c.id;
  }
}

TEST_F(CatalogueTest, TheAnchorTableFollowsTheUnitReadLast) {
  auto db = Open();
  zelvproUnitFil& units = db->UnitFile();
  qxAnchorFil& anchors = units.AnchorFile();
  const Handle bound = anchors.Blob();
  ASSERT_EQ(bound, RecordField(units, "anchors").Data(units.GetRecordBuffer()));
  std::vector<int32_t> units3;
  for (int32_t count : {2, 0, 1}) {
    ppEmbeddedData table("qxAnchor", *db, RecordField(units, "anchors").Data(units.GetRecordBuffer()),
                         nullptr);
    units.ClearRecordBuffer(nullptr);
    for (int32_t i = 0; i < count; ++i) {
      table.ClearRecordBuffer(nullptr);
      cattest::SetField(table, "eye", i + 1);
      table.InsertRecordAt(-1, nullptr);
    }
    table.SaveToBlob();
    int32_t id = 0;
    units.AddRecord(&id, nullptr);
    units3.push_back(id);
  }
  for (size_t i = 0; i < units3.size(); ++i) {
    units.ReadRecord(units3[i], nullptr);
    EXPECT_EQ(RecordField(units, "anchors").Data(units.GetRecordBuffer()), bound);  // refilled in place
    anchors.LoadFromBlob();
    EXPECT_EQ(anchors.GetRecordCount(), Words({2, 0, 1})[i]);
  }
  EXPECT_EQ(anchors.CurrentAnchor(), -1);
}

TEST_F(CatalogueTest, RoundShapeFlagsAreResetInBothEntryForms) {
  auto db = Open();
  zelvproUnitFil& units = db->UnitFile();
  const auto entries = [](bool longForm, int32_t flag) {
    return Join({Entry(1, 0, flag, longForm), Entry(2, 2, flag, longForm), Entry(3, 3, flag, longForm),
                 Entry(4, 4, flag, longForm)});
  };
  const int32_t shortForm = AddUnit(units, {{"useParametrics", 0}}, {{"shapes3D", entries(false, 5)}});
  const int32_t longForm = AddUnit(units, {{"useParametrics", 2}}, {{"shapes3D", entries(true, 5)}});
  const struct {
    int32_t from;
    bool reset;
  } cases[] = {{4, false}, {-1, false}, {3, true}, {0, true}};
  for (const auto& c : cases) {
    units.ResetRoundShapeFlags(c.from, 4);
    for (auto [id, isLong] : {std::pair{shortForm, false}, std::pair{longForm, true}}) {
      units.ReadRecord(id, nullptr);
      const Words expected = c.reset ? Join({Entry(1, 0, 5, isLong), Entry(2, 2, 0, isLong),
                                             Entry(3, 3, 0, isLong), Entry(4, 4, 5, isLong)})
                                     : entries(isLong, 5);
      EXPECT_EQ(RecordField(units, "shapes3D").Words(units.GetRecordBuffer()), expected) << c.from << isLong;
    }
  }
}

}  // namespace
