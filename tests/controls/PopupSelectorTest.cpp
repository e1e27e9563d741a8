// The popup selector and its list drop-down, driven by injected keys and clicks on a headless
// desktop: sizes and drop buttons, stepping, the drop-down's rows and scroll bar under the capture,
// previews taken back or kept, commits that move the focus, a commit that rebuilds the panels, and
// a field deleted with its drop-down open.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "SelectorTestSupport.h"
#include "controls/ChoicePicture.h"
#include "controls/ppPopupSelectorDialog.h"
#include "controls/ppPopupSelectorScrollPane.h"
#include "controls/ppPopupSelectorScroller.h"
#include "framework/ppButton.h"
#include "framework/ppDC.h"
#include "framework/ppScrollBar.h"

namespace {

using ctltest::ListQuery;
using ctltest::Row;
using ctltest::ValueUnit;

class PopupSelectorTest : public ctltest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    configurator_ = new ppConfigurator(window_, {0, 0, 250, 400}, nullptr, true);
    window_->SetTarget(configurator_);
  }
  // A panel of a row, a selector over `query` and a row; the selector is returned.
  ppPopupSelector* Build(ListQuery* query, int32_t mode = 2, bool above = true, bool large = false) {
    configurator_->RemoveAll();
    panel_ = new ppConfigPanel(configurator_);
    before_ = new Row(panel_, new ValueUnit("Before", ppParameter(1)));
    panel_->AddField(before_);
    panel_->AddFocusable(before_);
    selector_ = new ppPopupSelector(panel_, query, u"Colour", mode, above, true, false, large);
    panel_->AddField(selector_);
    after_ = new Row(panel_, new ValueUnit("After", ppParameter(1)));
    panel_->AddField(after_);
    panel_->AddFocusable(after_);
    configurator_->AddPanel(panel_);
    configurator_->PlaceTabs();
    plat::HeadlessDriver::RunUntilIdle();
    return selector_;
  }
  void Chord(int32_t modifier, int32_t key) {
    plat::Desktop::Key(modifier, true);
    plat::Desktop::Key(key, true);
    plat::Desktop::Key(key, false);
    // The modifier is read when the key is handled.
    plat::HeadlessDriver::RunUntilIdle();
    plat::Desktop::Key(modifier, false);
    plat::HeadlessDriver::RunUntilIdle();
  }
  void Open() {
    selector_->BecomeCurrent();
    Chord(plat::VK_MENU, plat::VK_DOWN);
  }
  ppPopupSelectorDialog* List() { return dynamic_cast<ppPopupSelectorDialog*>(selector_->OpenPopupDialog()); }
  plat::RECT PopupScreenRect() {
    plat::RECT r{};
    plat::GetWindowRect(List()->GetHWND(), &r);
    return r;
  }

  ppConfigurator* configurator_ = nullptr;
  ppConfigPanel* panel_ = nullptr;
  Row* before_ = nullptr;
  Row* after_ = nullptr;
  ppPopupSelector* selector_ = nullptr;
};

TEST_F(PopupSelectorTest, HeightsAndDropButtonsFollowModeCaptionAndLargePictures) {
  struct Case {
    int32_t mode;
    bool above, large;
    int32_t height, picture;
  } cases[] = {
      {0, false, false, 10, 3636}, {1, false, false, 21, 3632}, {2, false, false, 40, 3636},
      {0, true, false, 25, 3636},  {1, true, false, 40, 3636},  {2, true, false, 55, 6020},
      {1, false, true, 81, 6024},  {2, true, true, 100, 6024},  {0, false, true, 85, 6024},
  };
  for (const Case& c : cases) {
    ppPopupSelector* s = Build(new ListQuery(3, ppParameter(100)), c.mode, c.above, c.large);
    EXPECT_EQ(s->FieldHeight(), c.height)
        << "mode " << c.mode << " above " << c.above << " large " << c.large;
    ASSERT_NE(s->DropButton(), nullptr);
    EXPECT_EQ(s->DropButton()->GetPictureId(), c.picture) << "mode " << c.mode << " above " << c.above;
    // The button sits 2 pixels from the right edge and 1 from the top and bottom.
    const plat::RECT b = s->DropButton()->GetFrame();
    EXPECT_EQ(b.right, s->Width() - 2);
    EXPECT_EQ(s->Height() - b.bottom, 1);
  }
}

