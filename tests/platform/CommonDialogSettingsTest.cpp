#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/PageSetupDialog.h"
#include "platform/TextRenderer.h"
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

// The paper list of the page set-up box: the index of `code`, and the code shown selected.
int32_t PaperIndex(int16_t code) {
  const auto all = PaperSizes::All();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i].code == code) return static_cast<int32_t>(i);
  return -1;
}
int16_t ShownPaper(HWND dialog) {
  const auto index = SendDlgItemMessageW(dialog, kPagePaperItem, CB_GETCURSEL, 0, 0);
  return index < 0 ? int16_t(-1) : PaperSizes::All()[static_cast<size_t>(index)].code;
}

TEST_F(SettingsDialogs, PageSetupOffersThePaperSizesAndFitsTheMarginsToTheChosenOne) {
  std::vector<std::u16string> offered;
  int16_t shown = 0;
  PAGESETUPDLGA info;
  info.Flags = PSD_MARGINS;  // thousandths of an inch
  info.rtMargin = {1000, 1000, 1000, 1000};
  Script({[&](HWND d) {
    HWND list = GetDlgItem(d, kPagePaperItem);
    const auto count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (int32_t i = 0; i < count; ++i) {
      char16_t text[64] = {};
      SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      offered.push_back(text);
    }
    shown = ShownPaper(d);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(PaperIndex(DMPAPER_LETTER)), 0);
    Desktop::Key(VK_RETURN, true);
  }});
  ASSERT_TRUE(PageSetupDlgA(&info));
  EXPECT_EQ(shown, DMPAPER_A4) << "a new device mode is A4";
  for (const char16_t* name : {u"A4", u"A3", u"A5", u"Letter", u"Legal"}) {
    EXPECT_TRUE(std::any_of(offered.begin(), offered.end(),
                            [name](const std::u16string& o) { return o.rfind(name, 0) == 0; }))
        << "offers " << Utf16ToUtf8(name);
  }
  ASSERT_NE(info.hDevMode, nullptr);
  EXPECT_EQ(info.hDevMode->dmPaperSize, DMPAPER_LETTER);
  EXPECT_EQ(info.ptPaperSize, (POINT{8500, 11000})) << "8.5 x 11 inches";

  // Again with that device mode: Letter is shown. A5 turned landscape is 148 mm high, so 80 mm at top
  // and bottom are refused there, though they fitted on Letter; 70 mm fit.
  Script({[&](HWND d) {
            shown = ShownPaper(d);
            SendDlgItemMessageW(d, kPagePaperItem, CB_SETCURSEL, static_cast<WPARAM>(PaperIndex(DMPAPER_A5)),
                                0);
            CheckRadioButton(d, kPagePortraitItem, kPageLandscapeItem, kPageLandscapeItem);
            SetDlgItemTextW(d, kPageTopItem, u"80");
            SetDlgItemTextW(d, kPageBottomItem, u"80");
            Desktop::Key(VK_RETURN, true);
          },
          [](HWND d) {
            SetDlgItemTextW(d, kPageBottomItem, u"70");
            SetDlgItemTextW(d, kPageTopItem, u"70");
            Desktop::Key(VK_RETURN, true);
          }});
  ASSERT_TRUE(PageSetupDlgA(&info));
  EXPECT_EQ(shown, DMPAPER_LETTER);
  EXPECT_FALSE(Desktop::Beeps().empty()) << "80 + 80 mm on a 148 mm page was refused";
  EXPECT_EQ(info.hDevMode->dmPaperSize, DMPAPER_A5);
  EXPECT_EQ(info.ptPaperSize, (POINT{8268, 5827})) << "A5 landscape in thousandths of an inch";

  // A paper this printer does not know (a damaged settings file) shows as A4; with PSD_DISABLEPAPER the
  // list cannot be changed and the paper stays.
  info.hDevMode->dmPaperSize = 77;
  info.Flags = PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS | PSD_DISABLEPAPER;
  bool listEnabled = true;
  Script({[&](HWND d) {
    shown = ShownPaper(d);
    listEnabled = IsWindowEnabled(GetDlgItem(d, kPagePaperItem)) != 0;
    Desktop::Key(VK_RETURN, true);
  }});
  ASSERT_TRUE(PageSetupDlgA(&info));
  EXPECT_EQ(shown, DMPAPER_A4);
  EXPECT_FALSE(listEnabled);
  EXPECT_EQ(info.hDevMode->dmPaperSize, DMPAPER_A4);
  FreeDevMode(info.hDevMode);
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
