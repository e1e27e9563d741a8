// The output list's selection: the bit array, plain, Shift and Ctrl clicks, double clicks at the
// layer's clock, the keys and scrolling to the selection.
#include <gtest/gtest.h>

#include "ListTestSupport.h"
#include "framework/ppScrollBar.h"

using namespace listtest;

namespace {

// Frame (10, 10)-(210, 170), lines of 16 pixels, a vertical bar: the list area runs from y 29 to 170
// (9 visible lines, the last partly).
constexpr plat::RECT kFrame{10, 10, 210, 170};
constexpr int32_t kTop = 29;

class OutputListTest : public ListWindowTest {
 protected:
  void SetUp() override {
    ListWindowTest::SetUp();
    list_ =
        new RecordingOutputList(window_, kFrame, 16, ppDataList::kVerticalBar, ppView::kStay, ppView::kStay);
    list_->Activate();
    window_->SetTarget(list_);
  }
  void ClickRow(int32_t row, std::vector<int32_t> keys = {}) { ClickWith(50, kTop + 16 * row + 4, keys); }
  RecordingOutputList* list_ = nullptr;
};

TEST_F(OutputListTest, LineCountSizesAndClearsTheBits) {
  list_->SetLineCount(8);
  EXPECT_EQ(list_->SelectionBytes(), 2);
  list_->SelectLine(3, true);
  list_->SetLineCount(8);
  EXPECT_EQ(list_->SelectedLineCount(), 0);
  list_->SetLineCount(100);
  EXPECT_EQ(list_->SelectionBytes(), 13);
  list_->SetLineCount(4);
  EXPECT_EQ(list_->SelectionBytes(), 13) << "the array never shrinks";

  // Lines outside the list change nothing.
  for (int32_t line : {4, -1, 1000}) {
    list_->SelectLine(line, true);
    EXPECT_EQ(list_->SelectedLineCount(), 0) << line;
  }
  list_->SelectLine(2, true);
  list_->SelectLine(0, true);
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(list_->NextSelectedLine(1), 2);
  list_->SelectLine(2, false);
  EXPECT_EQ(list_->NextSelectedLine(1), -1);
}

TEST_F(OutputListTest, ShiftClickSelectsTowardsTheFirstSelectedLine) {
  list_->SetLineCount(8);
  ClickRow(3, {plat::VK_SHIFT});
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(list_->calls.Count("changed"), 4) << "once per newly selected line below the anchor";

  list_->SetLineCount(8);
  list_->SelectLine(5, true);
  list_->calls.log.clear();
  Wait(40);
  ClickRow(2, {plat::VK_SHIFT});
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{2, 3, 4, 5}));
  EXPECT_EQ(list_->calls.Count("changed"), 1) << "above the anchor: once in all";
}

TEST_F(OutputListTest, CtrlTogglesAndPlainClickReplaces) {
  list_->SetLineCount(8);
  ClickRow(1);
  Wait(40);
  ClickRow(4, {plat::VK_CONTROL});
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{1, 4}));
  Wait(40);
  ClickRow(1, {plat::VK_CONTROL});
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{4}));
  Wait(40);
  ClickRow(6);
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{6}));
  EXPECT_EQ(list_->calls.Count("changed"), 4);
  // A plain click on a selected line keeps the rest of a multiple selection.
  list_->SelectLine(2, true);
  Wait(40);
  ClickRow(6);
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{2, 6}));
}

TEST_F(OutputListTest, SingleSelectionTakesEveryClickAsPlain) {
  list_->SetSingleSelection(true);
  list_->SetLineCount(8);
  ClickRow(2);
  Wait(40);
  ClickRow(5, {plat::VK_CONTROL});
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{5}));
  Wait(40);
  ClickRow(3, {plat::VK_SHIFT});
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{3}));
  list_->SelectLine(6, true);
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{6}));
}

TEST_F(OutputListTest, TwoClicksWithinThirtyTicksAreADoubleClick) {
  list_->SetLineCount(8);
  ClickRow(2);
  list_->ClearSelection();
  Wait(30);
  ClickRow(2);
  EXPECT_EQ(list_->calls.Count("double"), 1);
  EXPECT_TRUE(list_->Selected().empty()) << "a double click changes nothing";

  Wait(31);
  ClickRow(2);
  EXPECT_EQ(list_->calls.Count("double"), 1) << "31 ticks apart: two clicks";
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{2}));
  list_->ClearSelection();
  ClickRow(3);  // at once, but another row
  EXPECT_EQ(list_->calls.Count("double"), 1);
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{3}));
}

