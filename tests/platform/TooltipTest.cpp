#include <gtest/gtest.h>

#include <string>

#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/Tooltip.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

LRESULT PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

class ToolTips : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    RegisterToolTipClass();
    WNDCLASSA wc;
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "TipHost";
    RegisterClassA(&wc);
    host_ = CreateWindowExA(0, "TipHost", "host", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr,
                            nullptr, nullptr);
    tip_ = CreateWindowExA(0, kToolTipClass, nullptr, 0, 0, 0, 0, 0, host_, nullptr, nullptr, nullptr);
    ASSERT_NE(tip_, nullptr);
    AddTool(1, {10, 10, 110, 40}, "Wall height");
    HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override { HeadlessDriver::Reset(); }

  LRESULT AddTool(uintptr_t id, RECT rect, const char* text, UINT size = kToolInfoSize) {
    std::string copy = text;
    TOOLINFOA info;
    info.cbSize = size;
    info.hwnd = host_;
    info.uId = id;
    info.rect = rect;
    info.lpszText = copy.data();
    return SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  }

  // The application's loop: every mouse message is relayed to the tooltip before it is dispatched.
  void MoveTo(POINT client) {
    Desktop::MouseMove({100 + client.x, 100 + client.y});
    Pump();
  }
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message >= WM_MOUSEMOVE && msg.message <= WM_MBUTTONUP) {
        SendMessageA(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
      }
      DispatchMessageW(&msg);
      if (msg.message == WM_PAINT) ValidateRect(msg.hwnd, nullptr);
    }
  }
  std::u16string TipText() {
    char16_t text[80] = {};
    GetWindowTextW(tip_, text, 80);
    return text;
  }

  HWND host_ = nullptr;
  HWND tip_ = nullptr;
};

TEST_F(ToolTips, TheTipAppearsAfterTheDelayBelowThePointerWithItsText) {
  MoveTo({20, 20});
  LayerClock::Advance(499);
  MoveTo({21, 20});  // still on the same tool: the delay keeps running from the first move
  UpdateToolTips();
  EXPECT_FALSE(IsWindowVisible(tip_));
  LayerClock::Advance(1);
  UpdateToolTips();
  ASSERT_TRUE(IsWindowVisible(tip_));
  EXPECT_EQ(TipText(), u"Wall height");
  RECT r;
  GetWindowRect(tip_, &r);
  EXPECT_EQ(r.left, 121);
  EXPECT_EQ(r.top, 140);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(GetWindowSurface(tip_)->Pixel(2, 2), 0xFFFFE1u);  // painted in the tip colour

  char buffer[80] = {};
  TOOLINFOA query;
  query.cbSize = kToolInfoSize;
  query.hwnd = host_;
  query.uId = 1;
  query.lpszText = buffer;
  SendMessageA(tip_, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&query));
  EXPECT_STREQ(buffer, "Wall height");
}

TEST_F(ToolTips, LeavingClickingOrRemovingTheToolHidesTheTip) {
  AddTool(2, {200, 10, 300, 40}, "Door");
  MoveTo({20, 20});
  LayerClock::Advance(500);
  UpdateToolTips();
  ASSERT_TRUE(IsWindowVisible(tip_));
  MoveTo({150, 20});  // between the tools
  EXPECT_FALSE(IsWindowVisible(tip_));

  MoveTo({250, 20});
  LayerClock::Advance(600);
  UpdateToolTips();
  EXPECT_EQ(TipText(), u"Door");
  Desktop::Click({350, 120});
  Pump();
  EXPECT_FALSE(IsWindowVisible(tip_));
  LayerClock::Advance(1000);
  MoveTo({251, 20});
  EXPECT_FALSE(IsWindowVisible(tip_));  // not again until the pointer reaches another tool

  MoveTo({20, 20});
  LayerClock::Advance(500);
  UpdateToolTips();
  ASSERT_TRUE(IsWindowVisible(tip_));
  TOOLINFOA gone;
  gone.cbSize = kToolInfoSize;
  gone.hwnd = host_;
  gone.uId = 1;
  SendMessageA(tip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&gone));
  EXPECT_FALSE(IsWindowVisible(tip_));
  EXPECT_EQ(SendMessageA(tip_, TTM_GETTOOLCOUNT, 0, 0), 1);
  LayerClock::Advance(5000);
  UpdateToolTips();
  EXPECT_FALSE(IsWindowVisible(tip_));
}

