#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "framework/ppTabPages.h"
#include "platform/Controls.h"
#include "platform/HeadlessDriver.h"
#include "platform/TabControl.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

std::vector<UINT> gNotices;

LRESULT DialogLike(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    gNotices.push_back(reinterpret_cast<const NMHDR*>(lParam)->code);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class TabPages : public ::testing::Test {
 protected:
  // A window with a three-tab control and one hidden page window per tab; page 2 holds a button.
  void SetUp() override {
    HeadlessDriver::Reset();
    gNotices.clear();
    RegisterTabControlClass();
    WNDCLASSA wc;
    wc.lpfnWndProc = DialogLike;
    wc.lpszClassName = "TabHost";
    RegisterClassA(&wc);
    host_ = CreateWindowExA(0, "TabHost", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                            nullptr, nullptr);
    tabs_ = CreateWindowExA(0, kTabControlClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, host_, nullptr,
                            nullptr, nullptr);
    for (int32_t i = 0; i < 3; ++i) {
      TCITEMW item;
      item.mask = TCIF_TEXT;
      char16_t text[] = u"Tab";
      item.pszText = text;
      SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      pageWindows_.push_back(
          CreateWindowExA(0, "TabHost", "", WS_CHILD, 0, 20, 300, 180, host_, nullptr, nullptr, nullptr));
    }
    button_ = CreateWindowExA(0, "TabHost", "", WS_CHILD | WS_VISIBLE, 5, 5, 20, 20, pageWindows_[2], nullptr,
                              nullptr, nullptr);
    pages_ = std::make_unique<ppTabPages>(tabs_);
    for (int32_t i = 0; i < 3; ++i) {
      ASSERT_EQ(pages_->AddPage(std::make_unique<ppTabPage>(pageWindows_[i], 10 + i), 100 + i), i);
    }
  }
  void TearDown() override {
    pages_.reset();
    HeadlessDriver::Reset();
  }
  bool Shown(int32_t page) { return IsWindowVisible(pageWindows_[page]) != 0; }

  HWND host_ = nullptr;
  HWND tabs_ = nullptr;
  HWND button_ = nullptr;
  std::vector<HWND> pageWindows_;
  std::unique_ptr<ppTabPages> pages_;
};

TEST_F(TabPages, SelectingShowsOnePageAndMovesTheTabFocus) {
  pages_->SelectPage(1);
  EXPECT_TRUE(Shown(1));
  EXPECT_FALSE(Shown(0));
  EXPECT_EQ(SendMessageW(tabs_, TCM_GETCURFOCUS, 0, 0), 1);
  pages_->SelectPage(2);
  EXPECT_FALSE(Shown(1));
  EXPECT_TRUE(Shown(2));
  EXPECT_EQ(pages_->Current(), pages_->PageAt(2));
  EXPECT_EQ(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0), 2);
  // The tab control told its parent of each change.
  EXPECT_EQ(std::count(gNotices.begin(), gNotices.end(), TCN_SELCHANGE), 2);
}

TEST_F(TabPages, SelectingTheCurrentPageAgainShowsItAgain) {
  pages_->SelectPage(0);
  ShowWindow(pageWindows_[0], SW_HIDE);  // hidden behind the set's back
  pages_->SelectPage(0);
  EXPECT_TRUE(Shown(0));
  EXPECT_EQ(SendMessageW(tabs_, TCM_GETCURFOCUS, 0, 0), 0);
}

TEST_F(TabPages, AnIndexWithoutAPageChangesNothingAndAMissingTabControlIsSkipped) {
  pages_->SelectPage(1);
  pages_->SelectPage(3);
  pages_->SelectPage(-1);
  EXPECT_EQ(pages_->Current(), pages_->PageAt(1));
  EXPECT_TRUE(Shown(1));
  // A tab control that is gone is left alone; the pages still change.
  DestroyWindow(tabs_);
  pages_->SelectPage(2);
  EXPECT_TRUE(Shown(2));
}

TEST_F(TabPages, PagesAreFoundByIdAndByTheirControls) {
  EXPECT_EQ(pages_->FindPageById(101), pages_->PageAt(1));
  EXPECT_EQ(pages_->FindPageById(55), nullptr);
  EXPECT_EQ(pages_->PageOfWindow(button_), 12);
  EXPECT_EQ(pages_->PageOfWindow(tabs_), 0);  // its parent is no page
  EXPECT_EQ(pages_->PageOfWindow(nullptr), 0);
}

TEST_F(TabPages, TheSetHoldsAtMostThirtyTwoPages) {
  ppTabPages set(nullptr);
  for (int32_t i = 0; i < ppTabPages::kMaxPages; ++i) {
    EXPECT_EQ(set.AddPage(std::make_unique<ppTabPage>(nullptr, i), i), i);
  }
  EXPECT_EQ(set.AddPage(std::make_unique<ppTabPage>(nullptr, 99), 99), -1);
  EXPECT_EQ(set.Count(), ppTabPages::kMaxPages);
  // Windows that do not exist are left alone.
  set.SelectPage(3);
  EXPECT_EQ(set.Current(), set.PageAt(3));
}

}  // namespace
