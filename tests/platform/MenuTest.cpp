#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/Menu.h"
#include "platform/MenuBar.h"
#include "platform/MenuResource.h"
#include "platform/MenuTracker.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> gSeen;
std::function<void(UINT, WPARAM)> gOnMessage;

bool IsMenuMessage(UINT m) {
  return m == WM_INITMENU || m == WM_INITMENUPOPUP || m == WM_COMMAND || m == WM_SYSCOMMAND;
}

// A frame procedure that leaves the menu keys and bar clicks to the default window procedure.
LRESULT FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsMenuMessage(message)) gSeen.push_back({message, wParam, lParam});
  if (gOnMessage) gOnMessage(message, wParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

class Menus : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gSeen.clear();
    gOnMessage = nullptr;
    WNDCLASSA wc;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "MenuFrame";
    ASSERT_NE(RegisterClassA(&wc), 0);
    menu_ = LoadMenuA(nullptr, "Main");  // names compare without regard to case
    ASSERT_NE(menu_, nullptr);
    frame_ = CreateWindowExA(0, "MenuFrame", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40, 600, 400,
                             nullptr, menu_, nullptr, nullptr);
    ASSERT_NE(frame_, nullptr);
    SetFocus(frame_);
    HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    HeadlessDriver::Reset();
    DestroyMenu(menu_);
  }

  std::vector<UINT> Kinds() const {
    std::vector<UINT> out;
    for (const Seen& s : gSeen) out.push_back(s.message);
    return out;
  }

  POINT Centre(RECT r) const { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

  HMENU menu_ = nullptr;
  HWND frame_ = nullptr;
};

