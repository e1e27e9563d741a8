#include "platform/MenuTracker.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/MenuBar.h"
#include "platform/ResetList.h"
#include "platform/ScreenMetrics.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

constexpr const char* kPopupClass = "#32768";
constexpr const char* kLoopProperty = "menuLoop";
constexpr UINT kFirstSystemCommand = 0xF000;

class MenuLoop;
// User-interface thread. A reset never runs inside a menu loop, so only the Alt state goes back.
MenuLoop* gRunning = nullptr;  // menu loops do not nest
bool gAltAlone = false;        // Alt went down and no other key since
[[maybe_unused]] const bool kReset = ResetList::Add("menu tracking: Alt state", [] { gAltAlone = false; });

LRESULT PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void RegisterPopupClass() {
  if (WindowManager::Instance().FindClass(kPopupClass)) return;
  WNDCLASSA info;
  info.lpfnWndProc = PopupProc;
  info.lpszClassName = kPopupClass;
  RegisterClassA(&info);
}

bool Selectable(const MenuItem& item) { return item.type != MFT_SEPARATOR; }
bool Enabled(const MenuItem& item) { return !(item.state & (MF_GRAYED | MF_DISABLED)); }

class MenuLoop {
 public:
  MenuLoop(HWND owner, HMENU bar, UINT flags, bool byMouse = false)
      : owner_(owner), bar_(bar), flags_(flags), byMouse_(byMouse) {}
  // Also when a window procedure's exception leaves the loop: no popup stays, and menus open again.
  ~MenuLoop() {
    CloseTo(0);
    if (gRunning == this) gRunning = nullptr;
  }
  MenuLoop(const MenuLoop&) = delete;
  MenuLoop& operator=(const MenuLoop&) = delete;

  // Runs until an item is chosen or the menu is cancelled; answers the chosen id or 0.
  int32_t Run() {
    gRunning = this;
    while (!done_) {
      MSG msg;
      if (!GetMessageW(&msg, nullptr, 0, 0)) {
        PostQuitMessage(static_cast<int32_t>(msg.wParam));  // the outer loop must still see it
        break;
      }
      if (Take(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (msg.message == WM_PAINT && IsWindow(msg.hwnd)) ValidateRect(msg.hwnd, nullptr);
      if (!IsWindow(owner_)) done_ = true;
    }
    CloseTo(0);
    if (bar_ && IsWindow(owner_)) PaintMenuBar(owner_, -1);
    gRunning = nullptr;
    if (!chosen_ || !IsWindow(owner_)) return 0;
    if (flags_ & TPM_RETURNCMD) return static_cast<int32_t>(chosenId_);
    // Only the system menu's items are system commands: an application's own item may carry a large
    // id too (a negative command kept in 16 bits, 0xFFEE for -18).
    UINT message = chosenFromSystemMenu_ && chosenId_ >= kFirstSystemCommand ? WM_SYSCOMMAND : WM_COMMAND;
    PostMessageW(owner_, message, message == WM_COMMAND ? MAKEWPARAM(chosenId_, 0) : chosenId_, 0);
    return bar_ ? static_cast<int32_t>(chosenId_) : 1;
  }

  void Enter(HMENU menu) {
    if (!(flags_ & TPM_NONOTIFY)) SendMessageW(owner_, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  }

  void OpenPopupAt(HMENU menu, POINT at, int32_t position) {
    if (!(flags_ & TPM_NONOTIFY)) {
      int32_t isSystem = SystemMenuOwner(menu) ? 1 : 0;
      SendMessageW(owner_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(position, isSystem));
    }
    if (!IsWindow(owner_) || !LiveMenu(menu)) {
      done_ = true;
      return;
    }
    RegisterPopupClass();
    SIZE size = PopupSize(menu);
    at.x = std::max(0, std::min(at.x, GetSystemMetrics(SM_CXSCREEN) - size.cx));
    at.y = std::max(0, std::min(at.y, GetSystemMetrics(SM_CYSCREEN) - size.cy));
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kPopupClass, nullptr, WS_POPUP, at.x,
                                  at.y, size.cx, size.cy, owner_, nullptr, nullptr, nullptr);
    if (!window) {
      done_ = true;
      return;
    }
    SetPropA(window, kLoopProperty, this);
    SetWindowLongPtrA(window, GWLP_USERDATA, static_cast<LONG_PTR>(levels_.size()));
    levels_.push_back({menu, window, at, -1});
    ShowWindow(window, SW_SHOWNOACTIVATE);
  }

  // Opens bar item `index`; with `popup` its submenu too, the first item highlighted when `keyboard`.
  void OpenBarItem(int32_t index, bool popup, bool keyboard) {
    MenuObject* bar = LiveMenu(bar_);
    if (!bar || bar->items.empty()) {
      done_ = true;
      return;
    }
    int32_t count = static_cast<int32_t>(bar->items.size());
    index = ((index % count) + count) % count;
    CloseTo(0);
    barHot_ = index;
    PaintMenuBar(owner_, index);
    HMENU sub = bar->items[index].submenu;
    if (!popup || !sub || !Enabled(bar->items[index])) return;
    RECT r = MenuBarItemRects(owner_)[index];
    OpenPopupAt(sub, {r.left, r.bottom}, index);
    if (keyboard && !levels_.empty()) MoveHot(+1);
  }

  void PaintLevel(size_t index, HDC dc) {
    if (index < levels_.size()) PaintPopup(dc, levels_[index].menu, levels_[index].hot);
  }

 private:
  struct Level {
    HMENU menu;
    HWND window;
    POINT origin;  // screen pixels
    int32_t hot;
  };

  // Input belongs to the menu while it is open; everything else is dispatched.
  bool Take(const MSG& msg) {
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        OnKey(static_cast<int32_t>(msg.wParam));
        return true;
      case WM_KEYUP:
      case WM_SYSKEYUP:
        return true;
      case WM_CHAR:
      case WM_SYSCHAR:
        OnChar(static_cast<char16_t>(msg.wParam));
        return true;
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP: {
        POINT screen = WindowManager::Instance().ClientToScreen(
            msg.hwnd, {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)});
        OnMouse(msg.message, screen);
        return true;
      }
      default:
        return false;
    }
  }

