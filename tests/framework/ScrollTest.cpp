#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "AdornerTestPictures.h"
#include "framework/ppDC.h"
#include "framework/ppPane.h"
#include "framework/ppScrollBar.h"
#include "framework/ppScrollPane.h"
#include "framework/ppScroller.h"
#include "framework/ppWindow.h"
#include "platform/Controls.h"
#include "platform/Gdi.h"
#include "platform/HeadlessDriver.h"
#include "platform/Surface.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

// Logs the scroll commands its bars send.
class CommandLog : public ppPane {
 public:
  explicit CommandLog(ppView* supervisor) : ppPane(supervisor, {0, 0, 300, 300}, kStay, kStay) {}
  void DoCommand(int32_t command, intptr_t amount) override {
    commands.push_back({command, int32_t(amount)});
  }
  std::vector<std::pair<int32_t, int32_t>> commands;
};

// Content of 10-pixel rows, row r painted in grey level r (its content coordinates decide the colour).
class Rows : public ppScroller {
 public:
  Rows(ppView* supervisor, const RECT& frame)
      : ppScroller(supervisor, frame, kStretch, kStretch, 10, 10, 1, 100) {}
  void DrawContent(ppDC& dc) override {
    for (int32_t row = 0; row < ExtentY(); ++row) {
      RECT r{0, row * 10, 100, row * 10 + 10};
      LocalToWindowRect(&r);  // content coordinates of a subview's frame are this view's local ones
      dc.SetColorBytes({row, row, row});
      dc.FillRect(r);
    }
  }
  void LocalToWindowRect(RECT* rect) override { ppScroller::LocalToWindowRect(rect); }
};

class RowsPane : public ppScrollPane {
 public:
  RowsPane(ppView* supervisor, const RECT& frame)
      : ppScrollPane(supervisor, frame, kStay, kStay, 10, kVerticalBar) {}
  void MakeScroller() override { SetScroller(new Rows(this, ContentRect())); }
};

// A grid of 20 x 10 cells that logs the cells it draws and the cell clicked.
class Grid : public ppListScroller {
 public:
  Grid(ppView* supervisor, const RECT& frame) : ppListScroller(supervisor, frame, 0, 20, 10) {}
  void DrawCell(ppDC&, int32_t column, int32_t row, const RECT& rect) override {
    drawn.push_back({column, row});
    rects.push_back(rect);
  }
  bool CellClicked(int32_t column, int32_t row, int32_t, int32_t) override {
    clicked = {column, row};
    return true;
  }
  std::vector<std::pair<int32_t, int32_t>> drawn;
  std::vector<RECT> rects;
  std::pair<int32_t, int32_t> clicked{-1, -1};
};

class Scrolling : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    ppView::ResetClickPoint();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 400, 300);
  }
  void TearDown() override {
    delete window_;
    HeadlessDriver::Reset();
  }
  uint32_t Pixel(int32_t x, int32_t y) { return GetWindowSurface(hwnd_)->Pixel(x, y) & 0xFFFFFF; }
  ppWindow* window_ = nullptr;
  HWND hwnd_ = nullptr;
};

TEST_F(Scrolling, ScrollByStopsAtTheEndsOfTheContent) {
  ppScroller scroller(window_, {0, 0, 100, 100}, ppView::kStay, ppView::kStay, 10, 10, 100, 100);
  EXPECT_EQ(scroller.VisibleY(), 10);
  scroller.ScrollTo(0, 85);
  scroller.ScrollBy(0, 20);
  EXPECT_EQ(scroller.PositionY(), 90);
  scroller.ScrollBy(-5, -200);
  EXPECT_EQ(scroller.PositionY(), 0);
  EXPECT_EQ(scroller.PositionX(), 0);
  scroller.DoCommand(ppScroller::kScrollHorizontally, 7);
  EXPECT_EQ(scroller.PositionX(), 7);
  scroller.DoCommand(ppScroller::kScrollVertically, 3);
  EXPECT_EQ(scroller.PositionY(), 3);

  ppScroller small(window_, {0, 0, 95, 100}, ppView::kStay, ppView::kStay, 10, 10, 5, 5);
  EXPECT_EQ(small.VisibleX(), 10);  // 95 pixels need 10 steps, rounded up
  small.ScrollBy(3, 3);
  EXPECT_EQ(small.PositionX(), 0);
  EXPECT_EQ(small.PositionY(), 0);
}

TEST_F(Scrolling, AStepOfZeroShowsNothingAndDividesByNothing) {
  ppScroller scroller(window_, {0, 0, 100, 100}, ppView::kStay, ppView::kStay, 0, 0, 10, 10);
  EXPECT_EQ(scroller.VisibleX(), 0);
  scroller.UpdateVisible();
  scroller.ScrollBy(2, 2);
  EXPECT_EQ(scroller.PositionX(), 2);
  ppScrollBar bar(window_, {0, 0, 18, 100}, true, 10, 0, ppView::kStay, ppView::kStay);
  EXPECT_EQ(bar.PageSize(), 0);
}

