// An information panel described row by row (text, edit field, button, picture, divider) and handed
// to the elements' configurator link, drawn into a window and compared with a kept image; its button
// delivers the row's command id. To renew the image after a deliberate change: run with
// PLANNER_WRITE_FIXTURES=1, look at tests/fixtures/elements/information_panel.png and commit it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "controls/ppButtonField.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "controls/ppEditTextField.h"
#include "controls/ppPictField.h"
#include "database/ppDatafile.h"
#include "elements/topview/zelvproElementConfigurator.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppButton.h"
#include "framework/ppCollaborator.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppSwitchBoard.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/PngFile.h"
#include "platform/Surface.h"

namespace {

using plat::HeadlessDriver;

// A packed 24-bit picture, 32 pixels square, in a handle, as the catalogue's previews come.
Handle PreviewHandle() {
  constexpr int32_t kSide = 32, kRow = kSide * 3;
  std::vector<uint8_t> data(40 + size_t(kRow) * kSide);
  plat::BITMAPINFOHEADER header;
  header.biWidth = kSide;
  header.biHeight = -kSide;
  header.biBitCount = 24;
  std::memcpy(data.data(), &header, 40);
  for (int32_t y = 0; y < kSide; ++y)
    for (int32_t x = 0; x < kSide; ++x) {
      uint8_t* p = data.data() + 40 + size_t(y) * kRow + size_t(x) * 3;
      p[0] = uint8_t(x * 8), p[1] = uint8_t(y * 8), p[2] = 0x80;  // blue, green, red
    }
  Handle handle = nullptr;
  Vcon_HandleManager::MemNew(&handle, uint32_t(data.size()));
  std::memcpy(*handle, data.data(), data.size());
  return handle;
}

// Hears the panel's button message, with the pressed field as parameter.
class ButtonListener : public ppCollaborator {
 public:
  ButtonListener() : ppCollaborator(nullptr) { SubscribeByNames("InfoButton"); }
  void ReceiveMessage(ppCollaborator*, int32_t, int32_t, intptr_t parameter) override {
    commandIds.push_back(reinterpret_cast<ppView*>(parameter)->GetCommandId());
  }
  std::vector<int32_t> commandIds;
};

class InformationPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    ppSwitchBoard::ResetNameTableForTests();
    app_ = std::make_unique<adorner_tests::TestApplication>();
    // Caption bands and value areas, focused and not: fills light, texts dark.
    for (int32_t id : {1000, 1002}) app_->colours[id] = {214, 208, 190};
    for (int32_t id : {1004, 1006}) app_->colours[id] = {250, 250, 240};
    for (int32_t id : {1001, 1003, 1005, 1007}) app_->colours[id] = {20, 20, 60};
    app_->pictures[2100] = adorner_tests::SolidPicture(24, 16, 0xC04020);
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 220, 260);
    configurator_ = new ppConfigurator(window_, {0, 0, 220, 260}, nullptr, true);
  }
  void TearDown() override {
    delete window_;
    ppPendingDeletions::DeleteAll();
    app_.reset();
    HeadlessDriver::Reset();
  }

  std::unique_ptr<ConfigPanel> Description() {
    auto panel = std::make_unique<ConfigPanel>();
    panel->name = u"Information";
    ConfigField text;
    text.kind = ConfigField::kText;
    text.text = u"Base unit 60 cm";
    text.SetMargins(10, 5, 10, 0);
    panel->fields.push_back(std::move(text));
    ConfigField edit;
    edit.kind = ConfigField::kEditText;
    edit.text = u"Price";
    edit.target = nullptr;
    edit.property = "Price";
    edit.columnWidth = 60;
    edit.SetMargins(10, 5, 10, 0);
    panel->fields.push_back(std::move(edit));
    ConfigField button;
    button.kind = ConfigField::kButton;
    button.commandId = 2100;
    button.name = "InfoButton";
    button.SetMargins(10, 5, 0, 0);
    panel->fields.push_back(std::move(button));
    ConfigField picture;
    picture.kind = ConfigField::kPicture;
    picture.picture = PreviewHandle();
    picture.SetMargins(10, 5, 0, 5);
    panel->fields.push_back(std::move(picture));
    ConfigField divider;
    divider.kind = ConfigField::kDivider;
    divider.SetMargins(10, 5, 10, 5);
    panel->fields.push_back(std::move(divider));
    return panel;
  }

  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  plat::HWND hwnd_ = nullptr;
  ppConfigurator* configurator_ = nullptr;  // a subview of the window
};

TEST_F(InformationPanel, RowsBecomeFieldsThatDrawAsKept) {
  ButtonListener listener;
  zelvproElementConfigurator link(configurator_);
  link.RemoveAll();
  link.AddPanel(Description());
  link.PlaceTabs();
  ppConfigPanel* panel = configurator_->CurrentPanel();
  ASSERT_NE(panel, nullptr);
  std::vector<ppField*> fields;
  for (ppField* f = panel->FirstField(); f != nullptr; f = f->NextField()) fields.push_back(f);
  ASSERT_EQ(fields.size(), 5u);
  EXPECT_EQ(panel->RingSize(), 1u) << "only the edit field takes the keyboard";
  auto* edit = dynamic_cast<ppEditTextField*>(fields[1]);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->ColumnWidth(), 60);
  EXPECT_EQ(edit->Margins()[0], 10);
  auto* picture = dynamic_cast<ppPictField*>(fields[3]);
  ASSERT_NE(picture, nullptr);
  ASSERT_NE(picture->Picture(), nullptr) << "the field keeps its own copy of the row's picture";
  EXPECT_EQ(picture->Picture()->GetWidth(), 32);

  configurator_->RequestLayout();
  edit->Show();
  configurator_->Invalidate();
  HeadlessDriver::RunUntilIdle();
  const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/elements/information_panel.png";
  const std::string actual = std::string(PLANNER_BINARY_DIR) + "/information_panel-actual.png";
  ASSERT_TRUE(HeadlessDriver::DumpPng(hwnd_, actual));
  if (std::getenv("PLANNER_WRITE_FIXTURES")) HeadlessDriver::DumpPng(hwnd_, kept);
  std::unique_ptr<plat::Surface> expected = plat::ReadPng(kept);
  std::unique_ptr<plat::Surface> drawn = plat::ReadPng(actual);
  ASSERT_TRUE(expected && drawn) << "missing " << kept << "; the window is in " << actual;
  // Glyph rasterisation may differ slightly between FreeType versions: a few pixels may differ.
  const plat::PixelDifference diff = plat::ComparePixels(*expected, *drawn, 8);
  EXPECT_TRUE(diff.sameSize);
  EXPECT_LE(diff.pixels, drawn->Width() * drawn->Height() / 200)
      << "first at " << diff.firstX << "," << diff.firstY << "; see " << actual;

  // The button's press reaches the listeners of its message with the row's command id.
  auto* button = dynamic_cast<ppButtonField*>(fields[2]);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Button()->GetCommandId(), 2100);
  plat::RECT frame;
  button->Button()->GetWindowFrame(&frame);
  plat::Desktop::Click({frame.left + 3, frame.top + 3});
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(listener.commandIds, std::vector<int32_t>{2100});
}

}  // namespace
