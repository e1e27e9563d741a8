#include <gtest/gtest.h>

#include <functional>

#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/PageSetupDialog.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

// The colour, page set-up and print dialogs, answered step by step from the idle script.
class SettingsDialogs : public ::testing::Test {
 protected:
  void SetUp() override { HeadlessDriver::Reset(); }
  void TearDown() override { HeadlessDriver::Reset(); }
  void Script(std::vector<std::function<void(HWND)>> steps) {
    steps_ = std::move(steps);
    next_ = 0;
    HeadlessDriver::SetIdleScript([this] {
      if (next_ == steps_.size()) return false;
      steps_[next_++](GetActiveWindow());
      return true;
    });
  }
  static std::function<void(HWND)> Key(int32_t key) {
    return [key](HWND) { Desktop::Key(key, true); };
  }
  std::vector<std::function<void(HWND)>> steps_;
  size_t next_ = 0;
};

TEST_F(SettingsDialogs, ColourComesFromTheFieldsAndCustomColoursAreKeptOnlyOnOk) {
  COLORREF custom[16] = {};
  CHOOSECOLORA info;
  info.rgbResult = RGB(10, 20, 30);
  info.lpCustColors = custom;
  info.Flags = CC_RGBINIT | CC_FULLOPEN;
  UINT shownRed = 0;
  Script({[&](HWND d) {
            shownRed = GetDlgItemInt(d, kColorRedItem, nullptr, 0);
            SetDlgItemTextW(d, kColorRedItem, u"200");
            SetDlgItemTextW(d, kColorBlueItem, u"999");  // beyond the range: taken as 255
            SendMessageW(d, WM_COMMAND, MAKEWPARAM(kColorAddItem, BN_CLICKED), 0);
          },
          Key(VK_RETURN)});
  ASSERT_TRUE(ChooseColorA(&info));
  EXPECT_EQ(shownRed, 10u) << "CC_RGBINIT shows the initial colour";
  EXPECT_EQ(info.rgbResult, RGB(200, 20, 255));
  EXPECT_EQ(custom[0], RGB(200, 20, 255));

  Script({[](HWND d) {
            SetDlgItemTextW(d, kColorGreenItem, u"0");
            SendMessageW(d, WM_COMMAND, MAKEWPARAM(kColorAddItem, BN_CLICKED), 0);
          },
          Key(VK_ESCAPE)});
  EXPECT_FALSE(ChooseColorA(&info));
  EXPECT_EQ(info.rgbResult, RGB(200, 20, 255));
  EXPECT_EQ(custom[1], 0u) << "a cancel keeps the caller's custom colours";
  info.lStructSize = 40;
  EXPECT_FALSE(ChooseColorA(&info));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
}

