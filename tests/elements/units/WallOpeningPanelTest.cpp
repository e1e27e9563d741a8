// The configurator tab of doors, room windows and structure elements: which rows appear in which
// order for each kind and stretch, and that the edit rows reach the element's own properties.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/records/zelvproDepthFil.h"
#include "elements/topview/iConfigurator.h"
#include "elements/units/UnitsTestSupport.h"
#include "elements/units/zelvproDoor.h"
#include "elements/units/zelvproRoomWindow.h"
#include "elements/units/zelvproStructureElement.h"
#include "foundation/TextsById.h"
#include "foundation/iTextSource.h"
#include "platform/HeadlessDriver.h"

namespace {

using unittest::UnitsTest;

// Answers the customisation texts (7000 and up) with "#" and their number; the others keep the
// program's own default.
class CustomTexts : public iTextSource {
 public:
  bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
    if (number < 7000) return false;
    text = WideFromNarrow(("#" + std::to_string(number)).c_str());
    return true;
  }
};

// One row as "text" or "property|label|undoable or select-all|top,bottom margins".
std::string Row(const ConfigField& f) {
  const std::string text = NarrowFromWide(f.text).c_str();
  if (f.kind == ConfigField::kText) return text;
  return std::string(f.property.c_str()) + "|" + text + "|" + (f.undoable ? "u" : "") +
         (f.selectAll ? "a" : "") + "|" + std::to_string(f.margins[1]) + "," + std::to_string(f.margins[3]);
}

class WallOpeningPanelTest : public UnitsTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    UnitsTest::SetUp();
    iConfigurator::Install(&tabs_);
    SetTextSource(&texts_);
  }
  void TearDown() override {
    tabs_.panels.clear();
    iConfigurator::Install(nullptr);
    SetTextSource(nullptr);
    UnitsTest::TearDown();
  }
  eltest::TabRecorder tabs_;
  CustomTexts texts_;
};

TEST_F(WallOpeningPanelTest, RowsFollowTheKindAndTheStretchingAxes) {
  zelvDatabase& db = MakeDatabase();
  const int32_t unit = AddUnit(db, {{"id", 1}, {"name1", "Oak door"}});
  constexpr uint32_t kWidth = zelvproParametricElement::kStretchWidth;
  constexpr uint32_t kHeight = zelvproParametricElement::kStretchHeight;
  constexpr uint32_t kDepth = zelvproParametricElement::kStretchDepth;
  const std::string aboveFloor = "AboveFloor|Above floor|a|5,5";
  struct Case {
    int32_t type;
    uint32_t flags;
    int32_t unit;
    const char* tab;
    std::vector<std::string> rows;
  } cases[] = {
      {zelvproDoor::kType,
       kDepth | kWidth,
       unit,
       "Door",
       {"Oak door", "#7300", "#7301", "XDim|Width|u|0,5", "ZDim|Depth|u|0,5", "#7303", "#7304"}},
      {zelvproDoor::kType, 0, 0, "Door", {"Door", "#7300", "#7301", "#7303", "#7304"}},
      {zelvproRoomWindow::kType,
       kHeight,
       0,
       "Window",
       {"Window", "#7311", "#7312", "YDim|Height|u|0,5", "#7313", aboveFloor, "#7314", "#7315"}},
      {zelvproStructureElement::kType,
       kWidth | kHeight | kDepth,
       unit,
       "Window",
       {"Oak door", "#7311", "XDim|Width|u|0,5", "YDim|Height|u|0,5", "ZDim|Depth|u|0,5", "#7313", aboveFloor,
        "#7314", "#7315"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.flags));
    auto element = MakeAs<zelvproDoor>(db, AddItem(db, c.type, c.flags));
    ASSERT_NE(element, nullptr);
    element->unitRecordId = c.unit;
    tabs_.placed = 0;
    element->BuildInfoPanel(nullptr);
    element->BuildInfoPanel(nullptr);  // a rebuild replaces the tab
    ASSERT_EQ(tabs_.panels.size(), 1u);
    EXPECT_EQ(tabs_.placed, 2);
    const ConfigPanel& panel = *tabs_.panels[0];
    EXPECT_EQ(std::string(NarrowFromWide(panel.name).c_str()), c.tab);
    std::vector<std::string> rows;
    for (const ConfigField& f : panel.fields) rows.push_back(Row(f));
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(panel.fields.at(0).margins[3], 15);
    for (const ConfigField& f : panel.fields) {
      if (f.kind != ConfigField::kEditText) continue;
      EXPECT_EQ(f.target, static_cast<iProperty*>(element.get()));
      EXPECT_EQ(f.columnWidth, 80);
    }
  }
}

// The depth chosen for the catalogue's units is in force: a plain unit takes it, while a door, a window
// and a structure element keep the catalogue's own depth, and their Depth row shows it.
TEST_F(WallOpeningPanelTest, OpeningsKeepTheirOwnDepthAndShowIt) {
  zelvDatabase& db = MakeDatabase();
  const int32_t depth = cattest::AddRecord(db.DepthFile(), {{"id", 7}, {"depth", 600.0}});
  constexpr uint32_t kStretch =
      zelvproParametricElement::kStretchWidth | zelvproParametricElement::kStretchDepth;
  db.SetCurrentDepthId(depth);
  auto unit = MakeAs<zelvproParametricElement>(db, AddItem(db, zelvproParametricElement::kType, kStretch));
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(unit->dimensions.z, 600.0f) << "a unit takes the depth in force";
  for (int32_t type : {zelvproDoor::kType, zelvproRoomWindow::kType, zelvproStructureElement::kType}) {
    SCOPED_TRACE(type);
    db.SetCurrentDepthId(depth);
    auto opening = MakeAs<zelvproDoor>(db, AddItem(db, type, kStretch));
    ASSERT_NE(opening, nullptr);
    EXPECT_EQ(opening->dimensions.z, opening->referenceSize.z);
    EXPECT_EQ(opening->currentDepth, opening->catalogDepth);
    EXPECT_EQ(opening->linkedRecord, 0);
    tabs_.panels.clear();
    opening->BuildInfoPanel(nullptr);
    const ConfigField* depthRow = nullptr;
    for (const ConfigField& f : tabs_.panels.at(0)->fields)
      if (f.property == Vcon::String("ZDim")) depthRow = &f;
    ASSERT_NE(depthRow, nullptr);
    EXPECT_EQ(
        NarrowFromWide(depthRow->target->GetValue(depthRow->target->IndexOf(depthRow->property)).AsWString()),
        Vcon::String("560 mm"));
  }
}

TEST_F(WallOpeningPanelTest, TheAboveFloorRowSetsTheWindowsHeight) {
  zelvDatabase& db = MakeDatabase();
  auto window = MakeAs<zelvproRoomWindow>(db, AddItem(db, zelvproRoomWindow::kType, 0));
  window->BuildInfoPanel(nullptr);
  const ConfigField& row = tabs_.panels.at(0)->fields.at(4);
  ASSERT_EQ(row.property, Vcon::String("AboveFloor"));
  row.target->SetValue(row.target->IndexOf(row.property), ppParameter(u"850 mm"));
  EXPECT_EQ(window->heightAboveFloor, 850.0f);
  EXPECT_EQ(zelvproRoomWindow::DefaultHeightAboveFloor(), 850.0f);
}

}  // namespace
