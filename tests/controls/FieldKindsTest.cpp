// The value-less fields of a panel and the logo pane: where a divider, button, picture or text
// lays itself out and what it draws, what a button press reaches, and where the logo stands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/ControlsDrawing.h"
#include "controls/ppButtonField.h"
#include "controls/ppDivider.h"
#include "controls/ppPictField.h"
#include "controls/ppTextField.h"
#include "controls/zelvproLogoPane.h"
#include "foundation/iTextSource.h"
#include "foundation/TextsById.h"
#include "framework/ApplicationSettings.h"
#include "framework/ppButton.h"
#include "framework/ppCollaborator.h"
#include "framework/ppDC.h"
#include "framework/ppEventHandler.h"

namespace {

using adorner_tests::SolidPicture;
using ctltest::ValueUnit;

constexpr uint32_t kWhite = 0xFFFFFF;

class Listener : public ppCollaborator {
 public:
  Listener() { Subscribe(ppField::kMessageChannel, -1); }
  void ReceiveMessage(ppCollaborator*, int32_t, int32_t id, intptr_t) override { ids.push_back(id); }
  std::vector<int32_t> ids;
};

// A data unit that takes commands, as an element's does.
class CommandUnit : public ValueUnit, public ppEventHandler {
 public:
  CommandUnit() : ValueUnit("Button") {}
  void DoCommand(int32_t command, intptr_t parameter) override { commands.emplace_back(command, parameter); }
  std::vector<std::pair<int32_t, intptr_t>> commands;
};

class FieldKinds : public ctltest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ppSwitchBoard::ResetNameTableForTests();
    panel_ = new ppConfigPanel(window_);
    panel_->SetFrame({0, 0, 200, 400});
  }
  void Paint() {
    window_->Invalidate();
    plat::HeadlessDriver::RunUntilIdle();
  }
  uint32_t PixelAt(int32_t x, int32_t y) { return plat::GetWindowSurface(hwnd_)->Pixel(x, y) & 0xFFFFFF; }
  ppConfigPanel* panel_ = nullptr;  // a subview of the window
};

TEST_F(FieldKinds, ALineDividerSitsInsideItsMarginsAndDrawsOneBlackLine) {
  auto* divider = new ppDivider(panel_);
  divider->SetMargins(10, 4, 10, 4);
  EXPECT_EQ(divider->LayoutAt(50), 59);
  const plat::RECT& f = divider->GetFrame();
  EXPECT_EQ(std::vector<int32_t>({f.left, f.top, f.right, f.bottom}),
            std::vector<int32_t>({10, 54, 190, 55}));
  Paint();
  EXPECT_EQ(PixelAt(10, 54), 0u);
  EXPECT_EQ(PixelAt(189, 54), 0u);
  EXPECT_EQ(PixelAt(9, 54), kWhite);
  EXPECT_EQ(PixelAt(190, 54), kWhite);
  EXPECT_EQ(PixelAt(100, 53), kWhite);
  EXPECT_EQ(PixelAt(100, 55), kWhite);

  divider->Hide();
  EXPECT_EQ(divider->LayoutAt(70), 70) << "a hidden divider takes no room";
}

TEST_F(FieldKinds, AFramedDividerTakesThreePixelsAndDrawsOnlyItsFrame) {
  app_->frames[1101] = SolidPicture(6, 6, 0x00FF00);
  auto* divider = new ppDivider(panel_, 1101);
  divider->SetMargins(10, 4, 10, 4);
  EXPECT_EQ(divider->DividerHeight(), 3);
  EXPECT_EQ(divider->LayoutAt(50), 61);
  Paint();
  EXPECT_EQ(PixelAt(100, 54), 0x00FF00u) << "the frame picture";
  EXPECT_NE(PixelAt(100, 55), 0u) << "no black line of its own";
}

TEST_F(FieldKinds, AButtonFieldTakesItsPictureAndMarginsHiddenOrNot) {
  app_->pictures[3000] = SolidPicture(40, 24, 0x0000FF);
  auto* button = new ppButtonField(panel_, 3000, nullptr, "");
  button->SetMargins(7, 2, 0, 3);
  EXPECT_EQ(button->LayoutAt(100), 129);
  const plat::RECT& f = button->GetFrame();
  EXPECT_EQ(std::vector<int32_t>({f.left, f.top, f.right, f.bottom}),
            std::vector<int32_t>({7, 102, 47, 126}));
  button->Hide();
  EXPECT_EQ(button->LayoutAt(100), 129);
}

