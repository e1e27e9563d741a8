// The configurator tabs of a top-view element: which size, price, option and colour rows appear,
// the selector styles, the placement warning and the tab kept open across a rebuild.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "catalogue/records/zelvproNoteFil.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigTab.h"
#include "controls/ppPopupSelector.h"
#include "database/HandleList.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/qxViewHolder.h"
#include "elements/topview/TopViewTestSupport.h"
#include "elements/topview/iConfigurator.h"
#include "foundation/UserPreferences.h"
#include "framework/ppCollaborator.h"
#include "framework/ppSweeper.h"
#include "platform/HeadlessDriver.h"
#include "platform/MessageBox.h"

namespace {

using cattest::AddRecord;
using Words = std::vector<int32_t>;

// The program's configurator link over a configurator of its own, recording what it is given.
class RecordingConfigurator : private eltest::OwnConfigurator, public zelvproElementConfigurator {
 public:
  RecordingConfigurator() : zelvproElementConfigurator(OwnConfigurator::configurator.get()) {}
  Vcon::String SelectionPath() override { return path; }
  void SelectPath(const Vcon::String& p) override {
    zelvproElementConfigurator::SelectPath(p);
    selected.push_back(p);
  }
  void RemoveAll() override {
    zelvproElementConfigurator::RemoveAll();
    panels.clear(), objects.clear();
  }
  void AddPanel(std::unique_ptr<ConfigPanel> panel) override {
    if (panel) MakePanel(*panel);
    panels.push_back(std::move(panel));
  }
  void PushObject(std::unique_ptr<ppCollaborator> object) override { objects.push_back(std::move(object)); }
  // The texts of the information tab's text rows.
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const ConfigField& f : panels.at(0)->fields)
      if (f.kind == ConfigField::kText) out.push_back(NarrowFromWide(f.text).c_str());
    return out;
  }
  // The first field of any tab bound to `property`; null when none is.
  const ConfigField* Bound(const char* property) const {
    for (const auto& p : panels)
      for (const ConfigField& f : p->fields)
        if (f.property == property) return &f;
    return nullptr;
  }
  // How many popup selectors the panels on screen hold, and how many selector rows were described.
  std::pair<int32_t, int32_t> SelectorsShownAndDescribed() const {
    std::pair<int32_t, int32_t> out{0, 0};
    for (const ppConfigTab* tab : OwnConfigurator::configurator->Tabs())
      if (tab->Panel() != nullptr) out.first += Popups(*tab->Panel());
    for (const auto& p : panels)
      out.second += int32_t(std::count_if(p->fields.begin(), p->fields.end(), [](const ConfigField& f) {
        return f.kind == ConfigField::kSelector;
      }));
    return out;
  }
  Vcon::String path;
  std::vector<Vcon::String> selected;
  std::vector<std::unique_ptr<ConfigPanel>> panels;
  std::vector<std::unique_ptr<ppCollaborator>> objects;

 private:
  static int32_t Popups(const ppView& view) {
    int32_t n = dynamic_cast<const ppPopupSelector*>(&view) != nullptr ? 1 : 0;
    for (int32_t i = 0; i < view.Subviews().Count(); ++i) n += Popups(*view.Subviews().At(i));
    return n;
  }
};

// An element whose choice lists are scripted: per colour position and per option class, the records
// its selector lists; and its colour-code mask. The lists hold records of the file they fill (colour
// records for the colour rows, unit records for the options): a record id is a number in the whole
// catalogue store, so any other number names another table's record, which the selector's field
// cannot read.
class PanelProbe : public zelvproTopViewElement {
 public:
  PanelProbe(zelvDatabase& db, int32_t topView)
      : zelvproTopViewElement(topView, nullptr, eltest::Rect(0, 0, 10, 10), Buffer(db, topView),
                              db.ShapeFile()) {}
  uint32_t CollectBitMask(bool /*withChildren*/) override { return mask; }
  void FillColorChoices(ppDatafile& colours, int32_t position, bool /*flag*/) override {
    Fill(colours, colourChoices[position]);
  }
  void FillOptionChoices(ppDatafile& units, int32_t classId) override { Fill(units, optionChoices[classId]); }
  uint32_t mask = 0;
  std::map<int32_t, Words> colourChoices, optionChoices;

