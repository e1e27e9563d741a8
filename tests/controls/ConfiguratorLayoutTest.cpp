// Configurator pages built from the application database's layout records onto the program-wide
// configurator, the default panels of the demo settings, and the save question answered from the
// idle script.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "catalogue/CatalogueTestSupport.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/databases/qxConfiguratorCommands.h"
#include "catalogue/databases/qxSkindb.h"
#include "catalogue/records/WarningQuestion.h"
#include "catalogue/records/zelvproConfigFieldFil.h"
#include "catalogue/records/zelvproConfiguratorFil.h"
#include "controls/ppButtonField.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigTab.h"
#include "controls/ppDivider.h"
#include "controls/ppTextField.h"
#include "controls/zelvproWarningDialog.h"
#include "framework/iElementServices.h"
#include "framework/ppButton.h"
#include "framework/ppCollaborator.h"
#include "framework/ppPicture.h"
#include "framework/ppSwitchBoard.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/WindowApi.h"
#include "support/DemoSettings.h"

namespace {

using cattest::SetField;
using plat::HeadlessDriver;

// One "qxConfigField" record.
struct FieldRecord {
  int32_t type;
  std::string label;
  std::string text;
  int32_t margins[4] = {0, 0, 0, 0};  // left, top, right, bottom
};

// What one built field is, in short: "text:<text>", "button:<picture>", "line", "frame:<picture>".
std::string Describe(ppField* field) {
  if (auto* text = dynamic_cast<ppTextField*>(field))
    return "text:" + std::string(text->Text().Narrow().c_str());
  if (auto* button = dynamic_cast<ppButtonField*>(field))
    return "button:" + std::to_string(button->PictureId());
  if (auto* divider = dynamic_cast<ppDivider*>(field))
    return divider->DividerHeight() == 1 ? "line" : "frame";
  return "other";
}

struct Page {
  std::string caption;
  std::vector<std::string> fields;
  bool operator==(const Page&) const = default;
};

void PrintTo(const Page& page, std::ostream* out) {
  *out << "[" << page.caption << ":";
  for (const std::string& f : page.fields) *out << " " << f;
  *out << "]";
}

class ConfiguratorLayoutTest : public ctltest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    configurator_ = new ppConfigurator(window_, {0, 0, 250, 400}, nullptr, false);
    SetConfiguratorHost(configurator_);
  }
  void TearDown() override {
    HeadlessDriver::SetIdleScript(nullptr);
    SetConfiguratorHost(nullptr);
    db_.reset();
    SetTextSource(nullptr);
    WindowTest::TearDown();
  }

  qxApplicationdb& Database() {
    if (!db_) {
      ppFileSpec file = dbtest::SpecFor(folder_.Path("zadezodid.cdb"));
      db_ = std::make_unique<qxApplicationdb>(file);
    }
    return *db_;
  }

  // Gives panel record `id` (one of the defaults) the field layout `records`.
  void SetLayout(int32_t id, const std::vector<FieldRecord>& records) {
    zelvproConfiguratorFil& panels = Database().ConfiguratorFile();
    const int32_t record = panels.FindRecordByKey(0, &id);
    ASSERT_NE(record, 0);
    panels.ReadRecord(record, nullptr);
    zelvproConfigFieldFil& fields = panels.FieldFile();
    fields.DisposeRecords();
    for (const FieldRecord& r : records) {
      fields.ClearRecordBuffer(nullptr);
      SetField(fields, "type", r.type);
      SetField(fields, "label", r.label.c_str());
      SetField(fields, "text", r.text.c_str());
      SetField(fields, "leftmargin", r.margins[0]);
      SetField(fields, "topmargin", r.margins[1]);
      SetField(fields, "rightmargin", r.margins[2]);
      SetField(fields, "bottommargin", r.margins[3]);
      fields.InsertRecordAt(-1, nullptr);
    }
    fields.SaveToBlob();
    panels.WriteRecord(record, nullptr);
  }

  std::vector<Page> Pages() const {
    std::vector<Page> pages;
    for (ppConfigTab* tab : configurator_->Tabs()) {
      Page page{tab->Panel()->Caption().Narrow().c_str(), {}};
      for (ppField* f = tab->Panel()->FirstField(); f != nullptr; f = f->NextField())
        page.fields.push_back(Describe(f));
      pages.push_back(page);
    }
    return pages;
  }

  dbtest::TempFolder folder_;
  std::unique_ptr<qxApplicationdb> db_;
  ppConfigurator* configurator_ = nullptr;  // a subview of the window
};