TEST_F(PopupSelectorTest, ASingleChoiceHasNoButtonTakesNoTabAndOpensNothing) {
  ppPopupSelector* s = Build(new ListQuery(1, ppParameter(100)));
  EXPECT_EQ(s->DropButton(), nullptr);
  EXPECT_FALSE(s->IsFocusable());
  panel_->SetFocusTo(before_);
  Press(plat::VK_TAB);  // the panel's ring skips the selector
  EXPECT_EQ(panel_->GetFocusedField(), after_);
  plat::RECT f;
  s->GetWindowFrame(&f);
  Click(f.left + 20, f.bottom - 5);
  EXPECT_EQ(s->OpenPopupDialog(), nullptr);
}

TEST_F(PopupSelectorTest, ArrowsStepWithWrapAndAltDownOpens) {
  auto* query = new ListQuery(4, ppParameter(103));
  ppPopupSelector* s = Build(query);
  s->BecomeCurrent();
  ASSERT_EQ(plat::GetFocus(), s->KeyWindow());
  Press(plat::VK_DOWN);
  EXPECT_EQ(query->Value(), 100) << "Down on the last choice selects the first";
  Press(plat::VK_UP);
  EXPECT_EQ(query->Value(), 103) << "Up on the first selects the last";
  query->SetValue(ppParameter(7), false);  // matches no choice
  Press(plat::VK_UP);
  EXPECT_EQ(query->Value(), 103) << "Up with no current choice selects the last";
  EXPECT_EQ(s->OpenPopupDialog(), nullptr);
  Chord(plat::VK_MENU, plat::VK_DOWN);
  EXPECT_NE(List(), nullptr) << "Alt+Down opens the drop-down";
  EXPECT_EQ(query->Value(), 103) << "opening changes nothing";
}

TEST_F(PopupSelectorTest, TheDropDownShowsWholeRowsWithABarOverALongList) {
  struct Case {
    int32_t mode;
    bool large;
    int32_t rows, rowHeight;
  } cases[] = {{1, false, 13, 20}, {2, false, 6, 40}, {1, true, 3, 84}};
  for (const Case& c : cases) {
    Build(new ListQuery(40, ppParameter(100)), c.mode, true, c.large);
    Open();
    ASSERT_NE(List(), nullptr);
    plat::RECT client;
    plat::GetClientRect(List()->GetHWND(), &client);
    EXPECT_EQ(client.bottom, c.rows * c.rowHeight) << "mode " << c.mode;
    EXPECT_TRUE(List()->NeedsScrollBar());
    EXPECT_NE(List()->Pane()->VerticalBar(), nullptr);
    EXPECT_EQ(List()->Pane()->List()->VisibleY(), c.rows);
    EXPECT_EQ(plat::GetCapture(), List()->GetHWND()) << "the list holds the capture";
    Press(plat::VK_ESCAPE);
  }
}

TEST_F(PopupSelectorTest, AClickOnTheBarScrollsAlthoughThePopupHoldsTheCapture) {
  auto* query = new ListQuery(40, ppParameter(100));
  Build(query, 1, true);
  Open();
  ASSERT_NE(List(), nullptr);
  const plat::RECT r = PopupScreenRect();
  ppPopupSelectorScroller* list = List()->Pane()->List();
  EXPECT_EQ(list->PositionY(), 0);
  // The lower arrow of the bar, at the bottom right of the list.
  Click(r.right - 8, r.bottom - 8);
  EXPECT_GT(list->PositionY(), 0) << "the bar got the click";
  ASSERT_NE(List(), nullptr) << "a click on the bar does not close the list";
  EXPECT_EQ(plat::GetCapture(), List()->GetHWND()) << "the list takes the capture back";
  EXPECT_EQ(query->Value(), 100);
}