  void OnKey(int32_t key) {
    switch (key) {
      case VK_ESCAPE:
        // From the keyboard the bar stays in menu mode when its popup closes; a menu opened with a
        // click is left whole, so that no title stays highlighted and the keys go to the window again.
        if (levels_.size() > 1 || (bar_ && levels_.size() == 1 && !byMouse_)) {
          CloseTo(levels_.size() - 1);
        } else {
          done_ = true;
        }
        return;
      case VK_MENU:
        done_ = true;
        return;
      case VK_UP:
      case VK_DOWN:
        if (!levels_.empty()) {
          MoveHot(key == VK_DOWN ? +1 : -1);
        } else if (bar_ && key == VK_DOWN) {
          OpenBarItem(barHot_, true, true);
        }
        return;
      case VK_LEFT:
        if (levels_.size() > 1) {
          CloseTo(levels_.size() - 1);
        } else if (bar_) {
          OpenBarItem(barHot_ - 1, !levels_.empty(), true);
        }
        return;
      case VK_RIGHT:
        if (!levels_.empty() && HotHasSubmenu()) {
          Activate(levels_.size() - 1, levels_.back().hot, true);
        } else if (bar_) {
          OpenBarItem(barHot_ + 1, !levels_.empty(), true);
        }
        return;
      case VK_RETURN:
        // Enter chooses the highlighted command or opens its submenu; on anything else (nothing
        // highlighted, a greyed item) it closes the menu rather than doing nothing.
        if (!levels_.empty()) {
          if (!Activate(levels_.size() - 1, levels_.back().hot, true)) done_ = true;
        } else if (bar_) {
          EnterOnBar();
        }
        return;
      default:
        if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) OnChar(static_cast<char16_t>(key));
        return;
    }
  }

  void OnChar(char16_t c) {
    if (!levels_.empty()) {
      int32_t position = FindMnemonic(levels_.back().menu, c);
      if (position < 0) return;
      SetHot(levels_.size() - 1, position);
      Activate(levels_.size() - 1, position, true);
    } else if (bar_) {
      int32_t position = FindMnemonic(bar_, c);
      if (position >= 0) OpenBarItem(position, true, true);
    }
  }

  void OnMouse(UINT message, POINT screen) {
    for (size_t i = levels_.size(); i-- > 0;) {
      RECT r;
      GetWindowRect(levels_[i].window, &r);
      if (screen.x < r.left || screen.x >= r.right || screen.y < r.top || screen.y >= r.bottom) continue;
      int32_t position = PopupItemAt(levels_[i].menu, {screen.x - r.left, screen.y - r.top});
      if (position < 0) return;
      if (message == WM_MOUSEMOVE) {
        if (position != levels_[i].hot) {
          CloseTo(i + 1);
          SetHot(i, position);
        }
      } else if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
        CloseTo(i + 1);
        SetHot(i, position);
        if (HotHasSubmenu()) Activate(i, position, false);
      } else if (message == WM_LBUTTONUP || message == WM_RBUTTONUP) {
        if (!HotHasSubmenu()) Activate(i, position, false);
      }
      return;
    }
    int32_t barItem = bar_ ? MenuBarItemAt(owner_, screen) : -1;
    if (barItem >= 0) {
      if (message == WM_MOUSEMOVE && !levels_.empty() && barItem != barHot_)
        OpenBarItem(barItem, true, false);
      if (message == WM_LBUTTONDOWN) {
        if (barItem == barHot_ && !levels_.empty()) {
          done_ = true;
        } else {
          OpenBarItem(barItem, true, false);
        }
      }
      return;
    }
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) done_ = true;
  }

  // Enter on the bar with no popup open: a submenu opens, a command of the bar itself is chosen.
  void EnterOnBar() {
    MenuObject* bar = LiveMenu(bar_);
    MenuItem* item =
        bar && barHot_ < static_cast<int32_t>(bar->items.size()) ? &bar->items[barHot_] : nullptr;
    if (!item || !Enabled(*item)) {
      done_ = true;
    } else if (item->submenu) {
      OpenBarItem(barHot_, true, true);
    } else {
      chosen_ = true;
      chosenId_ = item->id;
      done_ = true;
    }
  }

  bool HotHasSubmenu() {
    if (levels_.empty()) return false;
    MenuItem* item = FindMenuItem(levels_.back().menu, static_cast<UINT>(levels_.back().hot), MF_BYPOSITION);
    return item && item->submenu && Enabled(*item);
  }

  // Chooses a command item, or opens a submenu item (its first item highlighted from the keyboard).
  // False when the item cannot be chosen (none, a separator, greyed or disabled).
  bool Activate(size_t level, int32_t position, bool keyboard) {
    if (position < 0 || level >= levels_.size()) return false;
    MenuItem* item = FindMenuItem(levels_[level].menu, static_cast<UINT>(position), MF_BYPOSITION);
    if (!item || !Selectable(*item) || !Enabled(*item)) return false;
    if (!item->submenu) {
      chosen_ = true;
      chosenId_ = item->id;
      chosenFromSystemMenu_ = SystemMenuOwner(levels_[level].menu) != nullptr;
      done_ = true;
      return true;
    }
    CloseTo(level + 1);
    const Level& parent = levels_[level];
    RECT r = PopupItemRect(parent.menu, position);
    SIZE size = PopupSize(parent.menu);
    OpenPopupAt(item->submenu,
                {parent.origin.x + size.cx - kPopupBorder, parent.origin.y + r.top - kPopupBorder}, position);
    if (keyboard && !levels_.empty()) MoveHot(+1);
    return true;
  }

  // Moves the highlight of the deepest popup to the next item that can be chosen (no separator, not
  // greyed or disabled), wrapping around.
  void MoveHot(int32_t step) {
    Level& top = levels_.back();
    MenuObject* m = LiveMenu(top.menu);
    int32_t count = m ? static_cast<int32_t>(m->items.size()) : 0;
    int32_t at = top.hot;
    for (int32_t tries = 0; tries < count; ++tries) {
      at = at < 0 ? (step > 0 ? 0 : count - 1) : ((at + step) % count + count) % count;
      if (Selectable(m->items[at]) && Enabled(m->items[at])) {
        SetHot(levels_.size() - 1, at);
        return;
      }
    }
  }

  void SetHot(size_t level, int32_t position) {
    levels_[level].hot = position;
    InvalidateRect(levels_[level].window, nullptr, 0);
  }

  void CloseTo(size_t count) {
    while (levels_.size() > count) {
      HWND window = levels_.back().window;
      levels_.pop_back();
      if (IsWindow(window)) {
        RemovePropA(window, kLoopProperty);
        DestroyWindow(window);
      }
    }
  }

  HWND owner_;
  HMENU bar_;
  UINT flags_;
  bool byMouse_;  // the bar was entered by a click on it
  int32_t barHot_ = 0;
  std::vector<Level> levels_;
  bool done_ = false;
  bool chosen_ = false;
  UINT chosenId_ = 0;
  bool chosenFromSystemMenu_ = false;
};

