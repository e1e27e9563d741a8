// The colour word, the custom colour file of the colour chooser (created, short, unreachable) and
// the colour field answered through the colour dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/ColorCode.h"
#include "controls/ppColorChooser.h"
#include "controls/ppRGBColorField.h"
#include "framework/ppButton.h"
#include "foundation/ProcessServices.h"
#include "platform/CommonDialogs.h"
#include "platform/Dialog.h"
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using ctltest::ValueUnit;

std::u16string U16(int32_t n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

TEST(ColorCode, PacksAndSplitsPercentBytes) {
  struct Case {
    int32_t r, g, b;
    uint32_t word;
  } cases[] = {
      {100, 50, 25, 0x64321900u}, {0, 0, 0, 0u}, {255, 255, 255, 0xFFFFFF00u}, {99, 0, 0, 0x63000000u}};
  for (const Case& c : cases) {
    EXPECT_EQ(PackColorCode(c.r, c.g, c.b), c.word);
    int32_t r = -1, g = -1, b = -1;
    SplitColorCode(c.word | 0xFFu, &r, &g, &b);  // the low byte is ignored
    EXPECT_EQ(std::vector<int32_t>({r, g, b}), std::vector<int32_t>({c.r, c.g, c.b}));
  }
  // Only the low byte of green and blue counts; red is shifted as given.
  EXPECT_EQ(PackColorCode(1, 0x1FF, 0x102), 0x01FF0200u);
}

class ColorChooserTest : public ctltest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    dir_ = fs::temp_directory_path() / ("colours-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "settings");
    UseStartup(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    WindowTest::TearDown();
  }
  void UseStartup(const fs::path& dir) {
    SetStartupDirectory(Vcon::WString(Vcon::String(dir.string())));
    InitCustomColorFile();
  }
  fs::path File() const { return dir_ / "settings" / "zelvoprocustcolor.dat"; }
  std::vector<uint8_t> FileBytes() const {
    std::ifstream in(File(), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  // Answers the next colour dialog: types the colour (bytes) and confirms, or cancels.
  void Answer(int32_t r, int32_t g, int32_t b, bool confirm) {
    step_ = 0;
    plat::HeadlessDriver::SetIdleScript([=, this] {
      plat::HWND d = plat::GetActiveWindow();
      if (step_ == 0) {
        plat::SetDlgItemTextW(d, plat::kColorRedItem, U16(r).c_str());
        plat::SetDlgItemTextW(d, plat::kColorGreenItem, U16(g).c_str());
        plat::SetDlgItemTextW(d, plat::kColorBlueItem, U16(b).c_str());
      } else if (step_ == 1) {
        plat::Desktop::Key(confirm ? plat::VK_RETURN : plat::VK_ESCAPE, true);
      } else {
        return false;
      }
      ++step_;
      return true;
    });
  }
  fs::path dir_;
  int step_ = 0;
};

TEST_F(ColorChooserTest, AFirstLoadCreatesSixteenWhiteEntries) {
  LoadCustomColors();
  const std::vector<uint8_t> bytes = FileBytes();
  ASSERT_EQ(bytes.size(), 64u);
  for (size_t i = 0; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], i % 4 == 3 ? 0x00 : 0xFF) << "byte " << i;
}

TEST_F(ColorChooserTest, AShortFileFillsFromItsStartOverWhiteAndTheNextSaveWritesAll) {
  {
    std::ofstream out(File(), std::ios::binary);
    const uint8_t ten[10] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8};
    out.write(reinterpret_cast<const char*>(ten), 10);
  }
  LoadCustomColors();
  const auto& table = CustomColors();
  EXPECT_EQ(table[0], 0x00030201u);
  EXPECT_EQ(table[1], 0x00060504u);
  EXPECT_EQ(table[2], 0x00FF0807u) << "two bytes of the third over white";
  for (size_t i = 3; i < 16; ++i) EXPECT_EQ(table[i], 0x00FFFFFFu) << "entry " << i;
  SaveCustomColors();
  const std::vector<uint8_t> bytes = FileBytes();
  ASSERT_EQ(bytes.size(), 64u);
  EXPECT_EQ(bytes[8], 7);
  EXPECT_EQ(bytes[10], 0xFF);
}

TEST_F(ColorChooserTest, AFileThatCanBeNeitherOpenedNorCreatedLeavesTheDialogWorking) {
  UseStartup(dir_ / "missing" / "folder");
  EXPECT_THROW(LoadCustomColors(), int32_t) << "the file layer still reports to direct callers";
  ppColorChooser chooser(hwnd_);
  ppRGBColor colour{10, 20, 30};
  Answer(255, 0, 0, true);
  bool confirmed = false;
  EXPECT_NO_THROW(confirmed = chooser.Choose(colour));
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(colour, (ppRGBColor{99, 0, 0}));
}

class ColorFieldTest : public ColorChooserTest {
 protected:
  void SetUp() override {
    ColorChooserTest::SetUp();
    unit_ = new ValueUnit("Colour", ppParameter(static_cast<int32_t>(0x64321900)));
    field_ = new ppRGBColorField(window_, unit_, "");
  }
  ValueUnit* unit_ = nullptr;
  ppRGBColorField* field_ = nullptr;  // a subview of the window
};

TEST_F(ColorFieldTest, ConfirmingPureRedStoresNinetyNinePercent) {
  Answer(255, 0, 0, true);
  field_->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(field_->Button()));
  EXPECT_EQ(field_->Color(), (ppRGBColor{99, 0, 0}));
  ppParameter stored;
  unit_->GetValue(stored);
  EXPECT_EQ(static_cast<uint32_t>(stored.ToLong()), 0x63000000u);
  EXPECT_EQ(FileBytes().size(), 64u);
}

