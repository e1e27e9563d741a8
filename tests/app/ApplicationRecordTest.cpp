#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/menus/MenuBuilder.h"
#include "app/shell/ShellSettings.h"
#include "calculation/zelvproCalculatorCanvas.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "canvas/window/PrintResolutionHook.h"
#include "catalogue/browser/qxCatalog.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/topview/iNumberLabelOption.h"
#include "framework/ApplicationSettings.h"
#include "framework/ppMenuHelper.h"
#include "framework/ppView.h"
#include "platform/Menu.h"

namespace {

using apptest::AppTest;
using namespace plat;

class ApplicationRecord : public AppTest {
 protected:
  void TearDown() override {
    if (menu_ != nullptr) DestroyMenu(menu_);
    CatalogTextsFromRecords = false;
    AppTest::TearDown();
  }
  HMENU LoadMain() {
    menu_ = LoadMenuA(nullptr, "MAIN");
    EXPECT_NE(menu_, nullptr);
    return menu_;
  }
  void Apply(int32_t flags1, int32_t flags2) {
    SetApplicationField("flags1", flags1);
    SetApplicationField("flags2", flags2);
    app_->ApplyApplicationRecord(ApplicationFile(), menu_);
  }
  // The texts of one submenu, "-" for a separator, without the key names after the tab.
  std::vector<std::string> Items(int32_t position) {
    HMENU submenu = GetSubMenu(menu_, position);
    std::vector<std::string> out;
    for (int32_t i = 0; i < GetMenuItemCount(submenu); ++i) {
      char text[128] = {};
      GetMenuStringA(submenu, UINT(i), text, sizeof text, MF_BYPOSITION);
      std::string item = text;
      if (GetMenuState(submenu, UINT(i), MF_BYPOSITION) & MF_SEPARATOR) item = "-";
      out.push_back(item.substr(0, item.find('\t')));
    }
    return out;
  }
  std::string TopText(int32_t position) {
    char text[64] = {};
    GetMenuStringA(menu_, UINT(position), text, sizeof text, MF_BYPOSITION);
    return text;
  }