TEST_F(Menus, ResourceMenuHasItsItemsTextsAndSubmenus) {
  EXPECT_EQ(GetMenuItemCount(menu_), 4);
  HMENU file = GetSubMenu(menu_, 0);
  EXPECT_EQ(GetMenuItemCount(file), 9);
  EXPECT_EQ(GetMenuItemID(file, 2), 14u);
  EXPECT_EQ(GetMenuItemID(menu_, 0), 0xFFFFFFFFu);  // a submenu item has no command
  char text[64];
  EXPECT_EQ(GetMenuStringA(menu_, 14, text, sizeof text, MF_BYCOMMAND), 12);
  EXPECT_STREQ(text, "&Save\tCtrl+S");
  EXPECT_EQ(GetMenuStringA(menu_, 14, text, 4, MF_BYCOMMAND), 3);  // cut to the buffer
  EXPECT_STREQ(text, "&Sa");
  EXPECT_EQ(GetMenuState(file, 4, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(GetMenuState(menu_, 0, MF_BYPOSITION), (9u << 8) | MF_POPUP);
  EXPECT_EQ(GetMenuState(menu_, 9999, MF_BYCOMMAND), 0xFFFFFFFFu);
}

TEST_F(Menus, StatesChangeByCommandThroughSubmenusAndAnswerThePreviousState) {
  EXPECT_EQ(EnableMenuItem(menu_, 31, MF_GRAYED), 0);
  EXPECT_EQ(EnableMenuItem(menu_, 31, MF_ENABLED), static_cast<int32_t>(MF_GRAYED));
  EXPECT_EQ(CheckMenuItem(menu_, 3005, MF_CHECKED), 0);
  EXPECT_EQ(GetMenuState(menu_, 3005, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(CheckMenuItem(menu_, 3005, MF_UNCHECKED), static_cast<int32_t>(MF_CHECKED));
  EXPECT_EQ(EnableMenuItem(menu_, 4242, MF_GRAYED), -1);
  EXPECT_EQ(CheckMenuItem(menu_, 4242, MF_CHECKED), -1);
}

TEST_F(Menus, ItemRecordsOfBothOldSizesReadAndWriteByPosition) {
  HMENU file = GetSubMenu(menu_, 0);
  for (UINT size : {kMenuItemInfoSizeOld, kMenuItemInfoSizeNew}) {
    char16_t buffer[256];
    MENUITEMINFOW info;
    info.cbSize = size;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_DATA;
    info.dwTypeData = buffer;
    info.cch = 256;
    ASSERT_TRUE(GetMenuItemInfoW(file, 1, 1, &info));
    EXPECT_EQ(info.wID, 12u);
    EXPECT_EQ(info.hSubMenu, nullptr);
    EXPECT_EQ(std::u16string(buffer), u"&Open\tCtrl+O");
    EXPECT_EQ(info.cch, 12u);
  }
  MENUITEMINFOA set;
  set.cbSize = kMenuItemInfoSizeOld;
  set.fMask = MIIM_TYPE;
  char text[] =
      "\xd6"
      "ffnen";  // Windows-1252 O with diaeresis
  set.dwTypeData = text;
  ASSERT_TRUE(SetMenuItemInfoA(file, 1, 1, &set));
  char16_t wide[16];
  GetMenuStringW(file, 12, wide, 16, MF_BYCOMMAND);
  EXPECT_EQ(std::u16string(wide), u"\u00d6ffnen");

  MENUITEMINFOA wrong;
  wrong.cbSize = 40;
  wrong.fMask = MIIM_ID;
  EXPECT_FALSE(GetMenuItemInfoA(file, 1, 1, &wrong));
  MENUITEMINFOA past;
  past.cbSize = kMenuItemInfoSizeNew;
  past.fMask = MIIM_ID;
  EXPECT_FALSE(GetMenuItemInfoA(file, 99, 1, &past));
}

TEST_F(Menus, InsertRemoveAndDeleteKeepTheRestInOrder) {
  HMENU help = GetSubMenu(menu_, 3);
  ASSERT_TRUE(InsertMenuA(help, 1, MF_BYPOSITION | MF_STRING, 900, "Web"));
  ASSERT_TRUE(InsertMenuA(menu_, 1, MF_BYCOMMAND | MF_STRING, 901, "Before About"));  // found in Help
  EXPECT_EQ(GetMenuItemID(help, 1), 900u);
  EXPECT_EQ(GetMenuItemID(help, 3), 901u);
  EXPECT_EQ(GetMenuItemID(help, 4), 1u);
  EXPECT_TRUE(DeleteMenu(menu_, 2, MF_BYCOMMAND));
  EXPECT_TRUE(RemoveMenu(help, 0, MF_BYPOSITION));
  EXPECT_FALSE(DeleteMenu(menu_, 2, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemCount(help), 4);
  EXPECT_TRUE(AppendMenuW(help, MF_STRING | MF_GRAYED, 902, u"Last"));
  EXPECT_EQ(GetMenuState(help, 902, MF_BYCOMMAND), MF_GRAYED);

  HMENU stale = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuA(menu_, MF_POPUP, reinterpret_cast<uintptr_t>(stale), "Extra"));
  EXPECT_TRUE(DeleteMenu(menu_, 4, MF_BYPOSITION));  // destroys the submenu
  EXPECT_FALSE(IsMenu(stale));
  EXPECT_EQ(GetMenuItemCount(stale), -1);
  EXPECT_FALSE(AppendMenuA(menu_, MF_POPUP, reinterpret_cast<uintptr_t>(stale), "Gone"));
}

TEST_F(Menus, MalformedResourceBytesGiveNoMenu) {
  const uint8_t good[] = {0x80, 0, 11, 0, 'N', 0};
  HMENU ok = ParseMenuResource(good);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(GetMenuItemID(ok, 0), 11u);
  DestroyMenu(ok);
  const uint8_t noEnd[] = {0x00, 0, 11, 0, 'N', 0};
  const uint8_t cutText[] = {0x80, 0, 11, 0, 'N'};
  const uint8_t cutId[] = {0x80, 0, 11};
  const uint8_t emptySubmenu[] = {0x90, 0, 'F', 0};
  EXPECT_EQ(ParseMenuResource(noEnd), nullptr);
  EXPECT_EQ(ParseMenuResource(cutText), nullptr);
  EXPECT_EQ(ParseMenuResource(cutId), nullptr);
  EXPECT_EQ(ParseMenuResource(emptySubmenu), nullptr);
  EXPECT_EQ(ParseMenuResource({}), nullptr);
  EXPECT_EQ(LoadMenuA(nullptr, "NoSuchMenu"), nullptr);
}

TEST_F(Menus, AClassMenuComesWithEachFrameAndGoesWithIt) {
  WNDCLASSA wc;
  wc.lpfnWndProc = FrameProc;
  wc.lpszClassName = "FrameWithClassMenu";
  wc.lpszMenuName = "MAIN";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND frame = CreateWindowExA(0, "FrameWithClassMenu", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                               nullptr, nullptr, nullptr);
  HMENU menu = GetMenu(frame);
  ASSERT_NE(menu, nullptr);
  EXPECT_NE(menu, menu_);  // a menu of its own
  EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 0), 2), 14u);
  HMENU file = GetSubMenu(menu, 0);
  DestroyWindow(frame);
  EXPECT_FALSE(IsMenu(menu));
  EXPECT_FALSE(IsMenu(file));
  HWND child =
      CreateWindowExA(0, "FrameWithClassMenu", "", WS_CHILD, 0, 0, 10, 10, frame_, nullptr, nullptr, nullptr);
  EXPECT_EQ(GetMenu(child), nullptr);  // children carry ids, not menus
}

TEST_F(Menus, TheBarTakesNineteenPixelsAndIsPainted) {
  RECT with, without;
  GetClientRect(frame_, &with);
  SetMenu(frame_, nullptr);
  GetClientRect(frame_, &without);
  EXPECT_EQ(without.bottom - with.bottom, kMenuBarRowHeight);
  SetMenu(frame_, menu_);
  ASSERT_TRUE(DrawMenuBar(frame_));
  std::vector<RECT> items = MenuBarItemRects(frame_);
  ASSERT_EQ(items.size(), 4u);
  POINT client{0, 0};
  ClientToScreen(frame_, &client);
  EXPECT_EQ(items[0].bottom, client.y);
  EXPECT_LT(items[0].right, items[1].left + 1);
  Surface* pixels = GetWindowSurface(frame_);
  RECT frameRect;
  GetWindowRect(frame_, &frameRect);
  EXPECT_EQ(pixels->Pixel(items[3].right + 5 - frameRect.left, items[3].top + 2 - frameRect.top), 0xC0C0C0u);
}

// A frame made at the default size and maximised before anything drew into it has its pixels made
// once, at the size it shows, with the bar on them; maximising keeps the default place to restore to.
TEST_F(Menus, AFrameMaximisedBeforeItsFirstPaintGetsItsPixelsAtTheSizeItShows) {
  const RECT work{0, 0, 1280, 1000};
  Desktop::SetWorkArea(&work);
  HWND big = CreateWindowExA(0, "MenuFrame", "big", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                             nullptr, menu_, nullptr, nullptr);
  ASSERT_NE(big, nullptr);
  ShowWindow(big, SW_SHOWMAXIMIZED);
  Surface* pixels = GetWindowSurface(big);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(pixels->Width(), 1280);
  EXPECT_EQ(pixels->Height(), 1000);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(GetWindowSurface(big), pixels);
  const std::vector<RECT> items = MenuBarItemRects(big);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(pixels->Pixel(items[3].right + 5, items[3].top + 2), 0xC0C0C0u) << "the bar is on the pixels";
  const RECT restored = WindowManager::Instance().Find(big)->restored;
  EXPECT_EQ(restored.right - restored.left, 960);
  EXPECT_EQ(restored.left, 160);
  Desktop::SetWorkArea(nullptr);
}

TEST_F(Menus, TheBarIsPaintedAgainOnlyWhenWhatItShowsChanged) {
  ASSERT_TRUE(DrawMenuBar(frame_));
  const std::vector<RECT> items = MenuBarItemRects(frame_);
  ASSERT_EQ(items.size(), 4u);
  RECT frameRect;
  GetWindowRect(frame_, &frameRect);
  Surface* pixels = GetWindowSurface(frame_);
  const int32_t x = items[3].right + 5 - frameRect.left, y = items[3].top + 2 - frameRect.top;
  // A mark in the bar shows whether the next paint put the face back.
  pixels->SetPixel(x, y, 0x123456);
  ASSERT_TRUE(DrawMenuBar(frame_));
  EXPECT_EQ(pixels->Pixel(x, y), 0x123456u) << "the same bar again: nothing to paint";
  EnableMenuItem(menu_, 1, MF_BYPOSITION | MF_GRAYED);
  ASSERT_TRUE(DrawMenuBar(frame_));
  EXPECT_EQ(pixels->Pixel(x, y), 0xC0C0C0u) << "a greyed item is painted";
  // Without the bar the client may paint where it was: setting the menu again paints it all.
  SetMenu(frame_, nullptr);
  pixels->SetPixel(x, y, 0x123456);
  SetMenu(frame_, menu_);
  EXPECT_EQ(pixels->Pixel(x, y), 0xC0C0C0u);
  pixels->SetPixel(x, y, 0x123456);
  SetWindowPos(frame_, nullptr, 0, 0, 700, 400, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(pixels->Pixel(x, y), 0xC0C0C0u) << "a wider bar is painted";
}

// A frame made at no size (placed later) has no bar to show; once it has a width its bar is the same
// as that of a frame made at that size.
TEST_F(Menus, AFrameMadeWithoutASizeGetsItsBarOnceItHasOne) {
  HMENU sizedMenu = LoadMenuA(nullptr, "Main"), unsizedMenu = LoadMenuA(nullptr, "Main");
  HWND sized = CreateWindowExA(0, "MenuFrame", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 300, nullptr, sizedMenu,
                               nullptr, nullptr);
  HWND unsized = CreateWindowExA(0, "MenuFrame", "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                                 nullptr, unsizedMenu, nullptr, nullptr);
  ASSERT_NE(sized, nullptr);
  ASSERT_NE(unsized, nullptr);
  SetWindowPos(unsized, nullptr, 0, 0, 600, 300, SWP_NOZORDER);
  const Surface* want = GetWindowSurface(sized);
  const Surface* got = GetWindowSurface(unsized);
  ASSERT_EQ(got->Width(), want->Width());
  const std::vector<RECT> items = MenuBarItemRects(sized);
  ASSERT_FALSE(items.empty());
  // The bar lies over the client's width (the frame's border beside it is not painted by the bar).
  POINT client{0, 0};
  ClientToScreen(sized, &client);
  RECT clientRect;
  GetClientRect(sized, &clientRect);
  size_t differing = 0, inked = 0;
  for (int32_t y = items[0].top; y < items[0].bottom; ++y) {
    for (int32_t x = client.x; x < client.x + clientRect.right; ++x) {
      differing += got->Pixel(x, y) != want->Pixel(x, y);
      inked += want->Pixel(x, y) != 0xC0C0C0u;
    }
  }
  EXPECT_EQ(differing, 0u);
  EXPECT_GT(inked, 0u) << "the bar's texts are drawn";
  DestroyWindow(sized);
  DestroyWindow(unsized);
}

TEST_F(Menus, ChoosingSaveFromTheKeyboardSendsInitMessagesThenTheCommand) {
  Desktop::Key(VK_MENU, true);
  Desktop::Key(VK_MENU, false);
  for (int i = 0; i < 3; ++i) {
    Desktop::Key(VK_DOWN, true, true);  // New (opening), Open, Save
    Desktop::Key(VK_DOWN, false, true);
  }
  Desktop::Key(VK_RETURN, true);
  HeadlessDriver::RunUntilIdle();
  ASSERT_EQ(Kinds(), (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP, WM_COMMAND}));
  EXPECT_EQ(gSeen[0].wParam, reinterpret_cast<WPARAM>(menu_));
  EXPECT_EQ(gSeen[1].wParam, reinterpret_cast<WPARAM>(GetSubMenu(menu_, 0)));
  EXPECT_EQ(gSeen[2].wParam, MAKEWPARAM(14, 0));
  // The popup is gone and the bar is no longer highlighted.
  EXPECT_EQ(WindowManager::Instance().TopLevels().size(), 1u);
}

TEST_F(Menus, ChoosingSaveWithTheMouseAndMnemonics) {
  std::vector<RECT> bar = MenuBarItemRects(frame_);
  HMENU file = GetSubMenu(menu_, 0);
  RECT save = PopupItemRect(file, 2);
  POINT onSave{bar[0].left + (save.left + save.right) / 2, bar[0].bottom + (save.top + save.bottom) / 2};
  Desktop::Click(Centre(bar[0]));
  Desktop::Click(onSave);
  HeadlessDriver::RunUntilIdle();
  ASSERT_EQ(Kinds(), (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP, WM_COMMAND}));
  EXPECT_EQ(gSeen[2].wParam, MAKEWPARAM(14, 0));

  gSeen.clear();  // Alt+E, then "c": the first item with that mnemonic is "&Cu&t"
  Desktop::Key(VK_MENU, true);
  Desktop::Key('E', true);
  Desktop::Key('E', false);
  Desktop::Key(VK_MENU, false);
  Desktop::Key('C', true);
  HeadlessDriver::RunUntilIdle();
  ASSERT_EQ(Kinds(), (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP, WM_COMMAND}));
  EXPECT_EQ(gSeen[2].wParam, MAKEWPARAM(33, 0));
}