TEST_F(OutputListTest, TheFirstClickIsNeverADoubleClick) {
  // The clock stands at tick 0 as a fresh desktop's does: no click happened 0 ticks before.
  plat::LayerClock::SetManual(0);
  list_->SetLineCount(8);
  ClickRow(0);
  EXPECT_EQ(list_->calls.Count("double"), 0);
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{0}));
}

TEST_F(OutputListTest, IgnoredClicksLeaveTheSelectionAlone) {
  list_->SetLineCount(8);
  list_->SetClicksIgnored(true);
  ClickRow(2);
  EXPECT_TRUE(list_->Selected().empty());
  EXPECT_TRUE(list_->calls.log.empty());
}

TEST_F(OutputListTest, KeysJumpAndWalkTheSelection) {
  list_->SetLineCount(80);
  struct Case {
    int32_t key;
    std::vector<int32_t> held;
    int32_t expected;
  };
  const Case cases[] = {
      {'1', {}, 1},
      {'2', {}, 10},
      {'5', {}, 40},
      {'8', {}, 70},
      {'9', {}, 79},                          // the last line
      {plat::VK_UP, {plat::VK_CONTROL}, 78},  // Ctrl: one line back
      {plat::VK_DOWN, {}, 79},
      {plat::VK_UP, {}, 79 - 8},                // a page back (visible lines - 1)
      {plat::VK_DOWN, {plat::VK_CONTROL}, 79},  // a page on, limited to the last line
  };
  for (const Case& c : cases) {
    PressWith(c.key, c.held);
    EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{c.expected})) << "key " << c.key;
    const int32_t s = c.expected;
    EXPECT_TRUE(list_->FirstLine() <= s && s <= list_->FirstLine() + list_->VisibleLines())
        << "key " << c.key << " leaves line " << s << " out of view from " << list_->FirstLine();
  }
  EXPECT_EQ(list_->calls.Count("changed"), int32_t(std::size(cases)));

  // Shift keeps what was selected.
  PressWith(plat::VK_UP, {plat::VK_SHIFT, plat::VK_CONTROL});
  EXPECT_EQ(list_->Selected(), (std::vector<int32_t>{78, 79}));
  // Space scrolls the selection back into view.
  list_->ScrollBy(0, -100);
  PressWith(plat::VK_SPACE);
  EXPECT_EQ(list_->FirstLine(), 78 - list_->VisibleLines() + 2);
}

TEST_F(OutputListTest, DigitsNeedALongList) {
  list_->SetLineCount(5);  // fewer lines than the 9 visible rows
  PressWith('5');
  EXPECT_TRUE(list_->Selected().empty());
}

TEST_F(OutputListTest, ScrollToSelectionWithNothingSelectedGoesToTheTop) {
  list_->SetLineCount(50);
  list_->ScrollBy(0, 20);
  list_->ScrollToSelection();
  EXPECT_EQ(list_->FirstLine(), 0);
  list_->SelectLine(30, true);
  list_->ScrollToSelection();
  EXPECT_EQ(list_->FirstLine(), 30 - list_->VisibleLines() + 2);
  EXPECT_EQ(list_->VerticalBar()->KeptPosition(), list_->FirstLine());
}

TEST_F(OutputListTest, ScrollingToTheSelectionRedrawsTheMovedLines) {
  list_->SetLineCount(50);
  plat::HeadlessDriver::RunUntilIdle();
  plat::RECT before{};
  ASSERT_FALSE(plat::GetUpdateRect(hwnd_, &before, 0));
  list_->SelectLine(30, true);
  list_->ScrollToSelection();
  plat::RECT update{};
  ASSERT_TRUE(plat::GetUpdateRect(hwnd_, &update, 0)) << "the lines shown are those of the old first line";
  EXPECT_LE(update.top, kTop);
  EXPECT_GE(update.bottom, 170);
}

TEST_F(OutputListTest, HighlightFollowsActivation) {
  list_->SetLineCount(8);
  list_->SelectLine(2, true);
  plat::HeadlessDriver::RunUntilIdle();
  list_->Deactivate();
  plat::RECT update{};
  ASSERT_TRUE(plat::GetUpdateRect(hwnd_, &update, 0));
  EXPECT_EQ(update.top, kTop + 32);
  EXPECT_EQ(update.bottom, kTop + 48);
  plat::HeadlessDriver::RunUntilIdle();
  list_->Deactivate();  // not active: nothing to redraw
  EXPECT_FALSE(plat::GetUpdateRect(hwnd_, &update, 0));
  list_->Activate();
  EXPECT_TRUE(plat::GetUpdateRect(hwnd_, &update, 0));
}

}  // namespace
