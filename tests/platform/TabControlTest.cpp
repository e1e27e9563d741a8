#include <gtest/gtest.h>

#include <vector>

#include "platform/Controls.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/TabControl.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

struct Note {
  UINT code;
  uintptr_t id;
  HWND from;
  int32_t currentThen;
};
std::vector<Note> gNotes;
bool gRefuse = false;

LRESULT ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<const NMHDR*>(lParam);
    int32_t current = static_cast<int32_t>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0));
    gNotes.push_back({header->code, header->idFrom, header->hwndFrom, current});
    EXPECT_EQ(wParam, header->idFrom);
    return header->code == TCN_SELCHANGING && gRefuse ? 1 : 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class TabControls : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gNotes.clear();
    gRefuse = false;
    RegisterTabControlClass();
    WNDCLASSA wc;
    wc.lpfnWndProc = ParentProc;
    wc.lpszClassName = "TabParent";
    RegisterClassA(&wc);
    parent_ = CreateWindowExA(0, "TabParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                              nullptr, nullptr);
    tabs_ = CreateWindowExA(0, kTabControlClass, "", WS_CHILD | WS_VISIBLE, 10, 10, 300, 200, parent_,
                            reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ASSERT_NE(tabs_, nullptr);
    for (const char* name : {"Front", "Side", "Colours"}) Insert(99, name);
    HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override { HeadlessDriver::Reset(); }

  LRESULT Insert(WPARAM at, const char* name) {
    std::string text = name;
    TCITEMA item;
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = text.data();
    item.lParam = static_cast<LPARAM>(text.size());
    return SendMessageA(tabs_, TCM_INSERTITEMA, at, reinterpret_cast<LPARAM>(&item));
  }
  int32_t Current() { return static_cast<int32_t>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0)); }
  void ClickTab(int32_t index) {
    RECT r;
    SendMessageA(tabs_, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    Desktop::Click({10 + (r.left + r.right) / 2, 10 + (r.top + r.bottom) / 2});
    HeadlessDriver::RunUntilIdle();
  }
  std::vector<UINT> Codes() {
    std::vector<UINT> out;
    for (const Note& n : gNotes) out.push_back(n.code);
    return out;
  }

  HWND parent_ = nullptr;
  HWND tabs_ = nullptr;
};

TEST_F(TabControls, AClickSelectsTheTabAndTellsTheParentBeforeAndAfter) {
  EXPECT_EQ(SendMessageA(tabs_, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(Current(), 0);  // the first tab inserted becomes current
  ClickTab(2);
  ASSERT_EQ(Codes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));
  EXPECT_EQ(gNotes[0].currentThen, 0);
  EXPECT_EQ(gNotes[1].currentThen, 2);
  EXPECT_EQ(gNotes[1].id, 7u);
  EXPECT_EQ(gNotes[1].from, tabs_);
  EXPECT_EQ(GetFocus(), tabs_);

  gNotes.clear();
  ClickTab(2);  // the current tab again: nothing to tell
  EXPECT_TRUE(gNotes.empty());
  gRefuse = true;
  ClickTab(0);
  EXPECT_EQ(Codes(), (std::vector<UINT>{TCN_SELCHANGING}));
  EXPECT_EQ(Current(), 2);
}

TEST_F(TabControls, ProgramChangesKeysAndFocus) {
  EXPECT_EQ(SendMessageA(tabs_, TCM_SETCURSEL, 1, 0), 0);  // answers the previous tab, tells nobody
  EXPECT_TRUE(gNotes.empty());
  EXPECT_EQ(SendMessageA(tabs_, TCM_SETCURSEL, 5, 0), -1);
  SendMessageA(tabs_, TCM_SETCURFOCUS, 2, 0);
  EXPECT_EQ(Codes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));
  EXPECT_EQ(SendMessageA(tabs_, TCM_GETCURFOCUS, 0, 0), 2);
  gNotes.clear();
  SetFocus(tabs_);
  Desktop::Key(VK_LEFT, true, true);
  Desktop::Key(VK_LEFT, true, true);
  Desktop::Key(VK_LEFT, true, true);  // already at the first tab
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Current(), 0);
  EXPECT_EQ(gNotes.size(), 4u);
}

TEST_F(TabControls, ItemsInsertReadAndDeleteKeepingTheCurrentTab) {
  SendMessageA(tabs_, TCM_SETCURSEL, 1, 0);
  EXPECT_EQ(Insert(0, "Top"), 0);
  EXPECT_EQ(Current(), 2);  // still "Side"
  char16_t text[4];
  TCITEMW item;
  item.mask = TCIF_TEXT | TCIF_PARAM;
  item.pszText = text;
  item.cchTextMax = 4;
  ASSERT_TRUE(SendMessageW(tabs_, TCM_GETITEMW, 3, reinterpret_cast<LPARAM>(&item)));
  EXPECT_EQ(std::u16string(text), u"Col");  // cut to the buffer
  EXPECT_EQ(item.lParam, 7);
  EXPECT_FALSE(SendMessageW(tabs_, TCM_GETITEMW, 4, reinterpret_cast<LPARAM>(&item)));
  SendMessageA(tabs_, TCM_DELETEITEM, 0, 0);
  EXPECT_EQ(Current(), 1);
  SendMessageA(tabs_, TCM_DELETEITEM, 2, 0);
  SendMessageA(tabs_, TCM_DELETEITEM, 1, 0);  // the current one goes: its left neighbour follows
  EXPECT_EQ(Current(), 0);
  SendMessageA(tabs_, TCM_DELETEALLITEMS, 0, 0);
  EXPECT_EQ(Current(), -1);
  RECT r{0, 0, 300, 200};
  SendMessageA(tabs_, TCM_ADJUSTRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.top, kTabRowHeight + 2);
  SendMessageA(tabs_, TCM_ADJUSTRECT, 1, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, (RECT{0, 0, 300, 200}));
}

}  // namespace
}  // namespace plat