TEST_F(Menus, GreyedItemsAreNotChosenAndEscapeOrAClickElsewhereCancels) {
  // The owner greys Undo while the Edit popup opens, as the framework's menu update does.
  gOnMessage = [&](UINT message, WPARAM) {
    if (message == WM_INITMENUPOPUP) EnableMenuItem(menu_, 31, MF_GRAYED);
  };
  std::vector<RECT> bar = MenuBarItemRects(frame_);
  RECT undo = PopupItemRect(GetSubMenu(menu_, 1), 0);
  Desktop::Click(Centre(bar[1]));
  Desktop::Click({bar[1].left + undo.left + 20, bar[1].bottom + undo.top + 5});
  Desktop::Key(VK_ESCAPE, true);  // a menu opened by a click is left whole, no title stays hot
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Kinds(), (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP}));
  EXPECT_EQ(WindowManager::Instance().TopLevels().size(), 1u);
  EXPECT_EQ(WindowManager::Instance().Find(frame_)->menuBarLook.hot, -1);

  gSeen.clear();
  Desktop::Click(Centre(bar[0]));
  Desktop::Click({400, 300});  // in the client area: the menu closes, nothing is chosen
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Kinds(), (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP}));
  EXPECT_EQ(WindowManager::Instance().TopLevels().size(), 1u);
}

