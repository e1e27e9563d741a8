// The configurator panel of a price list line, built with real fields in a headless window: the
// fields of each line type in order with their kinds, captions, margins and read-only states, the
// option bits, the tag block and the unit selector, what edits and the tag button broadcast, and
// the panel's replacement.
#include <gtest/gtest.h>

#include <sstream>

#include <fstream>

#include <cctype>

#include <algorithm>

#include <memory>
#include <string>
#include <vector>

#include "CalculationTestSupport.h"
#include "calculation/UnitTrees.h"
#include "calculation/qxUnitTreeNode.h"
#include "calculation/qxUnitTreeQuery.h"
#include "calculation/zelvproCalculatorCollaborator.h"
#include "catalogue/records/zelvproDocFil.h"
#include "controls/ppButtonField.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigTab.h"
#include "controls/ppConfigurator.h"
#include "controls/ppEditTextField.h"
#include "controls/ppPopupSelector.h"
#include "controls/ppTextField.h"
#include "elements/base/zelvproElement.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ApplicationSettings.h"
#include "framework/ppButton.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppPropertyDataUnit.h"
#include "framework/ppPropertySelectorQuery.h"
#include "framework/ppSwitchBoard.h"
#include "framework/ppWindow.h"
#include "platform/Controls.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

using Line = zelvproCalculatorFil;

// Every named message on the global switchboard, in order.
class Spy : public ppCollaborator {
 public:
  Spy() { Subscribe(ppSwitchBoard::kNamedChannel, -1); }
  void ReceiveMessage(ppCollaborator*, int32_t, int32_t id, intptr_t) override { ids.push_back(id); }
  std::vector<int32_t> ids;
};

// An element whose quantity the price list edits, adding one text field of its own.
class OwnQuantityElement : public zelvproElement {
 public:
  OwnQuantityElement() : zelvproElement(0, nullptr, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0) {
    SetQuantityEditable(true);
  }
  void AddCalculationFields(ppConfigPanel& panel, iProperty&) override {
    auto* own = new ppTextField(&panel, nullptr);
    own->SetText(u"own field", 0);
    panel.AddField(own);
  }
};

// What the tests read of one field.
struct Seen {
  std::string kind;      // "text", "edit", "edit3" (three lines), "selector", "tree", "button", "other"
  std::string property;  // the bound property ("" for none)
  std::string caption;
  bool readOnly = false;
  std::vector<int32_t> margins;
  bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
  out << s.kind << " " << s.property << " '" << s.caption << "'" << (s.readOnly ? " ro" : "") << " (";
  for (int32_t m : s.margins) out << m << ",";
  return out << ")";
}

Seen Describe(ppField* field) {
  Seen s;
  const int32_t* m = field->Margins();
  s.margins = {m[0], m[1], m[2], m[3]};
  if (auto* unit = dynamic_cast<ppPropertyDataUnit*>(field->DataUnit()))
    s.property = unit->Binding().Name().c_str();
  if (auto* query = dynamic_cast<ppPropertySelectorQuery*>(field->DataUnit()))
    s.property = query->Binding().Name().c_str();
  if (auto* edit = dynamic_cast<ppEditTextField*>(field)) {
    s.kind = edit->LineCount() == 1 ? "edit" : "edit" + std::to_string(edit->LineCount());
    s.caption = edit->Caption().Narrow().c_str();
    s.readOnly = (plat::GetWindowLongPtrA(edit->EditControl(), plat::GWL_STYLE) & plat::ES_READONLY) != 0;
    EXPECT_EQ(edit->ColumnWidth(), 60) << s.property;
  } else if (auto* selector = dynamic_cast<ppPopupSelector*>(field)) {
    s.kind = selector->IsTree() ? "tree" : "selector";
    s.caption = selector->Caption().Narrow().c_str();
    EXPECT_EQ(selector->ColumnWidth(), 35);
  } else if (auto* text = dynamic_cast<ppTextField*>(field)) {
    s.kind = "text";
    s.caption = text->Text().Narrow().c_str();
  } else if (dynamic_cast<ppButtonField*>(field) != nullptr) {
    s.kind = "button";
  } else {
    s.kind = "other";
  }
  return s;
}

const std::vector<int32_t> kEdit{10, 5, 10, 5};

Seen Edit(const char* property, bool readOnly = false, std::vector<int32_t> margins = kEdit) {
  return {"edit", property, property, readOnly, std::move(margins)};
}
Seen Shown(const char* property, std::vector<int32_t> margins) {
  return {"text", property, "", false, margins};
}