TEST_F(PopupSelectorTest, EscapeTakesEveryPreviewBackAndAClickOutsideKeepsTheLast) {
  auto* query = new ListQuery(8, ppParameter(101));
  Build(query);
  for (bool escape : {true, false}) {
    query->SetValue(ppParameter(101), true);
    const size_t stack = query->done.size();
    Open();
    ASSERT_NE(List(), nullptr);
    for (int32_t i = 0; i < 3; ++i) {
      Press(plat::VK_DOWN);
      EXPECT_EQ(query->Value(), 102 + i) << "each step is previewed";
      EXPECT_EQ(query->done.size(), stack + 1) << "as one step that the next replaces";
    }
    EXPECT_EQ(query->notifies.back(), true) << "previews carry the field's notify flag";
    if (escape) {
      Press(plat::VK_ESCAPE);
      EXPECT_EQ(query->Value(), 101);
      EXPECT_EQ(query->done.size(), stack);
    } else {
      const plat::RECT r = PopupScreenRect();
      Click(r.left + 10, r.bottom + 30);  // below the list, inside the host window
      EXPECT_EQ(query->Value(), 104) << "the third choice stays";
      EXPECT_EQ(query->done.size(), stack + 1);
    }
    EXPECT_EQ(selector_->OpenPopupDialog(), nullptr);
    EXPECT_EQ(plat::GetCapture(), nullptr);
    ppPendingDeletions::DeleteAll();
  }
}

TEST_F(PopupSelectorTest, WithoutACurrentChoiceDownAppliesTheFirstAndUpNothing) {
  auto* query = new ListQuery(5, ppParameter(7));
  Build(query);
  Open();
  Press(plat::VK_RETURN);
  EXPECT_EQ(query->Value(), 7) << "Return with nothing highlighted writes nothing";
  EXPECT_TRUE(query->done.empty());
  ppPendingDeletions::DeleteAll();
  Open();
  Press(plat::VK_UP);
  EXPECT_EQ(query->Value(), 7);
  EXPECT_TRUE(query->done.empty());
  Press(plat::VK_DOWN);
  EXPECT_EQ(query->Value(), 100);
  for (int32_t i = 0; i < 6; ++i) Press(plat::VK_DOWN);
  EXPECT_EQ(query->Value(), 104) << "no wrap in the list";
  Press(plat::VK_RETURN);
  EXPECT_EQ(query->Value(), 104);
  EXPECT_EQ(selector_->CurrentIndex(), 4);
}

TEST_F(PopupSelectorTest, TabAndShiftTabCommitAndMoveReturnCommitsAndStays) {
  auto* query = new ListQuery(5, ppParameter(100));
  Build(query);
  const struct {
    const char* what;
    bool shift;
    int32_t key;
    ppField* expected;
  } cases[] = {{"Tab", false, plat::VK_TAB, after_},
               {"Shift+Tab", true, plat::VK_TAB, before_},
               {"Return", false, plat::VK_RETURN, selector_}};
  int32_t expected = 100;
  for (const auto& c : cases) {
    Open();
    ASSERT_NE(List(), nullptr) << c.what;
    Press(plat::VK_DOWN);
    ++expected;
    if (c.shift) {
      Chord(plat::VK_SHIFT, c.key);
    } else {
      Press(c.key);
    }
    EXPECT_EQ(query->Value(), expected) << c.what;
    EXPECT_EQ(panel_->GetFocusedField(), c.expected) << c.what;
    EXPECT_EQ(selector_->OpenPopupDialog(), nullptr) << c.what;
    ppPendingDeletions::DeleteAll();
    EXPECT_EQ(panel_->GetFocusedField(), c.expected) << c.what << ": the list's end moves the focus once";
  }
  EXPECT_TRUE(selector_->IsFocused()) << "Return keeps the focus on the field";
}

TEST_F(PopupSelectorTest, AClickOnARowCommitsItAndBelowTheRowsNothing) {
  auto* query = new ListQuery(3, ppParameter(100));
  Build(query);
  Open();
  const plat::RECT r = PopupScreenRect();
  Click(r.left + 20, r.bottom - 3);  // the list is 3 rows high: the last row
  EXPECT_EQ(query->Value(), 102);
  EXPECT_EQ(query->done.size(), 1u);
  EXPECT_EQ(selector_->OpenPopupDialog(), nullptr);
}