TEST_F(Menus, PopupMenusAnswerTheCommandOrPostItAndWalkIntoSubmenus) {
  HMENU popup = CreatePopupMenu();
  HMENU more = CreatePopupMenu();
  AppendMenuA(more, MF_STRING, 77, "Deep");
  AppendMenuA(popup, MF_STRING, 70, "First");
  AppendMenuA(popup, MF_POPUP, reinterpret_cast<uintptr_t>(more), "&More");
  int step = 0;
  HeadlessDriver::SetIdleScript([&] {  // input arrives only once the loop waits
    if (step++ > 0) return false;
    Desktop::Key('M', true);
    Desktop::Key(VK_RETURN, true);
    return true;
  });
  EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 100, 100, 0, frame_, nullptr), 77);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Kinds(), (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP, WM_INITMENUPOPUP}));
  EXPECT_EQ(gSeen[2].lParam, MAKELPARAM(1, 0));

  gSeen.clear();
  step = 0;
  HeadlessDriver::SetIdleScript([&] {
    if (step++ > 0) return false;
    Desktop::Key(VK_DOWN, true);
    Desktop::Key(VK_RETURN, true);
    return true;
  });
  EXPECT_EQ(TrackPopupMenu(popup, TPM_NONOTIFY, 2000, 2000, 0, frame_, nullptr), 1);  // kept on screen
  HeadlessDriver::RunUntilIdle();
  ASSERT_EQ(Kinds(), (std::vector<UINT>{WM_COMMAND}));
  EXPECT_EQ(gSeen[0].wParam, MAKEWPARAM(70, 0));
  DestroyMenu(popup);
  EXPECT_FALSE(IsMenu(more));
}