class LinePanelTest : public calctest::CalculationTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ppView::ResetClickPoint();
    CalculationTest::SetUp();
    FreeUnitTrees();
    app_ = std::make_unique<adorner_tests::TestApplication>();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 300, 600);
    plat::SetFocus(hwnd_);
    configurator_ = new ppConfigurator(window_, {0, 0, 300, 600}, nullptr, false);
    window_->SetTarget(configurator_);
    doc_ = std::make_unique<zelvproDocFil>(Db(1));
    for (auto [id, text] : {std::pair{5, "Kitchen"}, std::pair{9, "Utility"}}) {
      zelvproTagFil& tags = doc_->TagTable();
      tags.ClearRecordBuffer(nullptr);
      cattest::SetField(tags, "id", id);
      cattest::SetField(tags, "tname", Vcon::WString(text));
      tags.InsertRecordAt(-1, nullptr);
    }
    host_.tags = &doc_->TagTable();
    update_ = ppSwitchBoard::MessageIdByName("UpdateCalculation", true);
    tagDialog_ = ppSwitchBoard::MessageIdByName("ShowTagDialog", true);
    savedFlags1_ = ApplicationFlags1();
    savedFlags2_ = ApplicationFlags2();
    SetApplicationFlags1(0);
    SetApplicationFlags2(0);
  }
  void TearDown() override {
    SetApplicationFlags1(savedFlags1_);
    SetApplicationFlags2(savedFlags2_);
    delete window_;
    ppPendingDeletions::DeleteAll();
    app_.reset();
    element_.reset();
    host_.tags = tags_.get();
    doc_.reset();
    FreeUnitTrees();
    CalculationTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  // Shows the panel of line `line` and answers its fields.
  std::vector<Seen> Show(int32_t line) {
    Calc().BeginAccess();
    Calc().GoToItem(line);
    Calc().ShowLinePanel(configurator_);
    plat::HeadlessDriver::RunUntilIdle();
    std::vector<Seen> out;
    for (ppField* f = Panel()->FirstField(); f != nullptr; f = f->NextField()) out.push_back(Describe(f));
    return out;
  }
  ppConfigPanel* Panel() const {
    return configurator_->Tabs().empty() ? nullptr : configurator_->Tabs()[0]->Panel();
  }
  std::string PanelName() const { return Panel()->Caption().Narrow().c_str(); }
  template <typename T>
  T* FieldAt(size_t index) {
    ppField* f = Panel()->FirstField();
    for (size_t i = 0; i < index && f != nullptr; ++i) f = f->NextField();
    return dynamic_cast<T*>(f);
  }
  int32_t LineOfType(int32_t type) { return AddLine({{"type", type}}); }

  void Press(int32_t key) {
    plat::Desktop::Key(key, true);
    plat::Desktop::Key(key, false);
    plat::HeadlessDriver::RunUntilIdle();
  }
  void Type(const char* letters) {
    for (const char* c = letters; *c != 0; ++c) Press(*c);
  }
  void ClickInto(ppField* field) {
    plat::RECT frame;
    field->GetWindowFrame(&frame);
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, {frame.right - 10, frame.top + 5});
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, {frame.right - 10, frame.top + 5});
    plat::HeadlessDriver::RunUntilIdle();
  }

  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  plat::HWND hwnd_ = nullptr;
  ppConfigurator* configurator_ = nullptr;
  std::unique_ptr<zelvproDocFil> doc_;
  std::unique_ptr<OwnQuantityElement> element_;
  int32_t update_ = -1, tagDialog_ = -1;
  uint32_t savedFlags1_ = 0, savedFlags2_ = 0;
};