TEST_F(ConfiguratorLayoutTest, FieldRecordsBuildPagesAndTheirFields) {
  struct Case {
    const char* what;
    std::vector<FieldRecord> records;
    std::vector<Page> pages;
  } cases[] = {
      {"two pages",
       {{0, "A", ""}, {1, "", "one"}, {1, "", "two"}, {0, "B", ""}, {2, "3044", "press"}},
       {{"A", {"text:one", "text:two"}}, {"B", {"button:3044"}}}},
      {"a field first lands on an uncaptioned page",
       {{1, "", "hint"}, {0, "Next", ""}, {1, "", "more"}},
       {{"", {"text:hint"}}, {"Next", {"text:more"}}}},
      {"a page record first names the first page", {{0, "Only", ""}}, {{"Only", {}}}},
      {"no field records", {}, {{"", {}}}},
      {"dividers: framed by a picture or a plain line",
       {{3, "", "1101"}, {3, "", ""}, {3, "", "0"}},
       {{"", {"frame", "line", "line"}}}},
      {"buttons without a positive picture number make no field",
       {{0, "P", ""}, {2, "0", "a"}, {2, "new", "b"}, {2, "", "c"}, {2, "-5", "d"}, {2, "12x", "e"}},
       {{"P", {}}}},
      {"unknown types make nothing", {{7, "x", "y"}, {1, "", "kept"}}, {{"", {"text:kept"}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetLayout(1003, c.records);
    ASSERT_TRUE(Database().BuildConfigurator(1003));
    EXPECT_EQ(Pages(), c.pages);
    EXPECT_EQ(configurator_->CurrentPanel(), configurator_->Tabs()[0]->Panel());
  }
}

TEST_F(ConfiguratorLayoutTest, FieldsTakeTheirMarginsAndFramedDividersTheirPicture) {
  FieldRecord text{1, "", "t"};
  text.margins[0] = 1, text.margins[1] = 2, text.margins[2] = 3, text.margins[3] = 4;
  SetLayout(1001, {text, {3, "", "1101"}});
  Database().BuildConfigurator(1001);
  ppField* field = configurator_->Tabs()[0]->Panel()->FirstField();
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(std::vector<int32_t>(field->Margins(), field->Margins() + 4), (std::vector<int32_t>{1, 2, 3, 4}));
  auto* divider = dynamic_cast<ppDivider*>(field->NextField());
  ASSERT_NE(divider, nullptr);
  EXPECT_EQ(divider->DividerHeight(), 3);
}

TEST_F(ConfiguratorLayoutTest, AnUnknownOrNegativeLayoutIdBuildsTheLayoutReadLast) {
  SetLayout(1000, {{0, "Room", ""}});
  SetLayout(1002, {{0, "Colour", ""}});
  Database().BuildConfigurator(1000);
  for (int32_t id : {4711, -1}) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(Database().BuildConfigurator(id));
    EXPECT_EQ(Pages(), (std::vector<Page>{{"Room", {}}}));
  }
}

TEST_F(ConfiguratorLayoutTest, CaptionsAndTextsResolveTheirTextNumber) {
  SetLayout(1004, {{0, "Width;6207", ""}, {1, "", "Depth;6208"}});
  cattest::ProgramTexts texts;
  Database();
  SetTextSource(&texts);
  Database().BuildConfigurator(1004);
  EXPECT_EQ(Pages(), (std::vector<Page>{{"Width", {"text:Depth"}}}));
  texts.texts = {{6207, "Bredde"}, {6208, "Dybde"}};
  Database().BuildConfigurator(1004);
  EXPECT_EQ(Pages(), (std::vector<Page>{{"Bredde", {"text:Dybde"}}}));
}

TEST_F(ConfiguratorLayoutTest, WithoutAConfiguratorNothingIsBuilt) {
  SetLayout(1000, {{0, "Room", ""}});
  SetConfiguratorHost(nullptr);
  EXPECT_TRUE(Database().BuildConfigurator(1000));
  EXPECT_TRUE(configurator_->Tabs().empty());
}

TEST_F(ConfiguratorLayoutTest, TheDemoDefaultPanelsShowTheirPagesAndButtons) {
  DemoSettings demo;
  ppFileSpec file = dbtest::SpecFor(demo.File("zadezodid.cdb").string());
  qxApplicationdb application(file);
  SetTextSource(nullptr);
  // The test application shows the demo skin's button pictures, state by state, as the program's
  // skin does.
  file.path = Vcon::WString(demo.File("skin.cdb").string().c_str());
  qxSkindb skin(file);
  for (int32_t id : {2001, 2101, 2401, 2501}) {
    for (int32_t state = ppButton::kNormal; state <= ppButton::kDisabled; ++state) {
      const ppPicture& picture = skin.GetButtonPicture(id, state);
      ASSERT_FALSE(picture.IsEmpty()) << "button " << id << " state " << state;
      app_->pictures[id + state] = std::make_unique<ppPicture>(picture);
    }
  }
  // Commands reach the application, which passes them on to its key target as menu commands.
  struct Target : ppEventHandler {
    void DoCommand(int32_t command, intptr_t parameter) override { commands.push_back({command, parameter}); }
    std::vector<std::pair<int32_t, intptr_t>> commands;
  } target;
  app_->SetTarget(&target);

  // The default panel of each view mode: room design 2016, top view 2020, top view colours 2004,
  // annotation 2056, 3D view 2024, calculation 2012; and what its button gives when pressed:
  // a new document (11), the selection turned a step clockwise (4008), the 3D view's navigation
  // reset (3080 with 2265), print (19).
  struct Panel {
    std::vector<Page> pages;
    std::vector<std::pair<int32_t, intptr_t>> commands;
  };
  const std::map<int32_t, Panel> expected = {
      {1000,
       {{{"Room", {"text:Draw the walls of your room, then add doors and windows.", "line", "button:2001"}}},
        {{11, 0}}}},
      {1001,
       {{{"Unit", {"text:Pick a unit in the catalogue and drag it into the room.", "frame", "button:2101"}}},
        {{4008, 0}}}},
      {1002, {{{"Colors", {"text:Choose a finish for the selected units.", "line"}}}, {}}},
      {1003, {{{"Notes", {"text:Add dimensions and notes to the plan."}}}, {}}},
      {1004,
       {{{"3D view",
          {"text:Turn, tilt and move the view point with the buttons around the view; drag a unit to move "
           "it.",
           "line", "button:2401"}}},
        {{3080, 2265}}}},
      {1005,
       {{{"Prices",
          {"text:Prices are without VAT: a VAT/Tax line adds it to the total.", "line", "button:2501"}}},
        {{19, 0}}}},
  };
  for (const auto& [panel, want] : expected) {
    SCOPED_TRACE(panel);
    EXPECT_TRUE(application.BuildConfigurator(panel));
    EXPECT_EQ(Pages(), want.pages);
    plat::HeadlessDriver::RunUntilIdle();
    target.commands.clear();
    for (ppField* f = configurator_->CurrentPanel()->FirstField(); f != nullptr; f = f->NextField()) {
      auto* button = dynamic_cast<ppButtonField*>(f);
      if (button == nullptr) continue;
      plat::RECT r;
      button->Button()->GetWindowFrame(&r);
      EXPECT_EQ(std::pair(r.right - r.left, r.bottom - r.top), std::pair(24, 24)) << "the picture's size";
      EXPECT_EQ(button->MessageIds().size(), 1u) << "a message name the program knows";
      Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    EXPECT_EQ(target.commands, want.commands);
  }
  app_->SetTarget(nullptr);
}

TEST_F(ConfiguratorLayoutTest, ButtonCommandsAreHeardByNameWhileTheApplicationDatabaseIsOpen) {
  struct Recorder : ppEventHandler {
    void DoCommand(int32_t command, intptr_t parameter) override { commands.push_back({command, parameter}); }
    std::vector<std::pair<int32_t, intptr_t>> commands;
  } application, other;
  app_->SetTarget(&application);
  ppCollaborator sender(nullptr);
  auto broadcastAll = [&](int32_t channel) {
    for (const auto& c : qxConfiguratorCommands::Commands())
      sender.Broadcast(channel, ppSwitchBoard::MessageIdByName(c.name, false), 0);
  };
  const std::vector<std::pair<int32_t, intptr_t>> all = {{11, 0}, {4008, 0}, {3080, 2265}, {19, 0}};

  Database();
  for (const auto& c : qxConfiguratorCommands::Commands())
    EXPECT_NE(ppSwitchBoard::MessageIdByName(c.name, false), -1)
        << c.name << " known before any panel is built";
  broadcastAll(ppSwitchBoard::kNamedChannel);
  EXPECT_EQ(application.commands, all) << "through the application, as menu commands";

  application.commands.clear();
  broadcastAll(1001);
  EXPECT_TRUE(application.commands.empty()) << "the same ids on another channel";

  Database().ConfiguratorCommands().SetTarget(&other);
  broadcastAll(ppSwitchBoard::kNamedChannel);
  EXPECT_TRUE(application.commands.empty());
  EXPECT_EQ(other.commands, all);

  db_.reset();
  other.commands.clear();
  broadcastAll(ppSwitchBoard::kNamedChannel);
  EXPECT_TRUE(other.commands.empty() && application.commands.empty()) << "a closed database hears nothing";
  app_->SetTarget(nullptr);
}

// The save question, run modally and answered from the idle script one step at a time.
class WarningQuestionTest : public ctltest::WindowTest {
 protected:
  void TearDown() override {
    ppWindow::SetApplicationWindow(nullptr);
    HeadlessDriver::SetIdleScript(nullptr);
    SetTextSource(nullptr);
    WindowTest::TearDown();
  }
  int32_t Ask(std::vector<std::function<void()>> steps) {
    size_t next = 0;
    HeadlessDriver::SetIdleScript([&] {
      if (next >= steps.size()) return false;
      steps[next++]();
      return true;
    });
    const int32_t answer = ShowWarningQuestion();
    HeadlessDriver::SetIdleScript(nullptr);
    EXPECT_EQ(next, steps.size()) << "the question ended before its last step";
    return answer;
  }
  static plat::HWND Question() { return plat::GetActiveWindow(); }
  static std::function<void()> Key(int32_t key) {
    return [key] {
      plat::Desktop::Key(key, true);
      plat::Desktop::Key(key, false);
    };
  }
  static std::function<void()> Press(int32_t item) {
    return [item] {
      plat::SetFocus(plat::GetDlgItem(Question(), item));
      plat::Desktop::Key(plat::VK_SPACE, true);
      plat::Desktop::Key(plat::VK_SPACE, false);
    };
  }
  static std::u16string ItemText(int32_t item) { return Text(plat::GetDlgItem(Question(), item)); }
  static std::u16string Text(plat::HWND window) {
    char16_t buffer[256] = {};
    plat::GetWindowTextW(window, buffer, 256);
    return buffer;
  }
};

TEST_F(WarningQuestionTest, AnswersSixForYesSevenForNoAndTwoForCancelOrEscape) {
  struct Case {
    const char* what;
    std::function<void()> answer;
    int32_t result;
  } cases[] = {
      {"Yes", Press(zelvproWarningDialog::kYes), 6},
      {"No", Press(zelvproWarningDialog::kNo), 7},
      {"Cancel", Press(plat::IDCANCEL), 2},
      {"Escape", Key(plat::VK_ESCAPE), 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Ask({c.answer}), c.result);
  }
}

TEST_F(WarningQuestionTest, ShowsTheTextsOfTheCurrentLanguage) {
  cattest::ProgramTexts texts;
  texts.texts = {{5050, "Gem"}, {5049, "Gem rummet?"}, {1002, "Ja"}, {1003, "Nej"}, {1001, "Annuller"}};
  SetTextSource(&texts);
  std::map<int32_t, std::u16string> shown;
  std::u16string caption;
  plat::HWND owner = nullptr;
  ppWindow::SetApplicationWindow(window_);  // the frame the question belongs to
  auto look = [&] {
    caption = Text(Question());
    owner = plat::GetWindow(Question(), plat::GW_OWNER);
    for (int32_t item : {zelvproWarningDialog::kMessageItem, 6, 7, 2}) shown[item] = ItemText(item);
  };
  Ask({look, Key(plat::VK_ESCAPE)});
  EXPECT_EQ(caption, u"Gem");
  EXPECT_EQ(shown[zelvproWarningDialog::kMessageItem], u"Gem rummet?");
  EXPECT_EQ(shown[6], u"Ja");
  EXPECT_EQ(shown[7], u"Nej");
  EXPECT_EQ(shown[2], u"Annuller");
  EXPECT_EQ(owner, hwnd_) << "owned by the application's frame";

  texts.texts.erase(5049);
  Ask({look, Key(plat::VK_ESCAPE)});
  EXPECT_EQ(shown[zelvproWarningDialog::kMessageItem], u"No message!");
}

}  // namespace