TEST_F(FieldKinds, PressingAButtonTellsItsDataUnitAndBroadcastsItsNames) {
  const int32_t update = ppSwitchBoard::MessageIdByName("UpdateCalculation", true);
  const int32_t other = ppSwitchBoard::MessageIdByName("Other", true);
  app_->pictures[3000] = SolidPicture(40, 24, 0x0000FF);
  struct Case {
    const char* what;
    bool withUnit;
    const char* names;
    std::vector<int32_t> heard;
  } cases[] = {
      {"no data unit: only the names", false, "UpdateCalculation|Other", {update, other}},
      {"a unit that takes commands", true, "UpdateCalculation", {update}},
      {"no names: nothing broadcast", false, "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CommandUnit* unit = c.withUnit ? new CommandUnit : nullptr;
    auto* field = new ppButtonField(panel_, 3000, unit, c.names);
    field->LayoutAt(0);
    Paint();
    Listener listener;
    Click(5, 5);
    EXPECT_EQ(listener.ids, c.heard);
    if (unit != nullptr) {
      ASSERT_EQ(unit->commands.size(), 1u);
      EXPECT_EQ(unit->commands[0].first, ppButton::kPressedCommand);
      EXPECT_EQ(unit->commands[0].second, reinterpret_cast<intptr_t>(field->Button()));
    }
    delete field;
  }
}

TEST_F(FieldKinds, OtherCommandsStopAtTheButtonField) {
  struct Recorder : ppConfigPanel {
    using ppConfigPanel::ppConfigPanel;
    void DoCommand(int32_t command, intptr_t) override { commands.push_back(command); }
    std::vector<int32_t> commands;
  };
  auto* panel = new Recorder(window_);
  auto* unit = new CommandUnit;
  auto* field = new ppButtonField(panel, 3000, unit, "");
  Listener listener;
  field->DoCommand(4711, 0);
  field->DoCommand(ppButton::kPressedCommand, 0);
  EXPECT_TRUE(panel->commands.empty());
  ASSERT_EQ(unit->commands.size(), 1u) << "only the press reaches the data unit";
  EXPECT_EQ(unit->commands[0].first, ppButton::kPressedCommand);
}

TEST_F(FieldKinds, APictureFieldShowsItsOwnCopyInsideItsMargins) {
  auto empty = new ppPictField(panel_, nullptr);
  empty->SetMargins(5, 5, 0, 3);
  EXPECT_EQ(empty->LayoutAt(20), 100) << "80 pixels, the margins not added";

  auto picture = SolidPicture(64, 64, 0xFF0000);
  auto* field = new ppPictField(panel_, picture.get());
  picture.reset();  // the caller's picture goes; the field keeps its copy
  field->SetMargins(5, 5, 0, 3);
  EXPECT_EQ(field->LayoutAt(20), 92);
  EXPECT_EQ(field->GetFrame().top, 20);
  EXPECT_EQ(field->GetFrame().bottom, 92);
  empty->Hide();
  Paint();
  EXPECT_EQ(PixelAt(5, 25), 0xFF0000u);
  EXPECT_EQ(PixelAt(68, 88), 0xFF0000u);
  EXPECT_EQ(PixelAt(4, 25), kWhite);
  EXPECT_EQ(PixelAt(5, 24), kWhite);
  EXPECT_EQ(PixelAt(69, 88), kWhite);
}

TEST_F(FieldKinds, ATextFieldWithoutTextOrHiddenTakesNoRoomAndKeepsItsFrame) {
  auto* text = new ppTextField(panel_, nullptr);
  text->SetMargins(10, 5, 10, 0);
  text->SetFrame({1, 2, 3, 4});
  EXPECT_EQ(text->LayoutAt(30), 30);
  EXPECT_EQ(text->GetFrame().bottom, 4);
  text->SetText(u"Corner unit", 0);
  const int32_t next = text->LayoutAt(30);
  EXPECT_GT(next, 35);
  EXPECT_EQ(text->GetFrame().left, 0) << "the frame spans the panel; the margins narrow only the text";
  EXPECT_EQ(text->GetFrame().right, 200);
  text->Hide();
  EXPECT_EQ(text->LayoutAt(100), 100);
  EXPECT_EQ(text->GetFrame().top, 35);
}

TEST_F(FieldKinds, ALongTextWrapsByWholeLines) {
  auto* text = new ppTextField(panel_, nullptr);
  text->SetText(u"Width", 0);
  const int32_t line = text->LayoutAt(0);
  text->SetText(u"Width and height and depth of the corner unit in millimetres, as ordered", 0);
  const int32_t wrapped = text->LayoutAt(0);
  EXPECT_GT(wrapped, line);
  EXPECT_EQ(wrapped % line, 0);
}

TEST_F(FieldKinds, ATextOutsideAnyWindowIsMeasuredAlike) {
  auto* shown = new ppTextField(panel_, nullptr);
  shown->SetText(u"Corner unit", 0);
  ppConfigPanel loose(nullptr);
  loose.SetFrame({0, 0, 200, 400});
  auto* alone = new ppTextField(&loose, nullptr);
  alone->SetText(u"Corner unit", 0);
  EXPECT_GT(shown->LayoutAt(0), 0);
  EXPECT_EQ(alone->LayoutAt(0), shown->LayoutAt(0));
}

// Captions and texts are measured on a memory context; the window's own context (what the fields
// draw on) must give the same widths and wrapped heights, or the laid-out fields would clip or gap.
TEST_F(FieldKinds, MeasuredTextsFitWhatTheWindowsContextMeasures) {
  const auto onWindow = [this](const Vcon::WString& text, plat::RECT box, uint32_t format) {
    ppDC dc(hwnd_);
    controls::SelectDefaultFont(dc);
    dc.MeasureText(text, &box, format);
    dc.RestoreFont();
    return box;
  };
  const char16_t* kTexts[] = {u"", u"W", u"Corner unit",
                              u"Width and height and depth of the corner unit in millimetres, as ordered"};
  for (const char16_t* text : kTexts) {
    const plat::RECT wide = onWindow(text, {0, 0, 10000, 100}, plat::DT_LEFT);
    const std::string shown = Vcon::WString(text).Narrow().c_str();
    EXPECT_EQ(controls::MeasureDefaultText(text, 10000, 100), wide.right - wide.left) << shown;

    auto* field = new ppTextField(panel_, nullptr);
    field->SetText(text, 0);
    const plat::RECT wrapped = onWindow(text, {0, 0, 200, 0}, plat::DT_WORDBREAK);
    EXPECT_EQ(field->LayoutAt(0), *text == 0 ? 0 : wrapped.bottom - wrapped.top) << shown;
  }
}

TEST_F(FieldKinds, SetTextShowsTheLanguagesTextOrTheLiteral) {
  struct Texts : iTextSource {
    bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
      if (number != 6192) return false;
      text = u"Udskrift";
      return true;
    }
  } texts;
  SetTextSource(&texts);
  ppTextField text(panel_, nullptr);
  text.SetText(u"Print", 0);
  EXPECT_EQ(text.Text(), u"Print");
  text.SetText(u"Print", 6192);
  EXPECT_EQ(text.Text(), u"Udskrift");
  text.SetText(u"Print", 6193);
  EXPECT_EQ(text.Text(), u"Print");
  SetTextSource(nullptr);
}

