// The edit text field over the platform's rich-edit control, driven by injected clicks and keys:
// commit on Return and Tab with the focus moving round the panel, keys that never reach the text,
// the maximum length with its beep, text typed and not committed across repaints, and the layout.
#include <gtest/gtest.h>

#include <string>

#include "ControlsTestSupport.h"
#include "controls/ppEditTextField.h"

namespace {

using ctltest::ValueUnit;
using plat::HeadlessDriver;

class EditTextFieldTest : public ctltest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    panel_ = new ppConfigPanel(window_);
    panel_->SetFrame({0, 0, 300, 400});
    for (int i = 0; i < 3; ++i) {
      units_[i] = new ValueUnit("Field" + std::to_string(i), ppParameter(std::to_string(i + 1).c_str()));
      fields_[i] = new ppEditTextField(panel_, units_[i], "", 1, false);
      fields_[i]->SetText(u"Width", 0);
      fields_[i]->SetMargins(10, 5, 10, 0);
      panel_->AddField(fields_[i]);
    }
    panel_->Layout();
    for (ppEditTextField* field : fields_) field->Show();
    window_->Invalidate();
    HeadlessDriver::RunUntilIdle();
  }
  // Clicks into the value area of field `i`.
  void ClickInto(int i) {
    plat::RECT frame;
    fields_[i]->GetWindowFrame(&frame);
    Click(frame.right - 10, frame.top + 5);
  }
  void Type(const char* letters) {
    for (const char* c = letters; *c != 0; ++c) Press(*c);
  }
  void WithKeyHeld(int32_t held, int32_t key) {
    plat::Desktop::Key(held, true);
    Press(key);
    plat::Desktop::Key(held, false);
    HeadlessDriver::RunUntilIdle();
  }
  std::u16string Text(int i) { return std::u16string(fields_[i]->GetControlText()); }

  ppConfigPanel* panel_ = nullptr;
  ValueUnit* units_[3] = {};
  ppEditTextField* fields_[3] = {};
};

TEST_F(EditTextFieldTest, ReturnCommitsTheTypedTextAndFocusesTheNextFieldShiftTabThePrevious) {
  ClickInto(0);
  EXPECT_EQ(panel_->GetFocusedField(), fields_[0]);
  EXPECT_TRUE(fields_[0]->IsFocused());
  EXPECT_EQ(plat::GetFocus(), fields_[0]->EditControl());
  Type("ABC");
  EXPECT_EQ(Text(0), u"abc");
  EXPECT_EQ(units_[0]->writes, 0) << "nothing is written while typing";
  Press(plat::VK_RETURN);
  EXPECT_EQ(units_[0]->writes, 1);
  ppParameter value;
  units_[0]->GetValue(value);
  EXPECT_EQ(value.AsString(), "abc");
  EXPECT_EQ(panel_->GetFocusedField(), fields_[1]);
  EXPECT_EQ(plat::GetFocus(), fields_[1]->EditControl());
  EXPECT_FALSE(fields_[0]->IsFocused());

  WithKeyHeld(plat::VK_SHIFT, plat::VK_TAB);
  EXPECT_EQ(panel_->GetFocusedField(), fields_[0]);
  Press(plat::VK_TAB);
  EXPECT_EQ(panel_->GetFocusedField(), fields_[1]);
}

TEST_F(EditTextFieldTest, CtrlReturnAndTabNeverBecomeText) {
  ClickInto(0);
  Type("AB");
  WithKeyHeld(plat::VK_CONTROL, plat::VK_RETURN);
  EXPECT_EQ(units_[0]->writes, 0) << "Ctrl+Return commits nothing";
  EXPECT_EQ(panel_->GetFocusedField(), fields_[0]);
  Press(plat::VK_TAB);
  EXPECT_EQ(units_[0]->writes, 1);
  EXPECT_EQ(Text(0).find(u'\t'), std::u16string::npos);
  EXPECT_EQ(panel_->GetFocusedField(), fields_[1]);
}

TEST_F(EditTextFieldTest, AtTheMaximumLengthLettersBeepAndAreDroppedEditingKeysAreNot) {
  fields_[0]->SetMaxLength(5);
  ClickInto(0);
  Type("ABCDE");
  ASSERT_EQ(Text(0), u"abcde");
  const size_t beeps = plat::Desktop::Beeps().size();
  Press('F');
  EXPECT_EQ(Text(0), u"abcde");
  EXPECT_EQ(plat::Desktop::Beeps().size(), beeps + 1);
  for (int32_t key : {plat::VK_LEFT, plat::VK_LEFT + 3, plat::VK_DELETE, plat::VK_BACK}) Press(key);
  EXPECT_EQ(plat::Desktop::Beeps().size(), beeps + 1) << "arrows, Delete and Backspace pass";
  EXPECT_EQ(Text(0).size(), 3u) << "Delete and Backspace each took a character";
}

