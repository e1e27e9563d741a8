// The line list: geometry of header, list area, footer and bars; scrolling and its clamps; clicks to
// lines and header; the drawing sequence.
#include <gtest/gtest.h>

#include "ListTestSupport.h"
#include "framework/ppScrollBar.h"

using namespace listtest;

namespace {

// Frame (10, 10)-(210, 170) on a window at the screen's origin; lines of 16 pixels.
constexpr plat::RECT kFrame{10, 10, 210, 170};

class DataListTest : public ListWindowTest {
 protected:
  RecordingDataList* Make(int32_t mode) {
    return new RecordingDataList(window_, kFrame, 16, mode, ppView::kStay, ppView::kStay);
  }
};

TEST_F(DataListTest, GeometryFollowsHeaderBarsAndLineHeight) {
  RecordingDataList* both = Make(ppDataList::kBothBars);
  plat::RECT list, header;
  both->GetListRect(&list);
  both->GetHeaderRect(&header);
  EXPECT_EQ(both->HeaderHeight(), 19);  // line height + 3
  EXPECT_EQ(list.top, 29);
  EXPECT_EQ(list.right, 192);   // 18 off the right for the vertical bar
  EXPECT_EQ(list.bottom, 152);  // and 18 off the bottom for the horizontal one
  EXPECT_EQ(header.bottom, 29);
  EXPECT_EQ(header.right, 192);
  EXPECT_EQ(both->VisibleLines(), 123 / 16 + 1);  // a partly visible line counts
  EXPECT_EQ(both->VisibleColumnSteps(), 182 / 32 + 1);
  ASSERT_NE(both->VerticalBar(), nullptr);
  ASSERT_NE(both->HorizontalBar(), nullptr);
  // The vertical bar lies right of the list area, one pixel over its top and bottom (list pixels).
  EXPECT_EQ(both->VerticalBar()->GetFrame().left, 182);
  EXPECT_EQ(both->VerticalBar()->GetFrame().top, 18);
  EXPECT_EQ(both->VerticalBar()->GetFrame().bottom, 143);

  for (int32_t mode : {0, 4}) {
    RecordingDataList* none = Make(mode);
    none->GetListRect(&list);
    EXPECT_EQ(none->VerticalBar(), nullptr) << mode;
    EXPECT_EQ(none->HorizontalBar(), nullptr) << mode;
    EXPECT_EQ(list.right, 210) << mode;
    EXPECT_EQ(list.bottom, 170) << mode;
  }

  // A footer and a taller header move the list area and the vertical bar with them.
  RecordingDataList* vertical = Make(ppDataList::kVerticalBar);
  vertical->SetHeaderHeight(20);
  vertical->SetFooterHeight(21);
  vertical->GetListRect(&list);
  EXPECT_EQ(list.top, 30);
  EXPECT_EQ(list.bottom, 149);
  EXPECT_EQ(vertical->VerticalBar()->GetFrame().top, 19);
  EXPECT_EQ(vertical->VerticalBar()->GetFrame().bottom, 160 - 21);
}

TEST_F(DataListTest, ScrollingStopsAtTheEnds) {
  RecordingDataList* list = Make(ppDataList::kBothBars);
  list->SetLineCount(100);
  const int32_t visible = list->VisibleLines();
  list->ScrollBy(0, 100000);
  EXPECT_EQ(list->FirstLine() + visible, 101);  // one empty row may show
  EXPECT_EQ(list->VerticalBar()->KeptPosition(), 0) << "the bar is left to its own movement";
  list->ScrollBy(0, -100000);
  EXPECT_EQ(list->FirstLine(), 0);
  // 401 is the vertical bar's command: one line down.
  list->DoCommand(401, 1);
  EXPECT_EQ(list->FirstLine(), 1);
  list->UpdateScrollBars();
  EXPECT_EQ(list->VerticalBar()->KeptPosition(), 1);
  EXPECT_TRUE(list->VerticalBar()->IsEnabled());

  // Horizontally up to the column step count exactly (the record-bound list sets it; none here).
  list->ScrollBy(100000, 0);
  EXPECT_EQ(list->FirstColumnStep(), 0);
  list->DoCommand(402, -3);
  EXPECT_EQ(list->FirstColumnStep(), 0);
}

TEST_F(DataListTest, FewerLinesThanFitStartAtTheTopWithTheBarDisabled) {
  RecordingDataList* list = Make(ppDataList::kVerticalBar);
  list->SetLineCount(50);
  list->ScrollBy(0, 20);
  ASSERT_EQ(list->FirstLine(), 20);
  list->SetLineCount(3);
  EXPECT_EQ(list->FirstLine(), 0);
  EXPECT_FALSE(list->VerticalBar()->IsEnabled());
  list->Activate();
  EXPECT_FALSE(list->VerticalBar()->IsEnabled()) << "activation leaves a bar with nothing to scroll off";
  EXPECT_TRUE(list->IsActive());
  list->ScrollBy(0, 5);
  EXPECT_EQ(list->FirstLine(), 0) << "3 lines in 9 rows: no scrolling at all";
}

TEST_F(DataListTest, ClicksGoToLinesHeaderOrNowhere) {
  RecordingDataList* list = Make(ppDataList::kVerticalBar);
  list->SetFooterHeight(20);  // list area 29..150, footer 150..170
  list->SetLineCount(3);
  plat::HeadlessDriver::RunUntilIdle();
  list->calls.log.clear();
  ClickWith(50, 29 + 16 + 3);  // row 1
  ClickWith(50, 20);           // header band
  ClickWith(50, 160);          // footer: nothing
  ClickWith(50, 29 + 16 * 5);  // row 5, below the last line: no line, but the last click
  EXPECT_EQ(list->calls.log, (std::vector<std::string>{"line 1", "header"}));
  EXPECT_EQ(list->LastClickRow(), 5);
  EXPECT_EQ(list->LastClickTick(), ppMouseTask::GetTicks());
  // Above the pane (reached only by a direct call) counts as the header too.
  EXPECT_TRUE(list->IsDoubleClick(50, 2));
  EXPECT_EQ(list->calls.Count("header"), 2);
}

TEST_F(DataListTest, DrawsFrameHeaderFooterThenTheVisibleLines) {
  RecordingDataList* list = Make(ppDataList::kVerticalBar);
  plat::HeadlessDriver::RunUntilIdle();
  list->calls.log.clear();
  list->Invalidate();
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(list->calls.log, (std::vector<std::string>{"frame", "draw header", "footer"})) << "empty list";

  list->SetLineCount(20);
  list->ScrollBy(0, 4);
  list->calls.log.clear();
  list->Invalidate();
  plat::HeadlessDriver::RunUntilIdle();
  // Rows of 16 pixels from the list top (29); lines 4 to 4 + 9 visible, both included.
  std::vector<std::string> expected{"frame", "draw header", "footer"};
  for (int32_t line = 4; line <= 4 + list->VisibleLines(); ++line)
    expected.push_back("draw " + std::to_string(line) + " at " + std::to_string(29 + 16 * (line - 4)));
  EXPECT_EQ(list->calls.log, expected);
}

}  // namespace