  HMENU menu_ = nullptr;
};

TEST_F(ApplicationRecord, EveryBitReachesItsFlagAndTheElementsSettings) {
  const ShellSettings& settings = ShellSettings::Current();
  for (const ShellSettings::FlagBit& entry : ShellSettings::FlagTable()) {
    SCOPED_TRACE(std::to_string(entry.flag));
    Apply(entry.inFlags2 ? 0 : int32_t(entry.bit), entry.inFlags2 ? int32_t(entry.bit) : 0);
    for (const ShellSettings::FlagBit& other : ShellSettings::FlagTable())
      EXPECT_EQ(settings.IsOn(other.flag), other.flag == entry.flag) << other.flag;
    const iApplicationSettings& elements = iApplicationSettings::Current();
    EXPECT_EQ(&elements, &settings.ElementSettings());
    EXPECT_EQ(elements.flags1, entry.inFlags2 ? 0u : entry.bit);
    EXPECT_EQ(elements.flags2, entry.inFlags2 ? entry.bit : 0u);
    EXPECT_EQ(ApplicationFlags1(), elements.flags1);
    EXPECT_EQ(ApplicationFlags2(), elements.flags2);
    EXPECT_EQ(elements.numbering, entry.flag == ShellSettings::kNumbering);
    EXPECT_EQ(CatalogTextsFromRecords, entry.flag == ShellSettings::kGridOption);
    EXPECT_EQ(FrameLocked(), entry.flag == ShellSettings::kFrameLock);
    EXPECT_EQ(settings.PrintResolution(), entry.flag == ShellSettings::kHighResolutionPrint ? 300 : 180);
    // The canvases read it through the hook the record's application installed.
    EXPECT_EQ(PrintResolutionHook::Resolution(), settings.PrintResolution());
    EXPECT_FALSE(elements.panelRouting);
  }
}

TEST_F(ApplicationRecord, RecordFieldsGiveTheProgramsValues) {
  SetFrameTitle("instance");
  SetApplicationText("applicationName", "");
  SetApplicationText("primaryHelp", "Help.chm");
  SetApplicationText("posPath", "prices.txt");
  SetApplicationField("startup", 3);
  SetApplicationField("wallTextures", 11);
  SetApplicationField("floorTextures", 12);
  SetApplicationField("spare1", 2);
  SetApplicationField("popFieldHeight", 21);
  SetApplicationField("popListHeight", 250);
  Apply(0, 0x20000);
  const ShellSettings& settings = ShellSettings::Current();
  EXPECT_EQ(FrameTitle(), "instance");  // an empty name keeps the instance name
  EXPECT_EQ(settings.HelpFile(), Vcon::WString(u"Help.chm"));
  EXPECT_EQ(std::string(settings.PriceListOutput().c_str()), "prices.txt");
  EXPECT_EQ(settings.StartPage(), 3);
  EXPECT_TRUE(settings.ExtendedSettings());
  EXPECT_TRUE(FrameLocked());
  const iApplicationSettings& elements = iApplicationSettings::Current();
  EXPECT_EQ(elements.wallColorGroup, 11);
  EXPECT_EQ(elements.floorColorGroup, 12);
  EXPECT_EQ(elements.popFieldHeight, 21);
  EXPECT_EQ(elements.popListHeight, 250);
  EXPECT_NE(&iNumberLabelOption::Current(), nullptr);
  EXPECT_FALSE(iNumberLabelOption::Current().IsOn());  // no room canvas

  SetApplicationText("applicationName", "Vellmora Planner");
  SetApplicationField("spare1", 0);
  Apply(0, 0);
  EXPECT_EQ(FrameTitle(), "Vellmora Planner");
  EXPECT_FALSE(settings.ExtendedSettings());
  EXPECT_FALSE(FrameLocked());
}

TEST_F(ApplicationRecord, TheCalculationsSwitchesAreNamedWithTheCalculationsOwnBits) {
  // Each switch the price list reads, by the settings' name and by the calculation's constant: a
  // switch named on the wrong bit would leave the calculation's option unreachable from the record.
  const struct {
    ShellSettings::Flag flag;
    bool inFlags2;
    uint32_t calculationBit;
  } cases[] = {
      {ShellSettings::kSecondPriceOption, false, zelvproCalculatorList::kSecondPrice},
      {ShellSettings::kSecondPriceOption, false, zelvproCalculatorFil::kSecondPriceFields},
      {ShellSettings::kMergeLinesOption, false, zelvproCalculatorFil::kMergeByArticle},
      {ShellSettings::kDiscountFields, false, zelvproCalculatorFil::kDiscountFields},
      {ShellSettings::kCalculationBar, false, zelvproCalculatorCanvas::kButtonBar},
      {ShellSettings::kViewMenuOption, false, zelvproCalculatorList::kPassViewMenu},
      {ShellSettings::kPriceListTotals, false, zelvproCalculatorList::kTotalFooter},
      {ShellSettings::kCalculationOption, true, zelvproCalculatorList::kNoLinePanel},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flag);
    Apply(c.inFlags2 ? 0 : int32_t(c.calculationBit), c.inFlags2 ? int32_t(c.calculationBit) : 0);
    EXPECT_TRUE(ShellSettings::Current().IsOn(c.flag));
    const uint32_t word =
        c.inFlags2 ? iApplicationSettings::Current().flags2 : iApplicationSettings::Current().flags1;
    EXPECT_EQ(word, c.calculationBit);
    EXPECT_EQ(c.inFlags2 ? ApplicationFlags2() : ApplicationFlags1(), c.calculationBit);
  }
}

TEST_F(ApplicationRecord, FindMenuItemPositionLooksAtOneLevel) {
  LoadMain();
  HMENU file = GetSubMenu(menu_, 0);
  EXPECT_EQ(MenuBuilder::FindMenuItemPosition(file, 11), 0);
  EXPECT_EQ(MenuBuilder::FindMenuItemPosition(file, 19), 6);
  EXPECT_EQ(MenuBuilder::FindMenuItemPosition(file, 49), -1);
  EXPECT_EQ(MenuBuilder::FindMenuItemPosition(menu_, 11), -1);  // inside a submenu
}

TEST_F(ApplicationRecord, WithoutFunctionsTheMenuIsTheResourcesLessCredits) {
  LoadMain();
  SetFunctions({});
  RemoveSkinBitmap(2005);
  Apply(0, 0);
  EXPECT_EQ(Items(0), (std::vector<std::string>{"&New", "&Open", "&Save", "Save &As", "-", "&P&rint Setup",
                                                "&Print", "-", "E&xit"}));
  EXPECT_EQ(Items(3), (std::vector<std::string>{"&Help...", "-", "&About Zelvo Pro..."}));
}