TEST_F(EditTextFieldTest, ARepaintWhileTypingKeepsTheTypedText) {
  ClickInto(0);
  Type("XY");
  EXPECT_TRUE(fields_[0]->IsEdited());
  window_->Invalidate();
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Text(0), u"xy");
  Press(plat::VK_RETURN);
  window_->Invalidate();
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Text(0), u"xy") << "the committed value shows after the commit";
}

TEST_F(EditTextFieldTest, ClickingAnotherFieldCommitsHidingDrops) {
  ClickInto(0);
  Type("Q");
  ClickInto(2);
  EXPECT_EQ(units_[0]->writes, 1);
  EXPECT_EQ(panel_->GetFocusedField(), fields_[2]);
  Type("Z");
  fields_[2]->Hide();
  EXPECT_FALSE(fields_[2]->IsEdited());
  EXPECT_EQ(units_[2]->writes, 0) << "hiding drops what was typed";
}

TEST_F(EditTextFieldTest, ARepaintShowsTheValueAllSelected) {
  units_[1]->Store(ppParameter("720"));
  window_->Invalidate();
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Text(1), u"720");
  ClickInto(1);
  Type("5");
  EXPECT_EQ(Text(1), u"5") << "the whole text was selected, so typing replaces it";
}

TEST_F(EditTextFieldTest, AFieldWithoutValueShowsNothing) {
  struct Case {
    const char* what;
    ppDataUnit* unit;
  } cases[] = {{"no data unit", nullptr}, {"a unit without value", new ValueUnit("Price")}};
  for (const Case& c : cases) {
    auto* field = new ppEditTextField(panel_, c.unit, "", 1, false);
    panel_->AddField(field);
    panel_->Layout();
    field->Show();
    field->SetControlText(u"old");
    window_->Invalidate();
    HeadlessDriver::RunUntilIdle();
    EXPECT_EQ(std::u16string(field->GetControlText()), u"") << c.what;
  }
}

// The control sits inside the frame's border after showing too, so the frame stays whole.
TEST_F(EditTextFieldTest, AFramedFieldWearsFramePicture1100) {
  app_->frames[1100] = adorner_tests::SolidPicture(6, 6, 0x00FF00);
  auto* framed = new ppEditTextField(panel_, nullptr, "", 1, true);
  panel_->AddField(framed);
  panel_->Layout();
  framed->Show();
  window_->Invalidate();
  HeadlessDriver::RunUntilIdle();
  plat::RECT frame;
  framed->GetWindowFrame(&frame);
  EXPECT_EQ(plat::GetWindowSurface(hwnd_)->Pixel(frame.left, frame.top) & 0xFFFFFF, 0x00FF00u);
  fields_[0]->GetWindowFrame(&frame);
  EXPECT_NE(plat::GetWindowSurface(hwnd_)->Pixel(frame.left, frame.top) & 0xFFFFFF, 0x00FF00u);
}

// A dialog builds its fields before its window is on screen: they must show once it is.
TEST_F(EditTextFieldTest, AFieldShownInAWindowNotYetOnScreenShowsWithIt) {
  plat::ShowWindow(hwnd_, plat::SW_HIDE);
  auto* field = new ppEditTextField(panel_, nullptr, "", 1, false);
  panel_->AddField(field);
  panel_->Layout();
  field->Show();
  plat::ShowWindow(hwnd_, plat::SW_SHOW);
  HeadlessDriver::RunUntilIdle();
  EXPECT_TRUE(plat::IsWindowVisible(field->Container()));
  EXPECT_TRUE(plat::IsWindowVisible(field->EditControl()));
}

TEST_F(EditTextFieldTest, LinesSetTheHeightOfFrameAndValueArea) {
  ppEditTextField tall(panel_, nullptr, "", 5, false);
  tall.SetMargins(0, 3, 0, 2);
  const int32_t next = tall.LayoutAt(10);
  EXPECT_EQ(tall.GetFrame().bottom - tall.GetFrame().top, 79);
  EXPECT_EQ(next, 10 + 3 + 75 + 2 + 4);
  tall.Hide();
  EXPECT_EQ(tall.LayoutAt(10), 10);
}

TEST_F(EditTextFieldTest, TextOutsideTheAnsiCodePageSurvivesTheControl) {
  fields_[0]->SetControlText(u"Køkken \u20ac \u4e2d");
  EXPECT_EQ(Text(0), u"Køkken \u20ac \u4e2d");
}

}  // namespace