TEST_F(LinePanelTest, ACalculationItemShowsItsFieldsByTheOptionBits) {
  const int32_t line = LineOfType(Line::kCalculationItem);
  const Seen tdb = Shown("tdbText", {10, 10, 10, 0}), unit = Shown("tunitText", {10, 10, 10, 0});
  const Seen options = Shown("tOptions", {10, 10, 10, 10});
  EXPECT_EQ(Show(line), (std::vector<Seen>{tdb, unit, Edit("ttext"), options, Edit("pcs", true),
                                           Edit("price", true), Edit("total", true)}));
  EXPECT_EQ(PanelName(), "Calculation Item");

  SetApplicationFlags1(Line::kDiscountFields | Line::kSecondPriceFields);
  EXPECT_EQ(Show(line),
            (std::vector<Seen>{tdb, unit, Edit("ttext"), options, Edit("pcs", true), Edit("price", true),
                               Edit("discountPct"), Edit("discount"), Edit("total", true),
                               Edit("priceText2", true), Edit("totalText2", true)}));

  // An element that keeps its own quantity adds its fields in place of the options text.
  SetApplicationFlags1(0);
  element_ = std::make_unique<OwnQuantityElement>();
  const int32_t own = AddLine({{"type", int32_t(Line::kCalculationItem)}}, {element_.get(), &Db(1)});
  EXPECT_EQ(Show(own), (std::vector<Seen>{tdb,
                                          unit,
                                          Edit("ttext"),
                                          {"text", "", "own field", false, {0, 0, 0, 0}},
                                          Edit("pcs"),
                                          Edit("price", true),
                                          Edit("total", true)}));
}

// Every caption and panel name the line panels ask for is a text of the demo (its English table):
// none shows a field's name or a bare text number to the user.
TEST_F(LinePanelTest, EveryPanelOfEveryLineTypeFindsItsTextsInTheDemo) {
  cattest::ProgramTexts demo;
  std::ifstream in(std::string(PLANNER_SOURCE_DIR) + "/data/demo/application/qxString.tsv");
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string id, language, text;
    if (!std::getline(fields, id, '\t') || !std::getline(fields, language, '\t') ||
        !std::getline(fields, text))
      continue;
    if (language == "1033" && !id.empty() && std::isdigit(static_cast<unsigned char>(id[0])))
      demo.texts[std::stoi(id)] = text;
  }
  ASSERT_GT(demo.texts.size(), 100u);
  SetTextSource(&demo);
  for (int32_t type = Line::kEmptyLine; type <= Line::kNoteLine; ++type) {
    for (const Seen& seen : Show(LineOfType(type))) {
      if (seen.caption.empty()) continue;
      EXPECT_NE(seen.caption, seen.property)
          << "type " << type << ": the field's name as the caption of " << seen.property;
      EXPECT_FALSE(std::all_of(seen.caption.begin(), seen.caption.end(), ::isdigit))
          << "type " << type << ": a text number as its caption";
    }
    const std::string name = PanelName();
    EXPECT_TRUE(name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit)) << "type " << type;
  }
  SetTextSource(nullptr);
}

TEST_F(LinePanelTest, CaptionsComeFromTheLanguageByTheirNumbers) {
  cattest::ProgramTexts texts;
  texts.texts = {{8006, "Text"}, {8007, "Quantity"}, {8052, "Price"}, {8053, "Amount"}, {6340, "Vare"}};
  SetTextSource(&texts);
  const std::vector<Seen> fields = Show(LineOfType(Line::kCalculationItem));
  SetTextSource(nullptr);
  std::vector<std::string> captions;
  for (const Seen& s : fields)
    if (s.kind == "edit") captions.push_back(s.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"Text", "Quantity", "Price", "Amount"}));
  EXPECT_EQ(PanelName(), "Vare");
}

TEST_F(LinePanelTest, AServiceLineHasTheTagBlockAndTheUnitSelectorWhileATreeExists) {
  const int32_t line = LineOfType(Line::kItemService);
  const Seen button{"button", "", "", false, {161, 10, 10, -29}};
  const Seen tag{"selector", "tag", "Tag", false, {10, 0, 28, 5}};
  const std::vector<Seen> rest{Edit("totherText", false, {10, 15, 10, 5}),
                               Edit("pcs"),
                               Edit("price"),
                               Edit("discountPct"),
                               Edit("discount"),
                               Edit("total", true)};
  std::vector<Seen> without{button, tag};
  without.insert(without.end(), rest.begin(), rest.end());
  EXPECT_EQ(Show(line), without) << "no calculation folder: no unit selector";
  EXPECT_EQ(PanelName(), "Item/Service");
  EXPECT_EQ(configurator_->OwnedObjectCount(), 1u) << "the collaborator";

  const std::string text = "\t1\t\tBase units\tROOT\n\t" + std::to_string(first_.unit) + "\t1\t\t1\n";
  ReadUnitTreeText(text.data(), text.size());
  std::vector<Seen> with{button, tag, {"tree", "", "Unit", false, {10, 20, 10, 5}}};
  with.insert(with.end(), rest.begin(), rest.end());
  EXPECT_EQ(Show(line), with);
  auto* unitQuery = dynamic_cast<qxUnitTreeQuery*>(FieldAt<ppPopupSelector>(2)->Query());
  ASSERT_NE(unitQuery, nullptr);
  EXPECT_EQ(unitQuery->GetTreeRoot(), UnitTreeRoot());
}