// Each channel the user types comes back in its own place (a colour whose three channels differ), and
// a command other than the button's press opens no dialog and changes nothing.
TEST_F(ColorFieldTest, TheChosenChannelsComeBackEachInItsOwnPlace) {
  field_->DoCommand(4008, 0);
  ppParameter stored;
  unit_->GetValue(stored);
  EXPECT_EQ(static_cast<uint32_t>(stored.ToLong()), 0x64321900u);
  Answer(64, 128, 255, true);
  field_->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(field_->Button()));
  EXPECT_EQ(field_->Color(), (ppRGBColor{25, 50, 99}));
  unit_->GetValue(stored);
  EXPECT_EQ(static_cast<uint32_t>(stored.ToLong()), 0x19326300u);
}

TEST_F(ColorFieldTest, CancelKeepsTheColourAndStillWritesTheFile) {
  Answer(255, 0, 0, false);
  field_->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(field_->Button()));
  EXPECT_EQ(field_->Color(), (ppRGBColor{100, 50, 25}));
  ppParameter stored;
  unit_->GetValue(stored);
  EXPECT_EQ(static_cast<uint32_t>(stored.ToLong()), 0x64321900u);
  EXPECT_EQ(FileBytes().size(), 64u);
}

// The field is as high as its button, or high enough that the swatch (19 to 4 pixels above the
// bottom) starts below the 17-pixel caption band: a low button picture must not hide the caption.
TEST_F(ColorFieldTest, LayoutPutsTheButtonOnePixelInAtTheTopRight) {
  field_->SetMargins(3, 4, 5, 6);
  const plat::RECT b = field_->Button()->GetFrame();
  const int32_t bw = b.right - b.left, bh = b.bottom - b.top;
  const int32_t height = std::max(bh + 2, ppRGBColorField::kLeastHeight);
  // Without a panel the panel frame is empty: the field's right edge is -5.
  EXPECT_EQ(field_->LayoutAt(10), 10 + 4 + height + 6);
  EXPECT_EQ(field_->GetFrame().top, 14);
  EXPECT_EQ(field_->Height(), height);
  EXPECT_GT(field_->Height() - 19, 17) << "the swatch covers the caption band";
  const plat::RECT placed = field_->Button()->GetFrame();
  EXPECT_EQ(placed.top, 1);
  EXPECT_EQ(placed.right, field_->Width() - 1);
  EXPECT_EQ(placed.right - placed.left, bw);
}

}  // namespace
