// The selector and colour rows of the elements' configurator link: the row's constructor words reach
// the popup selector by position, and the colour row edits its property as a colour word.
#include <gtest/gtest.h>

#include <memory>

#include "controls/ppConfigPanel.h"
#include "database/iProperty.h"
#include "database/ppDatafile.h"
#include "controls/ppConfigurator.h"
#include "controls/ppPopupSelector.h"
#include "controls/ppRGBColorField.h"
#include "elements/topview/ConfigSelectorFields.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppWindow.h"
#include "platform/HeadlessDriver.h"

namespace {

// One property, "Colour".
class Target : public iProperty {
 public:
  int32_t IndexOf(const Vcon::String& name) override { return name == "Colour" ? 0 : kNoProperty; }
  int32_t GetPropertyCount() override { return 1; }
  ppParameter GetValue(int32_t index) override { return index == 0 ? value : ppParameter(); }
  void SetValue(int32_t index, const ppParameter& v) override {
    if (index == 0) value = v;
  }
  ppParameter value = ppParameter(static_cast<int32_t>(0x64321900));
};

class ConfigSelectorFieldsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    app_ = std::make_unique<adorner_tests::TestApplication>();
    window_ = new ppWindow();
    adorner_tests::MakeObjectWindow(window_, 300, 400);
    configurator_ = new ppConfigurator(window_, {0, 0, 250, 400}, nullptr, true);
    panel_ = new ppConfigPanel(configurator_);
  }
  void TearDown() override {
    delete panel_;
    delete window_;
    ppPendingDeletions::DeleteAll();
    app_.reset();
    plat::HeadlessDriver::Reset();
  }
  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  ppConfigurator* configurator_ = nullptr;
  ppConfigPanel* panel_ = nullptr;
  Target target_;
};

TEST_F(ConfigSelectorFieldsTest, SelectorWordsMatchByPosition) {
  ConfigField row;
  row.kind = ConfigField::kSelector;
  row.text = u"Front";
  row.target = &target_;
  row.property = "Colour";
  row.rows = 2, row.pictureFlag = 1, row.optionFlag = 1, row.unitFlag = 0, row.compactFlag = 0;
  std::unique_ptr<ppField> made(MakeSelectorRowField(panel_, row));
  auto* selector = dynamic_cast<ppPopupSelector*>(made.get());
  ASSERT_NE(selector, nullptr);
  EXPECT_EQ(selector->FieldHeight(), 55) << "two lines, caption above";
  EXPECT_TRUE(selector->NotifyFlag());
  row.rows = 1, row.pictureFlag = 0, row.optionFlag = 0, row.compactFlag = 1;
  made.reset(MakeSelectorRowField(panel_, row));
  selector = dynamic_cast<ppPopupSelector*>(made.get());
  ASSERT_NE(selector, nullptr);
  EXPECT_EQ(selector->FieldHeight(), 81) << "one line at the left with large pictures";
  EXPECT_FALSE(selector->NotifyFlag());
}

TEST_F(ConfigSelectorFieldsTest, ColourRowsShowTheirColourWordAndOtherKindsMakeNothing) {
  ConfigField row;
  row.kind = ConfigField::kColour;
  row.target = &target_;
  row.property = "Colour";
  std::unique_ptr<ppField> made(MakeSelectorRowField(panel_, row));
  auto* colour = dynamic_cast<ppRGBColorField*>(made.get());
  ASSERT_NE(colour, nullptr);
  EXPECT_EQ(static_cast<uint32_t>(colour->GetValue().ToLong()), 0x64321900u);
  row.kind = ConfigField::kText;
  EXPECT_EQ(MakeSelectorRowField(panel_, row), nullptr);
}

}  // namespace