TEST_F(LinePanelTest, EveryOtherTypeHasItsOwnFields) {
  const Seen button{"button", "", "", false, {161, 10, 10, -29}};
  const Seen tag{"selector", "tag", "Tag", false, {10, 0, 28, 5}};
  const Seen other = Edit("totherText", false, {10, 15, 10, 5});
  struct Case {
    int32_t type;
    std::string name;
    std::vector<Seen> fields;
  };
  const std::vector<Case> cases = {
      {Line::kEmptyLine, "Empty Line", {}},
      {Line::kTotalLine, "Total", {Edit("tunitText"), Edit("ttext"), Edit("total", true)}},
      {Line::kTextLine, "Text", {button, tag, {"edit3", "totherText", "totherText", false, {10, 15, 10, 5}}}},
      {Line::kDiscountLine, "Discount", {button, tag, other, Edit("discountPct"), Edit("total", true)}},
      {Line::kSubtotalLine, "SubTotal", {other}},
      {Line::kVatLine, "VAT/Tax", {other, Edit("discountPct")}},
      {Line::kElementLine2, "", {}},
      {Line::kTagHeading, "", {}},
      {Line::kNoteLine, "", {}},
      {40, "", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Show(LineOfType(c.type)), c.fields) << c.type;
    EXPECT_EQ(PanelName(), c.name) << c.type;
  }
}

TEST_F(LinePanelTest, TheTaggedPanelsTakeText6367WhenTheLanguageHasIt) {
  cattest::ProgramTexts texts;
  texts.texts = {{6367, "Line"}};
  SetTextSource(&texts);
  for (int32_t type : {Line::kItemService, Line::kTextLine, Line::kDiscountLine}) {
    Show(LineOfType(type));
    EXPECT_EQ(PanelName(), "Line") << type;
  }
  Show(LineOfType(Line::kSubtotalLine));
  EXPECT_EQ(PanelName(), "SubTotal");
  SetTextSource(nullptr);
}

TEST_F(LinePanelTest, TheNewPanelReplacesTheOldUnlessFlags2SaysNoPanel) {
  Show(LineOfType(Line::kItemService));
  ASSERT_EQ(configurator_->Tabs().size(), 1u);
  EXPECT_EQ(PanelName(), "Item/Service");
  Show(LineOfType(Line::kVatLine));
  ASSERT_EQ(configurator_->Tabs().size(), 1u) << "the new panel is the only tab";
  // The old panel is gone: its memory may well hold the new one, so the name tells them apart.
  EXPECT_EQ(PanelName(), "VAT/Tax");
  EXPECT_EQ(configurator_->OwnedObjectCount(), 0u) << "the old collaborator went with its panel";

  SetApplicationFlags2(Line::kNoLinePanel);
  ppConfigPanel* kept = Panel();
  Show(LineOfType(Line::kItemService));
  EXPECT_EQ(Panel(), kept);
  EXPECT_EQ(PanelName(), "VAT/Tax");
}

TEST_F(LinePanelTest, EditsBroadcastByTheirFieldAndTheTagButtonIsHeardAndIgnored) {
  const int32_t item = AddLine({{"type", int32_t(Line::kCalculationItem)}, {"pcs", ppParameter(2.0)}});
  element_ = std::make_unique<OwnQuantityElement>();
  Calc().BeginAccess();
  Calc().ReadRecordAt(item, nullptr);
  Calc().BufferRefs(nullptr) = {element_.get(), &Db(1)};
  Calc().WriteRecordAt(item, nullptr);
  Calc().SaveToBlob();
  Show(item);
  // Fields: tdbText, tunitText, ttext, own field, pcs, ...
  auto* text = FieldAt<ppEditTextField>(2);
  auto* pieces = FieldAt<ppEditTextField>(4);
  ASSERT_NE(text, nullptr);
  ASSERT_NE(pieces, nullptr);

  Spy spy;
  ClickInto(pieces);
  Press(plat::VK_END);
  Press(plat::VK_BACK);
  Type("5");
  Press(plat::VK_TAB);
  EXPECT_EQ(Read(item, "pcs").ToDouble(), 5.0);
  EXPECT_EQ(spy.ids, std::vector<int32_t>{}) << "a quantity edit broadcasts nothing";

  ClickInto(text);
  Type("OAK 7");
  Press(plat::VK_TAB);
  EXPECT_EQ(Text(item, "ttext"), "oak 7") << "keys typed without Shift";
  EXPECT_EQ(spy.ids, std::vector<int32_t>{update_});

  // The tag button of a service line: heard by the panel's collaborator, which changes nothing.
  const int32_t service = LineOfType(Line::kItemService);
  Show(service);
  auto* button = FieldAt<ppButtonField>(0);
  ASSERT_NE(button, nullptr);
  const int32_t lines = Calc().GetRecordCount();
  spy.ids.clear();
  button->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(button->Button()));
  EXPECT_EQ(spy.ids, std::vector<int32_t>{tagDialog_});
  EXPECT_EQ(Calc().GetRecordCount(), lines);
  EXPECT_EQ(Read(service, "tag").ToLong(), 0);
}