TEST_F(Menus, AnExceptionFromTheOwnerLeavesNoPopupBehind) {
  gOnMessage = [&](UINT message, WPARAM) {
    if (message == WM_INITMENUPOPUP) throw int32_t{-50};  // the framework throws bare error numbers
  };
  HMENU popup = GetSubMenu(menu_, 0);
  EXPECT_THROW(TrackPopupMenu(popup, 0, 10, 10, 0, frame_, nullptr), int32_t);
  Desktop::Key(VK_MENU, true);
  Desktop::Key(VK_MENU, false);
  Desktop::Key(VK_DOWN, true);  // the loop runs; opening File throws out of it
  EXPECT_THROW(HeadlessDriver::RunUntilIdle(), int32_t);
  gOnMessage = nullptr;
  EXPECT_EQ(WindowManager::Instance().TopLevels().size(), 1u);
  int calls = 0;  // a static here would stay spent when the test runs again in the same process
  HeadlessDriver::SetIdleScript([&] {
    if (calls++ > 0) return false;
    Desktop::Key(VK_DOWN, true);
    Desktop::Key(VK_RETURN, true);
    return true;
  });
  EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 10, 10, 0, frame_, nullptr), 11);  // menus still work
  EXPECT_EQ(Kinds().back(), static_cast<UINT>(WM_INITMENUPOPUP));
}