TEST_F(ApplicationRecord, CreditsStayWhenTheSkinHasTheirPicture) {
  LoadMain();
  SetFunctions({});
  Apply(0, 0);
  EXPECT_EQ(Items(3), (std::vector<std::string>{"&Help...", "-", "&About Zelvo Pro...", "&Credits..."}));
}

TEST_F(ApplicationRecord, FileFunctionsGoBelowSaveAsAndBelowPrint) {
  LoadMain();
  SetApplicationText("primaryHelp", "Help.chm");
  SetFunctions({{-21, 1, "T1"}, {-16, 2, "T2"}, {-30, 7, "hidden"}});
  Apply(0, 0);
  EXPECT_EQ(Items(0), (std::vector<std::string>{"&New", "&Open", "&Save", "Save &As", "-", "T2", "-",
                                                "&P&rint Setup", "&Print", "-", "T1", "-", "E&xit"}));
  EXPECT_EQ(Items(3), (std::vector<std::string>{"&Help...", "-", "&About Zelvo Pro...", "&Credits..."}));
  HMENU file = GetSubMenu(menu_, 0);
  EXPECT_EQ(int16_t(GetMenuItemID(file, 5)), -16);
  EXPECT_EQ(int16_t(GetMenuItemID(file, 10)), -21);
}

TEST_F(ApplicationRecord, HelpFunctionsTakeThePlaceOfAMissingHelpFile) {
  LoadMain();
  SetApplicationText("primaryHelp", "");
  SetFunctions({{-18, 0, "T0a"}, {-17, 0, "T0b"}});
  Apply(0, 0);
  EXPECT_EQ(Items(3), (std::vector<std::string>{"T0a", "T0b", "&About Zelvo Pro...", "&Credits..."}));
  // With a help file they follow its item.
  DestroyMenu(menu_);
  LoadMain();
  SetApplicationText("primaryHelp", "Help.chm");
  Apply(0, 0);
  EXPECT_EQ(Items(3),
            (std::vector<std::string>{"&Help...", "T0a", "T0b", "-", "&About Zelvo Pro...", "&Credits..."}));
}

TEST_F(ApplicationRecord, MenuTextsFollowTheLanguage) {
  LoadMain();
  // -30 is a command the texts have no text for.
  SetFunctions({{-30, 1, "T1"}});
  Apply(0, 0);
  ASSERT_EQ(MenuTextCallback(), &MenuBuilder::MenuText);
  Preferences().languageCode = 1030;
  ApplyDerivedSettings();
  ppMenuHelper::RewriteMenuTexts(menu_, MenuTextCallback());
  EXPECT_EQ(TopText(0), "&Filer");
  EXPECT_EQ(TopText(1), "&Rediger");
  EXPECT_EQ(TopText(2), "&Vis");
  EXPECT_EQ(TopText(3), "&Hj\xe6lp");
  EXPECT_EQ(Items(0)[0], "&Ny");
  EXPECT_EQ(Items(0)[2], "&Gem");
  EXPECT_EQ(Items(0)[8], "T1");  // no Danish text: the item keeps its own
  EXPECT_EQ(MenuBuilder::SubmenuTextId(4), 0);
}

// A document window that counts the text refreshes it receives.
class CountingView : public ppView {
 public:
  void UpdateTexts() override { ++updates; }
  int32_t updates = 0;
};

TEST_F(ApplicationRecord, UpdateTextsRewritesTheFramesMenuAndTellsTheDocumentWindow) {
  SetFrameLocked(false);
  // Only the framework's part of the start-up: the frame and its menu (the program's whole start-up
  // would open the settings of the current folder).
  app_->ppApplication::Startup();
  ASSERT_NE(app_->Frame(), nullptr);
  menu_ = nullptr;  // the frame's menu is the application's
  SetFunctions({});
  app_->ApplyApplicationRecord(ApplicationFile(), GetMenu(app_->Frame()));
  CountingView document;
  app_->SetDocumentWindow(&document);
  Preferences().languageCode = 1030;
  ApplyDerivedSettings();
  app_->UpdateTexts();
  HMENU bar = GetMenu(app_->Frame());
  char text[64] = {};
  GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&Filer");
  GetMenuStringA(GetSubMenu(bar, 0), 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text,
               "&\xc5"
               "bn\tCtrl+O");
  EXPECT_EQ(document.updates, 1);
  app_->SetDocumentWindow(nullptr);
}

}  // namespace