TEST_F(LinePanelTest, ChoosingATagWritesItsIdAndAsksForTheListAgain) {
  const int32_t service = LineOfType(Line::kItemService);
  Show(service);
  auto* selector = FieldAt<ppPopupSelector>(1);
  ASSERT_NE(selector, nullptr);
  ppSelectorQuery* query = selector->Query();
  ASSERT_EQ(query->GetItemCount(), 3) << "the default tag and the two of the document";
  ppParameter third;
  query->GetColumn1(2, third);
  EXPECT_EQ(third.ToLong(), 20001) << "position x 10000 + 1";
  ppParameter name;
  query->GetColumn2(2, name);
  EXPECT_EQ(std::string(name.AsWString().Narrow().c_str()), "Utility");

  Spy spy;
  selector->SetValue(third);
  Calc().BeginAccess();
  Calc().ReadRecordAt(service, nullptr);
  EXPECT_EQ(cattest::LongField(Calc(), "tag"), 9) << "the tag's id is stored";
  Calc().GoToItem(service);
  EXPECT_EQ(Calc().GetValue(Calc().IndexOf("tag")).ToLong(), 20001);
  EXPECT_EQ(spy.ids, std::vector<int32_t>{update_});
}

TEST_F(LinePanelTest, ChoosingAUnitInTheTreeWritesTheLineAndAsksForTheListAgain) {
  const std::string text = "\t1\t\tBase units\tROOT\n\t" + std::to_string(first_.unit) + "\t1\t\t1\n";
  ReadUnitTreeText(text.data(), text.size());
  const int32_t service = LineOfType(Line::kItemService);
  Show(service);
  auto* selector = FieldAt<ppPopupSelector>(2);
  ASSERT_NE(selector, nullptr);
  ASSERT_TRUE(selector->IsTree());
  Spy spy;
  selector->SetValue(ppParameter(UnitTreeRoot()->FindById(first_.unit)->Identity()));
  EXPECT_EQ(Read(service, "unitID").ToLong(), first_.unit);
  EXPECT_EQ(Text(service, "tunitDescription"), "B30 Base 30");
  EXPECT_EQ(spy.ids, std::vector<int32_t>{update_});
  EXPECT_EQ(selector->FindCurrent(), 2) << "the root, the group, the unit";
}

}  // namespace

namespace {

TEST_F(LinePanelTest, TheTagChoicesMatchTheLinesTagInADocumentOfAnyCatalogue) {
  // The document record bound to the catalogue of identifier 2: its tags' "dbId" end in 2.
  host_.tags = tags_.get();
  doc_.reset();
  doc_ = std::make_unique<zelvproDocFil>(Db(2));
  zelvproTagFil& tags = doc_->TagTable();
  tags.ClearRecordBuffer(nullptr);
  cattest::SetField(tags, "id", 9);
  cattest::SetField(tags, "tname", Vcon::WString(u"Utility"));
  tags.InsertRecordAt(-1, nullptr);
  host_.tags = &tags;

  const int32_t service = AddLine({{"type", int32_t(Line::kItemService)}, {"tag", 9}});
  Show(service);
  auto* selector = FieldAt<ppPopupSelector>(1);
  ASSERT_NE(selector, nullptr);
  ppParameter second;
  selector->Query()->GetColumn1(1, second);
  EXPECT_EQ(second.ToLong(), 10001);
  EXPECT_EQ(selector->FindCurrent(), 1) << "the line's tag is the current choice";
}

}  // namespace