TEST_F(Menus, SystemMenuChoicesArriveAsSystemCommands) {
  HMENU system = GetSystemMenu(frame_, 0);
  EXPECT_EQ(GetSystemMenu(frame_, 0), system);
  EXPECT_EQ(EnableMenuItem(system, SC_CLOSE, MF_GRAYED), 0);
  EXPECT_EQ(GetMenuState(system, SC_CLOSE, MF_BYCOMMAND), MF_GRAYED);
  EnableMenuItem(system, SC_CLOSE, MF_ENABLED);
  // Alt+Space opens it; "n" chooses "Mi&nimize".
  Desktop::Key(VK_MENU, true);
  Desktop::Key(VK_SPACE, true);
  Desktop::Key(VK_SPACE, false);
  Desktop::Key(VK_MENU, false);
  Desktop::Key('N', true);
  HeadlessDriver::RunUntilIdle();
  ASSERT_EQ(Kinds(), (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP, WM_SYSCOMMAND}));
  EXPECT_EQ(gSeen[1].lParam, MAKELPARAM(0, 1));  // high word 1: the system menu
  EXPECT_EQ(gSeen[2].wParam, SC_MINIMIZE);
  EXPECT_EQ(SystemMenuOwner(system), frame_);
  EXPECT_EQ(SystemMenuOwner(menu_), nullptr);

  // An item of the program's own menus whose id lies in the system commands' range (a negative
  // command kept in 16 bits) is an ordinary command.
  gSeen.clear();
  AppendMenuA(GetSubMenu(menu_, 0), MF_STRING, 0xFFEE, "&Mail order");
  Desktop::Key(VK_MENU, true);
  Desktop::Key('F', true);
  Desktop::Key('F', false);
  Desktop::Key(VK_MENU, false);
  Desktop::Key('M', true);
  HeadlessDriver::RunUntilIdle();
  ASSERT_EQ(Kinds(), (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP, WM_COMMAND}));
  EXPECT_EQ(gSeen[2].wParam, MAKEWPARAM(0xFFEE, 0));
}

}  // namespace
}  // namespace plat