LRESULT PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* loop = static_cast<MenuLoop*>(GetPropA(window, kLoopProperty));
  if (message == WM_PAINT && loop) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    loop->PaintLevel(static_cast<size_t>(GetWindowLongPtrA(window, GWLP_USERDATA)), dc);
    EndPaint(window, &ps);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProcW(window, message, wParam, lParam);
}

// Alt+Space: the system menu of the top-level window, below the left end of its caption.
bool OpenSystemMenu(HWND window) {
  HWND frame = WindowManager::Instance().TopLevelOf(window);
  WindowRecord* w = WindowManager::Instance().Find(frame);
  if (!w || !(w->style & WS_SYSMENU)) return false;
  RECT in = WindowManager::Instance().NonClientInsets(*w);
  int32_t captionBottom = in.top - (w->menu ? kMenuBarRowHeight : 0);
  TrackPopupMenu(GetSystemMenu(frame, 0), 0, w->rect.left + in.left, w->rect.top + captionBottom, 0, frame,
                 nullptr);
  return true;
}

HWND FrameWithMenu(HWND window) {
  HWND frame = WindowManager::Instance().TopLevelOf(window);
  return GetMenu(frame) ? frame : nullptr;
}

}  // namespace

int32_t TrackPopupMenu(HMENU menu, UINT flags, int32_t x, int32_t y, int32_t, HWND owner, const RECT*) {
  if (gRunning || !LiveMenu(menu) || !IsWindow(owner)) return 0;
  MenuLoop loop(owner, nullptr, flags);
  loop.Enter(menu);
  loop.OpenPopupAt(menu, {x, y}, 0);
  return loop.Run();
}