TEST_F(Scrolling, ContentCoordinatesFollowThePosition) {
  ppScroller scroller(window_, {20, 30, 120, 130}, ppView::kStay, ppView::kStay, 10, 5, 100, 100);
  scroller.ScrollTo(2, 4);
  POINT p{0, 0};
  scroller.LocalToWindow(&p);
  EXPECT_EQ(p.x, 20 - 20);
  EXPECT_EQ(p.y, 30 - 20);
  scroller.WindowToLocal(&p);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
  RECT frame;
  scroller.GetWindowFrame(&frame);
  EXPECT_EQ(frame, (RECT{20, 30, 120, 130}));  // its own frame does not scroll
}

TEST_F(Scrolling, BarsReportStepsToTheirSupervisorAndKeepAPageOfOverlap) {
  auto* log = new CommandLog(window_);
  auto* bar = new ppScrollBar(log, {0, 0, 18, 100}, true, 50, 10, ppView::kStay, ppView::kStay);
  EXPECT_EQ(bar->PageSize(), 10);
  EXPECT_TRUE(bar->IsEnabled());
  EXPECT_EQ(bar->GetRange(), 50);
  EXPECT_EQ(ppScrollBar::GetScrollBarOf(bar->Control()), bar);
  bar->HandleScroll(SB_PAGEDOWN, 0);
  bar->HandleScroll(SB_LINEDOWN, 0);
  bar->HandleScroll(SB_PAGEUP, 0);
  bar->HandleScroll(SB_LINEUP, 0);
  bar->HandleScroll(SB_THUMBTRACK, 30);
  bar->HandleScroll(SB_ENDSCROLL, 0);
  EXPECT_EQ(log->commands, (std::vector<std::pair<int32_t, int32_t>>{
                               {401, 9}, {401, 1}, {401, -9}, {401, -1}, {401, 30}, {401, 0}}));
  EXPECT_EQ(bar->GetPosition(), 30);

  auto* across = new ppScrollBar(log, {0, 200, 100, 218}, false, 0, 5, ppView::kStay, ppView::kStay);
  EXPECT_FALSE(across->IsEnabled());
  across->HandleScroll(SB_LINEDOWN, 0);
  EXPECT_EQ(log->commands.back(), (std::pair<int32_t, int32_t>{402, 1}));
  across->SetRange(1);
  EXPECT_TRUE(across->IsEnabled());
  across->SetRange(0);
  EXPECT_FALSE(across->IsEnabled());
  across->Activate();
  EXPECT_FALSE(across->IsEnabled());  // nothing to scroll: stays disabled
}

TEST_F(Scrolling, ThePaneLaysOutItsBarsAndPassesTheirCommandsToTheScroller) {
  auto* pane = new ppScrollPane(window_, {10, 10, 210, 160}, ppView::kStretch, ppView::kStretch, 10,
                                ppScrollPane::kBothBars);
  pane->MakeScroller();
  ASSERT_NE(pane->Scroller(), nullptr);
  EXPECT_EQ(pane->ContentRect(), (RECT{0, 0, 182, 132}));
  EXPECT_EQ(pane->HorizontalBar()->GetFrame(), (RECT{0, 132, 184, 151}));
  EXPECT_EQ(pane->VerticalBar()->GetFrame(), (RECT{183, -1, 201, 134}));
  EXPECT_EQ(pane->Scroller()->VisibleY(), 132);

  pane->Scroller()->SetExtent(400, 300);
  EXPECT_EQ(pane->VerticalBar()->GetRange(), 299);
  EXPECT_EQ(pane->HorizontalBar()->GetRange(), 399);
  EXPECT_EQ(pane->VerticalBar()->PageSize(), 132);
  pane->Scroller()->ScrollTo(5, 6);
  EXPECT_EQ(pane->HorizontalBar()->GetPosition(), 5);
  EXPECT_EQ(pane->VerticalBar()->GetPosition(), 6);

  // The native control's message reaches the scroller through the window, the bar and the pane.
  SendMessageA(hwnd_, WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(pane->VerticalBar()->Control()));
  EXPECT_EQ(pane->Scroller()->PositionY(), 6 + 131);
  EXPECT_EQ(pane->VerticalBar()->GetPosition(), 6 + 131);

  pane->Scroller()->SetExtent(0, 0);
  EXPECT_FALSE(pane->VerticalBar()->IsEnabled());
  EXPECT_FALSE(pane->HorizontalBar()->IsEnabled());

  // A wider window stretches the pane; the scroller sees more steps and the bars follow.
  MoveWindow(hwnd_, 0, 0, 450, 300, 1);
  EXPECT_EQ(pane->GetFrame(), (RECT{10, 10, 260, 160}));
  EXPECT_EQ(pane->Scroller()->VisibleX(), 232);
  EXPECT_EQ(pane->HorizontalBar()->PageSize(), 232);
  EXPECT_EQ(pane->VerticalBar()->GetFrame(), (RECT{233, -1, 251, 134}));
}