TEST_F(FieldKinds, ABoundTextShowsTheValueAtEveryLayout) {
  auto* unit = new ValueUnit("Area", ppParameter(12));
  auto* text = new ppTextField(panel_, unit);
  text->LayoutAt(0);
  EXPECT_EQ(text->Text(), u"12");
  unit->Store(ppParameter(13));
  text->Refresh(0, 0, nullptr, 0);
  EXPECT_EQ(text->Text(), u"12") << "a broadcast alone does not re-read it";
  text->LayoutAt(0);
  EXPECT_EQ(text->Text(), u"13");
}

TEST_F(FieldKinds, TheLogoStandsAtTheRightOrLeftEdgeCentredInItsArea) {
  struct Case {
    const char* what;
    uint32_t flags1;
    plat::RECT area;
    bool logo;
    plat::RECT frame;
    int8_t horizontal;
  } cases[] = {
      {"right edge", 0, {0, 0, 300, 60}, true, {200, 10, 300, 50}, ppView::kMove},
      {"left side option", kStayingConfiguratorPane, {0, 0, 300, 60}, true, {0, 10, 100, 50}, ppView::kStay},
      {"lower than the logo", 0, {0, 0, 300, 20}, true, {200, -10, 300, 30}, ppView::kMove},
      {"no logo", 0, {5, 6, 300, 60}, false, {5, 6, 300, 60}, ppView::kMove},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetApplicationFlags1(c.flags1);
    app_->frames.erase(zelvproLogoPane::kLogoPicture);
    if (c.logo) app_->frames[zelvproLogoPane::kLogoPicture] = SolidPicture(100, 40, 0x123456);
    zelvproLogoPane pane(nullptr, c.area);
    const plat::RECT& f = pane.GetFrame();
    EXPECT_EQ(std::vector<int32_t>({f.left, f.top, f.right, f.bottom}),
              std::vector<int32_t>({c.frame.left, c.frame.top, c.frame.right, c.frame.bottom}));
    EXPECT_EQ(pane.HorizontalBinding(), c.horizontal);
    EXPECT_EQ(pane.VerticalBinding(), ppView::kStay);
  }
  SetApplicationFlags1(0);
}

TEST_F(FieldKinds, TheLogoIsDrawnInItsFrame) {
  app_->frames[zelvproLogoPane::kLogoPicture] = SolidPicture(100, 40, 0x123456);
  new zelvproLogoPane(window_, {0, 0, 300, 60});
  Paint();
  EXPECT_EQ(PixelAt(200, 10), 0x123456u);
  EXPECT_EQ(PixelAt(299, 49), 0x123456u);
  EXPECT_EQ(PixelAt(199, 30), kWhite);
  EXPECT_EQ(PixelAt(250, 9), kWhite);
}

}  // namespace