 private:
  static void Fill(ppDatafile& file, const Words& ids) {
    for (int32_t id : ids) HandleList::Insert(file.GetSelection(), id);
  }
  static const char* Buffer(zelvDatabase& db, int32_t topView) {
    db.TopViewFile().ReadRecord(topView, nullptr);
    return db.TopViewFile().GetRecordBuffer();
  }
};

class TopViewPanelTest : public tvtest::TopViewTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    TopViewTest::SetUp();
    iConfigurator::Install(&configurator_);
    iApplicationSettings::Install(&settings_);
  }
  void TearDown() override {
    plat::HeadlessDriver::RunUntilIdle();
    configurator_.panels.clear(), configurator_.objects.clear();
    iConfigurator::Install(nullptr);
    iApplicationSettings::Install(nullptr);
    TopViewTest::TearDown();
  }
  RecordingConfigurator configurator_;
  iApplicationSettings settings_;
};

TEST_F(TopViewPanelTest, SizeRowsFollowThePreviewSwitchAndTheUnitNote) {
  zelvDatabase& db = MakeDatabase();
  Handle picture = eltest::DibPicture(4);
  const int32_t preview = AddRecord(db.UnitFile().PreviewFile(), {{"name", "p"}, {"preview", picture}});
  MemDispose(picture);
  const int32_t note = AddRecord(db.NoteFile(), {{"xnote", "a,b,c"}});
  const int32_t plain = AddUnit(db, {{"id", 1}, {"note", note}});
  const int32_t pictured = AddUnit(db, {{"id", 2}, {"note", note}, {"preview", preview}});
  auto element = MakeOwned(db, AddTopView(db, {{"ID", 1}}, {{"Units", {plain, 0}}}));
  struct Case {
    uint32_t flags2;
    int32_t unit;
    bool sizeRows, wholeNote, price;
  } cases[] = {{0x18, plain, false, false, false},
               {0x18, pictured, true, false, true},
               {0, pictured, false, true, false}};
  for (const Case& c : cases) {
    settings_.flags2 = c.flags2;
    element->unitRecordId = c.unit;
    element->BuildInfoPanel(nullptr);
    const std::vector<std::string> texts = configurator_.Texts();
    auto has = [&](const char* t) { return std::find(texts.begin(), texts.end(), t) != texts.end(); };
    EXPECT_EQ(has("W: a") && has("H: b") && has("D: c"), c.sizeRows) << c.flags2 << " " << c.unit;
    EXPECT_EQ(has("a,b,c"), c.wholeNote) << c.flags2 << " " << c.unit;
    EXPECT_EQ(configurator_.Bound("Price") != nullptr, c.price) << c.flags2 << " " << c.unit;
  }
}