TEST_F(Scrolling, ScrollingMovesThePixelsAndRepaintsOnlyWhatWasUncovered) {
  auto* pane = new RowsPane(window_, {0, 0, 118, 100});
  pane->MakeScroller();
  auto* rows = static_cast<Rows*>(pane->Scroller());
  rows->SetExtent(1, 100);
  window_->Invalidate();
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Pixel(5, 5), 0x000000u);
  EXPECT_EQ(Pixel(5, 95), 0x090909u);
  SendMessageA(hwnd_, WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(pane->VerticalBar()->Control()));
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(rows->PositionY(), 9);
  EXPECT_EQ(Pixel(5, 5), 0x090909u);   // moved by ScrollDC
  EXPECT_EQ(Pixel(5, 95), 0x121212u);  // painted into the uncovered strip
  EXPECT_EQ(pane->VerticalBar()->GetPosition(), 9);
}

// Steps that come faster than the repaints (a thumb dragged down and back up, arrows pressed): the
// strip uncovered by one step and not yet painted moves on with the next, and is painted where its
// pixels went. Every row then shows its own grey, as a whole repaint draws it.
TEST_F(Scrolling, StepsBeforeARepaintLeaveNoRowPaintedForAnotherPosition) {
  auto* pane = new RowsPane(window_, {0, 0, 118, 100});
  pane->MakeScroller();
  auto* rows = static_cast<Rows*>(pane->Scroller());
  rows->SetExtent(1, 100);
  window_->Invalidate();
  HeadlessDriver::RunUntilIdle();
  const auto bar = reinterpret_cast<LPARAM>(pane->VerticalBar()->Control());
  const auto showsItsRows = [&](const char* what) {
    for (int32_t y = 5; y < 100; y += 10) {
      const uint32_t row = uint32_t(rows->PositionY() + y / 10);
      ASSERT_EQ(Pixel(5, y), row * 0x010101u) << what << ": window row " << y / 10;
    }
  };
  // Down by single rows, three steps before the paint.
  for (int32_t i = 0; i < 3; ++i) SendMessageA(hwnd_, WM_VSCROLL, SB_LINEDOWN, bar);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(rows->PositionY(), 3);
  showsItsRows("three rows down");
  // The thumb dragged down by a few rows at a time and back, then one more row up.
  for (int32_t to : {5, 7, 12, 9, 4}) SendMessageA(hwnd_, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, to), bar);
  SendMessageA(hwnd_, WM_VSCROLL, SB_LINEUP, bar);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(rows->PositionY(), 3);
  showsItsRows("thumb down and back");
  // A pending area outside the scrolled rectangle stays where it is.
  RECT beside{150, 10, 160, 20};
  InvalidateRect(hwnd_, &beside, 0);
  SendMessageA(hwnd_, WM_VSCROLL, SB_LINEDOWN, bar);
  HRGN pending = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(hwnd_, pending, 0);
  EXPECT_TRUE(PtInRegion(pending, 155, 15));  // beside: where it was
  EXPECT_TRUE(PtInRegion(pending, 50, 95));   // the uncovered bottom row
  EXPECT_FALSE(PtInRegion(pending, 50, 15));
  DeleteObject(pending);
  HeadlessDriver::RunUntilIdle();
  showsItsRows("one more row down");
}

TEST_F(Scrolling, ListScrollerDrawsOnlyCellsThatExistAndFindsTheCellClicked) {
  Grid grid(window_, {10, 20, 70, 50});  // 3 columns, 3 rows visible
  EXPECT_EQ(grid.VisibleX(), 3);
  EXPECT_EQ(grid.VisibleY(), 3);
  grid.SetExtent(2, 5);
  ppDC dc(hwnd_);
  grid.DrawContent(dc);
  EXPECT_EQ(grid.drawn,
            (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2}}));
  EXPECT_EQ(grid.rects[3], (RECT{30, 30, 50, 40}));
  grid.ScrollTo(0, 2);
  RECT cell;
  grid.GetCellRect(1, 3, &cell);
  EXPECT_EQ(cell, (RECT{30, 30, 50, 40}));
  EXPECT_TRUE(grid.MouseDown(35, 35));
  EXPECT_EQ(grid.clicked, (std::pair<int32_t, int32_t>{1, 3}));
  grid.clicked = {-1, -1};
  EXPECT_FALSE(grid.MouseDown(55, 25));  // in the frame, beyond the second column
  EXPECT_FALSE(grid.MouseDown(200, 200));
  EXPECT_EQ(grid.clicked, (std::pair<int32_t, int32_t>{-1, -1}));
  grid.SetCellHeight(15);
  EXPECT_EQ(grid.StepY(), 15);
}

}  // namespace