TEST_F(SettingsDialogs, PageMarginsAreHundredthsOfAMillimetre) {
  int32_t value = 0;
  EXPECT_TRUE(PageSetupDialog::ParseMillimetres(u" 12.5 ", value));
  EXPECT_EQ(value, 1250);
  EXPECT_TRUE(PageSetupDialog::ParseMillimetres(u"7,25", value));
  EXPECT_EQ(value, 725);
  int32_t index = 0;
  for (const char16_t* bad : {u"", u"1.234", u"-3", u"12mm", u"1001", u"."})
    EXPECT_FALSE(PageSetupDialog::ParseMillimetres(bad, value)) << "case " << index++;
  EXPECT_EQ(PageSetupDialog::FormatMillimetres(1250), u"12.5");
  EXPECT_EQ(PageSetupDialog::FormatMillimetres(1005), u"10.05");
  EXPECT_EQ(PageSetupDialog::FormatMillimetres(2000), u"20");

  PAGESETUPDLGA info;
  info.Flags = PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS;
  info.rtMargin = {1000, 1500, 1000, 1500};
  std::u16string shownTop;
  Script({[&](HWND d) {
            char16_t text[16];
            GetDlgItemTextW(d, kPageTopItem, text, 16);
            shownTop = text;
            SetDlgItemTextW(d, kPageLeftItem, u"150");
            SetDlgItemTextW(d, kPageRightItem, u"150");  // 300 mm of margins on 210 mm of paper
            CheckRadioButton(d, kPagePortraitItem, kPageLandscapeItem, kPageLandscapeItem);
            Desktop::Key(VK_RETURN, true);
          },
          [](HWND d) {
            // Refused: 300 mm of margins do not fit on the 297 mm of a landscape page either.
            SetDlgItemTextW(d, kPageRightItem, u"12.5");
            Desktop::Key(VK_RETURN, true);
          }});
  ASSERT_TRUE(PageSetupDlgA(&info));
  EXPECT_EQ(shownTop, u"15");
  EXPECT_EQ(info.rtMargin.left, 15000);
  EXPECT_EQ(info.rtMargin.right, 1250);
  ASSERT_NE(info.hDevMode, nullptr);
  EXPECT_EQ(info.hDevMode->dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(info.ptPaperSize.x, 29700);
  FreeDevMode(info.hDevMode);

  PAGESETUPDLGA inches;
  inches.Flags = PSD_RETURNDEFAULT;
  ASSERT_TRUE(PageSetupDlgA(&inches));
  EXPECT_EQ(inches.rtMargin.left, 984) << "25 mm in thousandths of an inch";
  EXPECT_EQ(inches.ptPaperSize.x, 8268);
  FreeDevMode(inches.hDevMode);
}

TEST_F(SettingsDialogs, PrintTakesCopiesAndOrientationAndGivesAPage) {
  PRINTDLGA info;
  info.Flags = PD_RETURNDEFAULT;
  ASSERT_TRUE(PrintDlgA(&info));
  ASSERT_NE(info.hDevMode, nullptr);
  EXPECT_STREQ(info.hDevMode->dmDeviceName, kDefaultPrinterName);
  EXPECT_EQ(info.hDC, nullptr);

  info.Flags = PD_RETURNDC;
  info.hDevMode->dmOrientation = DMORIENT_LANDSCAPE;
  Script({[](HWND d) {
            SetDlgItemTextW(d, kPrintCopiesItem, u"0");
            Desktop::Key(VK_RETURN, true);
          },
          [](HWND d) {
            SetDlgItemTextW(d, kPrintCopiesItem, u"3");
            Desktop::Key(VK_RETURN, true);
          }});
  ASSERT_TRUE(PrintDlgA(&info));
  EXPECT_EQ(info.nCopies, 3);
  EXPECT_EQ(info.hDevMode->dmCopies, 3);
  EXPECT_FALSE(Desktop::Beeps().empty()) << "0 copies was refused";
  ASSERT_NE(info.hDC, nullptr);
  // A context on the printer: A4 at 300 dots per inch, turned for landscape.
  EXPECT_EQ(GetDeviceCaps(info.hDC, LOGPIXELSX), 300);
  EXPECT_EQ(GetDeviceCaps(info.hDC, HORZRES), 3508) << "a landscape page";
  EXPECT_EQ(GetDeviceCaps(info.hDC, VERTRES), 2480);
  DeleteDC(info.hDC);

  Script({Key(VK_ESCAPE)});
  info.hDC = nullptr;
  EXPECT_FALSE(PrintDlgA(&info));
  EXPECT_EQ(info.hDC, nullptr);
  FreeDevMode(info.hDevMode);
}

// The print and page set-up dialogs stand centred on the window that opens them, not over its
// top-left corner (the tool bar).
TEST_F(SettingsDialogs, PrintAndPageSetupStandCentredOnTheirOwner) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_VISIBLE | WS_POPUP, 100, 80, 800, 600, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  RECT placed{};
  const auto centred = [&](const char* which) {
    SCOPED_TRACE(which);
    EXPECT_NEAR((placed.left + placed.right) / 2, 100 + 400, 1);
    EXPECT_NEAR((placed.top + placed.bottom) / 2, 80 + 300, 1);
  };
  const auto recordThenEscape = [&](HWND d) {
    GetWindowRect(d, &placed);
    Desktop::Key(VK_ESCAPE, true);
  };
  PRINTDLGA print;
  print.hwndOwner = owner;
  Script({recordThenEscape});
  EXPECT_FALSE(PrintDlgA(&print));
  centred("print");
  PAGESETUPDLGA page;
  page.hwndOwner = owner;
  placed = RECT{};
  Script({recordThenEscape});
  EXPECT_FALSE(PageSetupDlgA(&page));
  centred("page set-up");
  if (print.hDevMode != nullptr) FreeDevMode(print.hDevMode);
  if (page.hDevMode != nullptr) FreeDevMode(page.hDevMode);
  DestroyWindow(owner);
}

}  // namespace
}  // namespace plat