// A note replaces the measured sizes whatever it says: without commas it is the width alone, after a
// third comma nothing more is shown, and it stays as typed when lengths show in inches.
TEST_F(TopViewPanelTest, ANoteReplacesTheMeasuredSizes) {
  zelvDatabase& db = MakeDatabase();
  Handle picture = eltest::DibPicture(4);
  const int32_t preview = AddRecord(db.UnitFile().PreviewFile(), {{"name", "p"}, {"preview", picture}});
  MemDispose(picture);
  const int32_t plain = AddRecord(db.NoteFile(), {{"xnote", "Flat-packed"}});
  const int32_t four = AddRecord(db.NoteFile(), {{"xnote", "80 cm,82 cm,58 cm,extra"}});
  auto element = MakeOwned(db, AddTopView(db, {{"ID", 1}}, {{"Units", {AddUnit(db, {{"id", 1}}), 0}}}));
  const uint32_t unitSystem = Preferences().unitSystem;
  Preferences().unitSystem = kUnitImperial;
  struct Case {
    int32_t note;
    uint32_t flags2;
    std::vector<std::string> rows;  // the rows after the unit's number
  } cases[] = {{plain, 0, {"Dimensions (w x h x d) ", "Flat-packed"}},
               {plain, 0x08, {"W: Flat-packed", "H: ", "D: "}},
               {four, 0x08, {"W: 80 cm", "H: 82 cm", "D: 58 cm"}}};
  int32_t id = 10;
  for (const Case& c : cases) {
    element->unitRecordId = AddUnit(db, {{"id", ++id}, {"note", c.note}, {"preview", preview}});
    settings_.flags2 = c.flags2;
    element->BuildInfoPanel(nullptr);
    const std::vector<std::string> texts = configurator_.Texts();
    const auto first = std::find(texts.begin(), texts.end(), c.rows.front());
    ASSERT_NE(first, texts.end()) << c.rows.front();
    ASSERT_LE(c.rows.size(), static_cast<size_t>(texts.end() - first));
    EXPECT_EQ(std::vector<std::string>(first, first + c.rows.size()), c.rows);
    for (const std::string& t : texts) EXPECT_EQ(t.find('"'), std::string::npos) << t;  // no inch text
  }
  Preferences().unitSystem = unitSystem;
}

TEST_F(TopViewPanelTest, SelectorsForColourCodesAndOptionsWithAChoice) {
  zelvDatabase& db = MakeDatabase();
  for (int32_t g = 1; g <= 3; ++g) AddColourCode(db, g, 0, {}, g == 1 ? "Body" : g == 2 ? "Front" : "Handle");
  const int32_t single = AddClass(db, 41, 0), twice = AddClass(db, 42, 0);
  const int32_t unit = AddUnit(db, {{"id", 7}}), other = AddUnit(db, {{"id", 8}});
  const int32_t topView =
      AddTopView(db, {{"ID", 1}}, {{"options", {single, 0, unit, 0, twice, 0, unit, other, 0}}});
  Words colours;
  for (int32_t id = 1; id <= 3; ++id) colours.push_back(AddColour(db, id));
  PanelProbe element(db, topView);
  element.mask = 0x7;  // codes 1, 2 and 3; code 2 offers one colour only
  element.colourChoices = {{1, {colours[0], colours[1]}}, {2, {colours[2]}}, {3, colours}};
  element.optionChoices = {{single, {unit}}, {twice, {unit, other}}};
  settings_.popFieldHeight = 1, settings_.popListHeight = 3;
  element.BuildInfoPanel(nullptr);
  ASSERT_EQ(configurator_.panels.size(), 2u);
  std::vector<std::string> colourRows;
  for (const ConfigField& f : configurator_.panels[1]->fields)
    if (f.kind == ConfigField::kSelector)
      colourRows.push_back(std::string(f.property.c_str()) + ":" + NarrowFromWide(f.text).c_str());
  EXPECT_EQ(colourRows, (std::vector<std::string>{"Color1:Body", "Color3:Handle"}));
  EXPECT_EQ(configurator_.Bound(("Option" + std::to_string(single)).c_str()), nullptr);
  const ConfigField* option = configurator_.Bound(("Option" + std::to_string(twice)).c_str());
  ASSERT_NE(option, nullptr);
  EXPECT_EQ(std::tuple(option->rows, option->pictureFlag, option->noPictureInList, option->listRows),
            std::tuple(1, 0, true, 2));
  EXPECT_EQ(option->optionFlag, 1);
  // Every selector row is a popup selector on screen, its list read through to the current choice.
  const auto [shown, described] = configurator_.SelectorsShownAndDescribed();
  EXPECT_EQ(shown, described);
  EXPECT_GE(shown, 3);

  // Without colour codes one plain selector, even for an empty list.
  zelvDatabase& bare = MakeDatabase("bare.cdb");
  PanelProbe plain(bare, AddTopView(bare, {{"ID", 1}}));
  plain.BuildInfoPanel(nullptr);
  const ConfigField* colour = configurator_.Bound("Color");
  ASSERT_NE(colour, nullptr);
  EXPECT_EQ(std::tuple(colour->rows, colour->pictureFlag), std::tuple(2, 1));
}