// A tip shows its text as a menu shows an item's: up to the TAB, a single "&" dropped, a doubled one
// shown once; a control made with TTS_NOPREFIX shows the text as it stands.
TEST_F(ToolTips, ATipShowsItsTextAsAMenuItemUnlessTheControlSaysNoPrefix) {
  AddTool(1, {10, 10, 110, 40}, "3&D View\tF7");
  AddTool(2, {200, 10, 300, 40}, "Save && &Close");
  AddTool(3, {10, 100, 110, 140}, "\tF9");
  const auto shownAt = [&](POINT p) {
    MoveTo(p);
    LayerClock::Advance(500);
    UpdateToolTips();
    std::u16string shown = IsWindowVisible(tip_) ? TipText() : u"";
    MoveTo({150, 200});
    return shown;
  };
  EXPECT_EQ(shownAt({20, 20}), u"3D View");
  EXPECT_EQ(shownAt({250, 20}), u"Save & Close");
  EXPECT_EQ(shownAt({20, 120}), u"") << "nothing before the TAB: no tip";
  char buffer[80] = {};
  TOOLINFOA info;
  info.cbSize = kToolInfoSize;
  info.hwnd = host_;
  info.uId = 1;
  info.lpszText = buffer;
  SendMessageA(tip_, TTM_GETTEXTA, 80, reinterpret_cast<LPARAM>(&info));
  EXPECT_STREQ(buffer, "3&D View\tF7") << "the tool keeps its text";

  DestroyWindow(tip_);
  tip_ =
      CreateWindowExA(0, kToolTipClass, nullptr, TTS_NOPREFIX, 0, 0, 0, 0, host_, nullptr, nullptr, nullptr);
  AddTool(1, {10, 10, 110, 40}, "3&D View\tF7");
  EXPECT_EQ(shownAt({20, 20}), u"3&D View\tF7");
}

TEST_F(ToolTips, DelaysAutoPopAndRecordSizes) {
  SendMessageA(tip_, TTM_SETDELAYTIME, TTDT_INITIAL, 100);
  MoveTo({20, 20});
  LayerClock::Advance(100);
  UpdateToolTips();
  ASSERT_TRUE(IsWindowVisible(tip_));
  LayerClock::Advance(kToolTipAutoPop);
  UpdateToolTips();
  EXPECT_FALSE(IsWindowVisible(tip_));

  EXPECT_EQ(AddTool(3, {0, 0, 5, 5}, "x", 48), 1);
  EXPECT_EQ(AddTool(4, {0, 0, 5, 5}, "x", 12), 0);
  EXPECT_EQ(SendMessageA(tip_, TTM_GETTOOLCOUNT, 0, 0), 2);
  char16_t text[] = u"\u00c4nderung";
  TOOLINFOW wide;
  wide.cbSize = kToolInfoSize;
  wide.hwnd = host_;
  wide.uId = 1;
  wide.rect = {10, 10, 110, 40};
  wide.lpszText = text;
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&wide));  // replaces tool 1
  EXPECT_EQ(SendMessageA(tip_, TTM_GETTOOLCOUNT, 0, 0), 2);
  MoveTo({150, 30});  // away and back: after it popped down the tip shows only for a new visit
  MoveTo({30, 30});
  LayerClock::Advance(100);
  UpdateToolTips();
  EXPECT_EQ(TipText(), u"\u00c4nderung");
  // The tools in the order they were added, each with its window, id, rectangle and text.
  char16_t buffer[80] = {};
  TOOLINFOW listed;
  listed.cbSize = kToolInfoSize;
  listed.lpszText = buffer;
  ASSERT_EQ(SendMessageW(tip_, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&listed)), 1);
  EXPECT_EQ(listed.hwnd, host_);
  EXPECT_EQ(listed.uId, 1u);
  EXPECT_EQ(listed.rect.right, 110);
  EXPECT_EQ(std::u16string(buffer), u"\u00c4nderung");
  ASSERT_EQ(SendMessageW(tip_, TTM_ENUMTOOLSW, 1, reinterpret_cast<LPARAM>(&listed)), 1);
  EXPECT_EQ(listed.uId, 3u);
  EXPECT_EQ(SendMessageW(tip_, TTM_ENUMTOOLSW, 2, reinterpret_cast<LPARAM>(&listed)), 0);
  DestroyWindow(tip_);
  UpdateToolTips();  // a destroyed control is forgotten
}

}  // namespace
}  // namespace plat