int32_t TrackMenuBar(HWND frame, int32_t item, bool openPopup, bool byMouse) {
  HMENU bar = GetMenu(frame);
  if (gRunning || !bar) return 0;
  MenuLoop loop(frame, bar, 0, byMouse);
  loop.Enter(bar);
  loop.OpenBarItem(std::max(0, item), openPopup, openPopup && !byMouse);
  return loop.Run();
}

void ForgetAltAlone() { gAltAlone = false; }

bool MenuDefaultHandling(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      gAltAlone = false;
      return false;
    case WM_SYSKEYDOWN:
      gAltAlone = wParam == static_cast<WPARAM>(VK_MENU);
      return false;
    case WM_SYSKEYUP: {
      bool alone = gAltAlone && wParam == static_cast<WPARAM>(VK_MENU);
      gAltAlone = false;
      HWND frame = alone ? FrameWithMenu(window) : nullptr;
      if (!frame) return false;
      TrackMenuBar(frame, 0, false);
      return true;
    }
    case WM_SYSCHAR: {
      if (wParam == static_cast<WPARAM>(VK_SPACE)) return OpenSystemMenu(window);
      HWND frame = FrameWithMenu(window);
      int32_t item = frame ? FindMnemonic(GetMenu(frame), static_cast<char16_t>(wParam)) : -1;
      if (item < 0) return false;
      TrackMenuBar(frame, item, true);
      return true;
    }
    case WM_LBUTTONDOWN: {
      if (GET_Y_LPARAM(lParam) >= 0 || !GetMenu(window)) return false;
      POINT screen =
          WindowManager::Instance().ClientToScreen(window, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      int32_t item = MenuBarItemAt(window, screen);
      if (item < 0) return false;
      TrackMenuBar(window, item, true, true);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace plat