// A choice list naming a record of another table (a damaged catalogue) cannot be read by the selector
// that shows it: that row is left out with a message, the other rows stay, and nothing is thrown.
TEST_F(TopViewPanelTest, ASelectorWhoseListCannotBeReadIsLeftOutWithAMessage) {
  zelvDatabase& db = MakeDatabase();
  AddColourCode(db, 1, 0, {}, "Body");
  const int32_t twice = AddClass(db, 42, 0);
  const int32_t unit = AddUnit(db, {{"id", 7}}), other = AddUnit(db, {{"id", 8}});
  const int32_t topView = AddTopView(db, {{"ID", 1}}, {{"options", {twice, 0, unit, other, 0}}});
  const int32_t colour = AddColour(db, 1), second = AddColour(db, 2);
  PanelProbe element(db, topView);
  element.mask = 0x1;
  element.colourChoices = {{1, {colour, second}}};
  element.optionChoices = {{twice, {1, 2}}};  // the store's first records, not units
  plat::ClearMessageBoxLog();
  ASSERT_NO_THROW(element.BuildInfoPanel(nullptr));
  const auto [shown, described] = configurator_.SelectorsShownAndDescribed();
  EXPECT_EQ(shown, described - 1);
  EXPECT_GE(shown, 1);
  const std::vector<plat::MessageBoxRecord> boxes = plat::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find(u"error 3620"), std::u16string::npos);
}

TEST_F(TopViewPanelTest, SizeFieldsOfSeveralElementsEditTheOneWithAUnitForAnyKey) {
  zelvDatabase& db = MakeDatabase();
  const int32_t unit = AddUnit(db, {{"id", 1}});
  const int32_t anyKey = AddTopView(db, {{"ID", 1}}, {{"Units", {unit, 0}}});
  const int32_t keyed = AddTopView(db, {{"ID", 2}}, {{"Units", {unit, 5}}});
  auto a = MakeOwned(db, anyKey), b = MakeOwned(db, anyKey), c = MakeOwned(db, keyed);
  struct Case {
    zelvproTopViewElement *head, *second, *target;
  } cases[] = {{a.get(), b.get(), a.get()}, {c.get(), a.get(), a.get()}, {c.get(), nullptr, c.get()}};
  for (const Case& k : cases) {
    qxViewHolder chain(k.head, k.second != nullptr ? new qxViewHolder(k.second, nullptr, true) : nullptr,
                       true);
    k.head->flags |= 0x20000000;
    k.head->BuildInfoPanel(&chain);
    const ConfigField* width = configurator_.Bound("XDim");
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->target, static_cast<iProperty*>(k.target));
    EXPECT_TRUE(width->undoable);
  }
}

TEST_F(TopViewPanelTest, AWarningIsPostedOnceAndTheOpenTabStays) {
  zelvDatabase& db = MakeDatabase();
  auto element = MakeOwned(db, AddTopView(db, {{"ID", 1}}));
  element->warningNumber = 5;
  element->warningNumberShown = 0;
  configurator_.path = "Colors";
  const int32_t before = ppSweeper::PendingCount();
  for (int32_t build = 0; build < 2; ++build) {
    element->BuildInfoPanel(nullptr);
    EXPECT_EQ(ppSweeper::PendingCount(), before + 1) << build;
    EXPECT_EQ(element->warningNumberShown, 5);
  }
  const ConfigField* button = nullptr;
  for (const ConfigField& f : configurator_.panels[0]->fields)
    if (f.kind == ConfigField::kButton) button = &f;
  ASSERT_NE(button, nullptr);
  EXPECT_STREQ(button->name.c_str(), "kWarningButton");
  EXPECT_EQ(button->commandId, 2100);
  EXPECT_EQ(configurator_.objects.size(), 1u);
  ASSERT_EQ(configurator_.selected.size(), 2u);
  EXPECT_STREQ(configurator_.selected.back().c_str(), "Colors");
}

}  // namespace