TEST_F(PopupSelectorTest, TheDropDownEndsAtTheHostWindowsClientBottom) {
  // A 300 x 400 window: a selector near the bottom leaves little room under it.
  auto* query = new ListQuery(40, ppParameter(100));
  Build(query);
  selector_->SetMargins(0, 300, 0, 0);
  configurator_->RequestLayout();
  panel_->Layout();
  plat::RECT f;
  selector_->GetWindowFrame(&f);
  ASSERT_GT(f.bottom, 300);
  Open();
  ASSERT_NE(List(), nullptr);
  const plat::RECT r = PopupScreenRect();
  EXPECT_LE(r.bottom, 400 + 1) << "no lower than the host's client area (plus the list's border)";
  plat::RECT client;
  plat::GetClientRect(List()->GetHWND(), &client);
  EXPECT_EQ(client.bottom % 40, 0) << "whole rows";
  EXPECT_TRUE(List()->NeedsScrollBar());
}

TEST_F(PopupSelectorTest, ACommitThatRebuildsThePanelsLeavesNoDanglingField) {
  auto* query = new ListQuery(5, ppParameter(100));
  Build(query);
  // The "Option" write rebuilds the configurator, as the information panel does.
  query->onWrite = [this, query] {
    if (query->undos == 1) configurator_->RemoveAll();
  };
  Open();
  Press(plat::VK_DOWN);
  Press(plat::VK_RETURN);  // undo the preview, then the committed write rebuilds
  EXPECT_EQ(configurator_->Tabs().size(), 0u);
  ppPendingDeletions::DeleteAll();
}

TEST_F(PopupSelectorTest, DeletingTheFieldWithItsDropDownOpenCallsNothingBack) {
  auto* query = new ListQuery(5, ppParameter(100));
  Build(query);
  Open();
  ASSERT_NE(List(), nullptr);
  const plat::HWND popup = List()->GetHWND();
  Press(plat::VK_DOWN);
  configurator_->RemoveAll();  // deletes the panel and the field now
  EXPECT_FALSE(plat::IsWindow(popup));
  EXPECT_EQ(plat::GetCapture(), nullptr);
  Press(plat::VK_RETURN);  // nothing left to hear it
}

TEST_F(PopupSelectorTest, ThePaintedFieldAndListDumpToPng) {
  auto* query = new ListQuery(30, ppParameter(101));
  Build(query, 1, false);
  Open();
  plat::HeadlessDriver::RunUntilIdle();
  const std::string dir = std::string(PLANNER_BINARY_DIR) + "/";
  EXPECT_TRUE(plat::HeadlessDriver::DumpPng(hwnd_, dir + "popup-selector-field.png"));
  EXPECT_TRUE(plat::HeadlessDriver::DumpPng(List()->GetHWND(), dir + "popup-selector-list.png"));
}

}  // namespace

namespace {

// Choices whose column 4 is a 4 x 4 red picture (a packed device-independent bitmap in a handle).
class PictureQuery : public ctltest::ListQuery {
 public:
  PictureQuery() : ListQuery(3, ppParameter(100)) {
    std::vector<uint8_t> bmp = {40, 0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,
                                0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0};
    for (int32_t i = 0; i < 16; ++i) bmp.insert(bmp.end(), {0, 0, 255});
    Vcon_HandleManager::MemNew(&picture_, uint32_t(bmp.size()));
    std::memcpy(*picture_, bmp.data(), bmp.size());
  }
  ~PictureQuery() override { MemDispose(picture_); }
  void GetColumn4(int32_t, ppParameter& out) override { out = ppParameter(picture_); }

 private:
  Handle picture_ = nullptr;
};

TEST_F(PopupSelectorTest, AChoicesPictureIsDrawnAsWideAsItsAspectAsks) {
  PictureQuery query;
  ppParameter picture;
  query.GetColumn4(0, picture);
  plat::HDC dc = plat::GetDC(hwnd_);
  {
    ppDC context(dc);
    // A 40-pixel box, inset by 5: the 4 x 4 picture fills 30 x 30 pixels from (15, 15).
    EXPECT_EQ(controls::DrawChoicePicture(context, picture, {10, 10, 200, 50}, 5, false), 45);
    EXPECT_EQ(controls::DrawChoicePicture(context, ppParameter(7), {10, 60, 200, 100}, 5, false), 10)
        << "no picture: the text starts where the box would";
  }
  EXPECT_EQ(plat::GetPixel(dc, 20, 20), plat::RGB(255, 0, 0));
  EXPECT_EQ(plat::GetPixel(dc, 50, 20), plat::RGB(255, 255, 255));
  plat::ReleaseDC(hwnd_, dc);
}

}  // namespace
