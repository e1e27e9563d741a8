#include "platform/WindowApi.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "platform/AnsiCodePage.h"
#include "platform/Desktop.h"
#include "platform/GdiInternal.h"
#include "platform/HandOverListener.h"
#include "platform/InputState.h"
#include "platform/LayerClock.h"
#include "platform/MenuTracker.h"
#include "platform/MessageQueue.h"
#include "platform/ResetList.h"
#include "platform/ScreenMetrics.h"
#include "platform/ShellLaunchFailure.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

WindowManager& Manager() { return WindowManager::Instance(); }

// The time of the message last taken from the queue (GetMessageTime); user-interface thread.
DWORD gLastMessageTime = 0;
[[maybe_unused]] const bool kReset =
    ResetList::Add("window calls: last message time", [] { gLastMessageTime = 0; });

// System colour indexes a class background may name as (index + 1).
COLORREF SystemColor(uintptr_t index) {
  switch (index) {
    case 1:
      return RGB(58, 110, 165);  // desktop
    case 5:
      return RGB(255, 255, 255);  // window
    case 12:
      return RGB(171, 171, 171);  // MDI client area
    case 15:
      return RGB(212, 208, 200);  // button face
    default:
      return RGB(255, 255, 255);
  }
}

bool FillBackground(HWND window, HDC dc) {
  WindowRecord* w = Manager().Find(window);
  if (!w || !w->windowClass) return false;
  HBRUSH brush = w->windowClass->info.hbrBackground;
  if (!brush) return false;
  RECT client = Manager().ClientRect(*w);
  uintptr_t value = reinterpret_cast<uintptr_t>(brush);
  if (value <= 64) {
    HBRUSH solid = CreateSolidBrush(SystemColor(value - 1));
    FillRect(dc, &client, solid);
    DeleteObject(solid);
  } else {
    FillRect(dc, &client, brush);
  }
  return true;
}

HDC ContextForWindow(HWND window, HRGN clip) {
  Surface* pixels = Manager().SurfaceOf(window);
  if (!pixels) return nullptr;
  return CreateSurfaceDC(*pixels, Manager().ClientOriginInSurface(window), clip);
}

// A context from GetDC stays the window's for as long as it is kept (the 3D pane keeps its own for
// its life): after the window or its top-level moved, resized, showed or hid, it draws at the
// window's new client origin and as far as the window now shows. On the thread that made it only:
// the window records are that thread's.
void FollowWindow(HDC dc, HWND window) {
  struct Place {
    POINT origin{};
    RECT client{};
    int32_t surfaceWidth = 0, surfaceHeight = 0;
    bool shown = false;
    bool operator==(const Place& o) const {
      return origin.x == o.origin.x && origin.y == o.origin.y && client.left == o.client.left &&
             client.top == o.client.top && client.right == o.client.right &&
             client.bottom == o.client.bottom && surfaceWidth == o.surfaceWidth &&
             surfaceHeight == o.surfaceHeight && shown == o.shown;
    }
  };
  auto placeOf = [window] {
    Place p;
    const WindowRecord* w = Manager().Find(window);
    if (!w) return p;
    p.origin = Manager().ClientOriginInSurface(window);
    p.client = Manager().ClientRect(*w);
    const WindowRecord* top = Manager().Find(Manager().TopLevelOf(window));
    if (top && top->surface) p.surfaceWidth = top->surface->Width(), p.surfaceHeight = top->surface->Height();
    p.shown = Manager().IsVisibleOnScreen(window);
    return p;
  };
  SetDCFollower(dc,
                [window, placeOf, last = placeOf(),
                 thread = std::this_thread::get_id()](POINT* origin) mutable -> HRGN {
                  if (std::this_thread::get_id() != thread || !Manager().IsAlive(window)) return nullptr;
                  const Place now = placeOf();
                  if (now == last) return nullptr;
                  last = now;
                  *origin = now.origin;
                  return Manager().VisibleRegion(window);
                });
}

// ScrollDC on a context from GetDC moves the window's pending update area with the pixels it moves:
// a part still waiting for its paint when its pixels move on (a second scroll step before the
// repaint) is painted where those pixels now are, not where they were. On the thread that made the
// context only, as FollowWindow.
void MoveUpdateWithScrolls(HDC dc, HWND window) {
  DeviceContext* context = LiveDc(dc);
  if (!context) return;
  context->SetScrollListener(
      [window, thread = std::this_thread::get_id()](HRGN area, int32_t dx, int32_t dy) {
        if (std::this_thread::get_id() != thread || !Manager().IsAlive(window)) return;
        Manager().ScrollUpdate(window, area, dx, dy);
      });
}

// A window that comes into view is painted whole, with every shown window inside it: while it was
// hidden its children could move or resize without being told to paint.
void InvalidateShownTree(HWND window) {
  Manager().Invalidate(window, nullptr, true);
  WindowRecord* w = Manager().Find(window);
  std::vector<HWND> children = w ? w->children : std::vector<HWND>{};
  for (HWND child : children) {
    WindowRecord* c = Manager().Find(child);
    if (c && (c->style & WS_VISIBLE)) InvalidateShownTree(child);
  }
}

void SetShown(HWND window, bool shown) {
  WindowRecord* w = Manager().Find(window);
  bool was = (w->style & WS_VISIBLE) != 0;
  if (was == shown) return;
  DeliverMessage(window, WM_SHOWWINDOW, shown ? 1 : 0, 0);
  if (!(w = Manager().Find(window))) return;
  if (shown) {
    w->style |= WS_VISIBLE;
    InvalidateShownTree(window);
  } else {
    w->style &= ~WS_VISIBLE;
    if (w->parent) {
      HRGN area = CreateRectRgn(w->rect.left, w->rect.top, w->rect.right, w->rect.bottom);
      Manager().Invalidate(w->parent, area, true);
      DeleteObject(area);
    }
    if (Manager().Focus() && (Manager().Focus() == window || IsChild(window, Manager().Focus())))
      Manager().SetFocus(nullptr);
    // A hidden window keeps no activation: the keys go to the window that takes it over.
    if (!w->parent && Manager().Active() == window) Manager().ActivateNextAfter(w->owner);
  }
}

// Where the platform puts an overlapped window made with CW_USEDEFAULT for its place (x) or its size
// (width): three quarters of the work area each way, centred in it, so that the window, with the
// frame a window manager draws round it, lies on the screen when it is not maximised. A popup or a
// child gets no default (the window table makes it 0).
void DefaultPlacement(DWORD style, int32_t& x, int32_t& y, int32_t& width, int32_t& height) {
  const bool place = x == CW_USEDEFAULT, size = width == CW_USEDEFAULT;
  if ((style & (WS_CHILD | WS_POPUP)) || !(place || size)) return;
  const RECT work = Desktop::WorkArea();
  const int32_t workWidth = work.right - work.left, workHeight = work.bottom - work.top;
  if (size) {
    width = workWidth * 3 / 4;
    height = workHeight * 3 / 4;
  }
  if (place) {
    x = work.left + std::max(0, (workWidth - width) / 2);
    y = work.top + std::max(0, (workHeight - height) / 2);
  }
}

void Maximize(HWND window) {
  WindowRecord* w = Manager().Find(window);
  if (!(w->style & WS_MAXIMIZE)) w->restored = w->rect;
  w->style |= WS_MAXIMIZE;
  w->style &= ~WS_MINIMIZE;
  RECT target;
  if (w->parent) {
    target = Manager().ClientRect(*Manager().Find(w->parent));
    RECT in = Manager().NonClientInsets(*w);
    target = {-in.left, -in.top, target.right + in.right, target.bottom + in.bottom};
  } else {
    target = Desktop::WorkArea();
  }
  Manager().SetWindowRect(window, target);
}

int32_t CopyText(const std::u16string& text, char16_t* buffer, int32_t size) {
  if (!buffer || size <= 0) return 0;
  int32_t n = std::min<int32_t>(static_cast<int32_t>(text.size()), size - 1);
  std::copy(text.begin(), text.begin() + n, buffer);
  buffer[n] = 0;
  return n;
}

}  // namespace

// ---- Classes and windows.

ATOM RegisterClassA(const WNDCLASSA* info) { return info ? Manager().RegisterClass(*info) : 0; }

BOOL UnregisterClassA(const char* name, HINSTANCE) { return Manager().UnregisterClass(name); }

BOOL GetClassInfoA(HINSTANCE, const char* name, WNDCLASSA* info) {
  const WindowClassRecord* c = Manager().FindClass(name);
  if (!c) return 0;
  if (info) *info = c->info;
  return 1;
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int32_t x,
                     int32_t y, int32_t width, int32_t height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param) {
  std::u16string wide = title ? WidenAnsi(title) : std::u16string();
  DefaultPlacement(style, x, y, width, height);
  return Manager().Create(exStyle, className, title ? wide.c_str() : nullptr, style, x, y, width, height,
                          parent, menu, instance, param);
}

HWND CreateWindowExW(DWORD exStyle, const char* className, const char16_t* title, DWORD style, int32_t x,
                     int32_t y, int32_t width, int32_t height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param) {
  DefaultPlacement(style, x, y, width, height);
  return Manager().Create(exStyle, className, title, style, x, y, width, height, parent, menu, instance,
                          param);
}

BOOL DestroyWindow(HWND window) { return Manager().Destroy(window); }
BOOL IsWindow(HWND window) { return Manager().Find(window) != nullptr; }
BOOL IsWindowVisible(HWND window) { return Manager().IsVisibleOnScreen(window); }

BOOL IsWindowEnabled(HWND window) {
  WindowRecord* w = Manager().Find(window);
  return w && !(w->style & WS_DISABLED);
}

BOOL IsChild(HWND parent, HWND window) {
  for (WindowRecord* w = Manager().Find(window); w && w->parent; w = Manager().Find(w->parent)) {
    if (w->parent == parent) return 1;
  }
  return 0;
}

BOOL EnableWindow(HWND window, BOOL enable) {
  WindowRecord* w = Manager().Find(window);
  if (!w) return 0;
  BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
  if (wasDisabled == !enable) return wasDisabled;
  if (enable) {
    w->style &= ~WS_DISABLED;
  } else {
    w->style |= WS_DISABLED;
    if (Manager().Focus() == window) Manager().SetFocus(nullptr);
    if (Manager().Capture() == window) Manager().ReleaseCapture();
  }
  DeliverMessage(window, WM_ENABLE, enable ? 1 : 0, 0);
  return wasDisabled;
}

BOOL ShowWindow(HWND window, int32_t command) {
  WindowRecord* w = Manager().Find(window);
  if (!w) return 0;
  BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
  switch (command) {
    case SW_HIDE:
      SetShown(window, false);
      break;
    case SW_SHOWMAXIMIZED:
      SetShown(window, true);
      if (Manager().Find(window)) Maximize(window);
      if (Manager().Find(window) && !w->parent) Manager().SetActive(window);
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      w->style |= WS_MINIMIZE;
      DeliverMessage(window, WM_SIZE, SIZE_MINIMIZED, 0);
      break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
      w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
      [[fallthrough]];
    default:
      SetShown(window, true);
      if (Manager().Find(window) && !w->parent && command != SW_SHOWNOACTIVATE) Manager().SetActive(window);
      break;
  }
  return wasVisible;
}

BOOL UpdateWindow(HWND window) {
  WindowRecord* w = Manager().Find(window);
  if (!w) return 0;
  if (w->update && Manager().IsVisibleOnScreen(window)) DeliverMessage(window, WM_PAINT, 0, 0);
  return 1;
}

HWND GetParent(HWND window) {
  WindowRecord* w = Manager().Find(window);
  if (!w) return nullptr;
  return w->parent ? w->parent : w->owner;
}

HWND GetWindow(HWND window, UINT relation) {
  WindowRecord* w = Manager().Find(window);
  if (!w) return nullptr;
  if (relation == GW_CHILD) return w->children.empty() ? nullptr : w->children.back();
  if (relation == GW_OWNER) return w->owner;
  const std::vector<HWND>& siblings = w->parent ? Manager().Find(w->parent)->children : Manager().TopLevels();
  auto it = std::find(siblings.begin(), siblings.end(), window);
  switch (relation) {
    case GW_HWNDFIRST:
      return siblings.back();
    case GW_HWNDLAST:
      return siblings.front();
    case GW_HWNDNEXT:
      return it == siblings.begin() ? nullptr : *(it - 1);  // next lower in z-order
    case GW_HWNDPREV:
      return it + 1 == siblings.end() ? nullptr : *(it + 1);
    default:
      return nullptr;
  }
}

HWND GetDesktopWindow() { return nullptr; }

HWND FindWindowA(const char* className, const char* title) {
  const WindowClassRecord* c = className ? Manager().FindClass(className) : nullptr;
  if (className && !c) return nullptr;
  std::u16string wanted = title ? WidenAnsi(title) : std::u16string();
  for (HWND top : Manager().TopLevels()) {
    WindowRecord* w = Manager().Find(top);
    if (c && w->windowClass != c) continue;
    if (title && w->text != wanted) continue;
    return top;
  }
  return nullptr;
}

int32_t GetClassNameA(HWND window, char* buffer, int32_t size) {
  WindowRecord* w = Manager().Find(window);
  if (!w || !buffer || size <= 0) return 0;
  int32_t n = std::min<int32_t>(static_cast<int32_t>(w->windowClass->name.size()), size - 1);
  std::memcpy(buffer, w->windowClass->name.data(), n);
  buffer[n] = 0;
  return n;
}

// ---- Properties and window words.

BOOL SetPropA(HWND window, const char* name, void* value) {
  WindowRecord* w = Manager().Find(window);
  if (!w || !name) return 0;
  w->properties[name] = value;
  return 1;
}

void* GetPropA(HWND window, const char* name) {
  WindowRecord* w = Manager().Find(window);
  if (!w || !name) return nullptr;
  auto it = w->properties.find(name);
  return it == w->properties.end() ? nullptr : it->second;
}

void* RemovePropA(HWND window, const char* name) {
  WindowRecord* w = Manager().Find(window);
  if (!w || !name) return nullptr;
  auto it = w->properties.find(name);
  if (it == w->properties.end()) return nullptr;
  void* value = it->second;
  w->properties.erase(it);
  return value;
}

LONG_PTR GetWindowLongPtrA(HWND window, int32_t index) {
  WindowRecord* w = Manager().Find(window);
  if (!w) return 0;
  switch (index) {
    case GWL_STYLE:
      return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE:
      return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_USERDATA:
      return w->userData;
    case GWLP_ID:
      return reinterpret_cast<LONG_PTR>(w->menu);
    default:
      return 0;
  }
}

LONG_PTR SetWindowLongPtrA(HWND window, int32_t index, LONG_PTR value) {
  WindowRecord* w = Manager().Find(window);
  if (!w) return 0;
  LONG_PTR old = GetWindowLongPtrA(window, index);
  switch (index) {
    case GWL_STYLE:
      w->style = static_cast<DWORD>(value);
      break;
    case GWL_EXSTYLE:
      w->exStyle = static_cast<DWORD>(value);
      break;
    case GWLP_WNDPROC:
      w->proc = reinterpret_cast<WNDPROC>(value);
      break;
    case GWLP_USERDATA:
      w->userData = value;
      break;
    case GWLP_ID:
      w->menu = reinterpret_cast<HMENU>(value);
      break;
    default:
      return 0;
  }
  return old;
}

int32_t GetDlgCtrlID(HWND window) { return static_cast<int32_t>(GetWindowLongPtrA(window, GWLP_ID)); }

// ---- Texts.

BOOL SetWindowTextW(HWND window, const char16_t* text) {
  return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u"")) != 0;
}

BOOL SetWindowTextA(HWND window, const char* text) {
  std::u16string wide = WidenAnsi(text ? text : "");
  return SetWindowTextW(window, wide.c_str());
}

int32_t GetWindowTextW(HWND window, char16_t* buffer, int32_t size) {
  return static_cast<int32_t>(
      SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int32_t GetWindowTextA(HWND window, char* buffer, int32_t size) {
  if (!buffer || size <= 0) return 0;
  std::u16string wide(static_cast<size_t>(size), u'\0');
  int32_t n = GetWindowTextW(window, wide.data(), size);
  std::string narrow = NarrowToAnsi(std::u16string_view(wide.data(), static_cast<size_t>(n)));
  std::memcpy(buffer, narrow.data(), narrow.size());
  buffer[narrow.size()] = 0;
  return static_cast<int32_t>(narrow.size());
}

int32_t GetWindowTextLengthA(HWND window) {
  return static_cast<int32_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
}

// ---- Geometry.

BOOL GetWindowRect(HWND window, RECT* rect) {
  if (!Manager().Find(window) || !rect) return 0;
  *rect = Manager().WindowRectOnScreen(window);
  return 1;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  WindowRecord* w = Manager().Find(window);
  if (!w || !rect) return 0;
  *rect = Manager().ClientRect(*w);
  return 1;
}

BOOL ClientToScreen(HWND window, POINT* point) {
  if (!Manager().Find(window) || !point) return 0;
  *point = Manager().ClientToScreen(window, *point);
  return 1;
}

BOOL ScreenToClient(HWND window, POINT* point) {
  if (!Manager().Find(window) || !point) return 0;
  *point = Manager().ScreenToClient(window, *point);
  return 1;
}

BOOL MoveWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, BOOL) {
  if (!Manager().Find(window)) return 0;
  Manager().SetWindowRect(window, {x, y, x + std::max(0, width), y + std::max(0, height)});
  return 1;
}

BOOL SetWindowPos(HWND window, HWND, int32_t x, int32_t y, int32_t width, int32_t height, UINT flags) {
  WindowRecord* w = Manager().Find(window);
  if (!w) return 0;
  RECT r = w->rect;
  if (!(flags & SWP_NOMOVE)) r = {x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
  if (!(flags & SWP_NOSIZE)) r.right = r.left + std::max(0, width), r.bottom = r.top + std::max(0, height);
  Manager().SetWindowRect(window, r);
  if (!Manager().Find(window)) return 1;
  if (!(flags & SWP_NOZORDER)) Manager().BringToTop(window);
  if (flags & SWP_SHOWWINDOW) SetShown(window, true);
  if (flags & SWP_HIDEWINDOW) SetShown(window, false);
  return 1;
}

BOOL BringWindowToTop(HWND window) {
  if (!Manager().Find(window)) return 0;
  Manager().BringToTop(window);
  return 1;
}

BOOL IsZoomed(HWND window) {
  WindowRecord* w = Manager().Find(window);
  return w && (w->style & WS_MAXIMIZE);
}

BOOL IsIconic(HWND window) {
  WindowRecord* w = Manager().Find(window);
  return w && (w->style & WS_MINIMIZE);
}

HWND WindowFromPoint(POINT screen) { return Manager().HitTest(screen); }

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) {
  if (rect == nullptr) return 0;
  WindowRecord probe;
  probe.style = style;
  const RECT in = Manager().NonClientInsets(probe);
  rect->left -= in.left;
  rect->top -= in.top;
  rect->right += in.right;
  rect->bottom += in.bottom;
  // The menu bar's height is known only for a window that has one; no caller asks with a menu.
  return menu ? 0 : 1;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) {
  if (!Manager().Find(parent)) return nullptr;
  RECT client;
  GetClientRect(parent, &client);
  if (point.x < client.left || point.x >= client.right || point.y < client.top || point.y >= client.bottom)
    return nullptr;
  POINT screen = point;
  ClientToScreen(parent, &screen);
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    if (screen.x >= r.left && screen.x < r.right && screen.y >= r.top && screen.y < r.bottom) return child;
  }
  return parent;
}

// ---- Focus, capture, activation.

HWND SetFocus(HWND window) { return Manager().SetFocus(window); }
HWND GetFocus() { return Manager().Focus(); }
HWND SetCapture(HWND window) { return Manager().SetCapture(window); }

BOOL ReleaseCapture() {
  Manager().ReleaseCapture();
  return 1;
}

HWND GetCapture() { return Manager().Capture(); }
HWND SetActiveWindow(HWND window) { return Manager().SetActive(window); }
HWND GetActiveWindow() { return Manager().Active(); }

BOOL SetForegroundWindow(HWND window) {
  if (!Manager().Find(window)) return 0;
  Manager().SetActive(window);
  return 1;
}

HWND GetForegroundWindow() { return Manager().Active(); }

// ---- Messages.

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DeliverMessage(window, message, wParam, lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Narrow texts travel widened: the procedures of the layer work in UTF-16.
  if (message == WM_SETTEXT && lParam) {
    std::u16string wide = WidenAnsi(reinterpret_cast<const char*>(lParam));
    return DeliverMessage(window, message, wParam, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  if (message == WM_GETTEXT) {
    return GetWindowTextA(window, reinterpret_cast<char*>(lParam), static_cast<int32_t>(wParam));
  }
  return DeliverMessage(window, message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return MessageQueue::Instance().Post(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return PostMessageW(window, message, wParam, lParam);
}

void PostQuitMessage(int32_t code) { MessageQueue::Instance().PostQuit(code); }

BOOL GetMessageW(MSG* msg, HWND window, UINT first, UINT last) {
  for (;;) {
    if (MessageQueue::Instance().Next(*msg, true, window, first, last)) {
      gLastMessageTime = msg->time;
      return msg->message != WM_QUIT;
    }
    Desktop::WaitForWork();
  }
}

BOOL WaitMessage() {
  // Only a message the loop has not looked at yet ends the wait; a pending paint or a posted message
  // it already passed over would otherwise make every waiting loop spin without reading input.
  MessageQueue& queue = MessageQueue::Instance();
  if (!queue.HasNew()) Desktop::WaitForWork();
  queue.MarkSeen();
  return 1;
}

BOOL GetMessageA(MSG* msg, HWND window, UINT first, UINT last) {
  return GetMessageW(msg, window, first, last);
}

BOOL PeekMessageW(MSG* msg, HWND window, UINT first, UINT last, UINT remove) {
  MSG local;
  // A loop that peeks while it works (a print job's abort box) must see the user's newest input too:
  // with nothing queued the backend reads it, without waiting.
  MessageQueue& queue = MessageQueue::Instance();
  const bool take = (remove & PM_REMOVE) != 0;
  if (!queue.Next(local, take, window, first, last) &&
      (!LayerClock::ReadInput(0) || !queue.Next(local, take, window, first, last)))
    return 0;
  if (msg) *msg = local;
  if (remove & PM_REMOVE) gLastMessageTime = local.time;
  return 1;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT first, UINT last, UINT remove) {
  return PeekMessageW(msg, window, first, last, remove);
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return 0;
  int32_t vk = static_cast<int32_t>(msg->wParam);
  bool shift = GetKeyState(VK_SHIFT) < 0;
  bool ctrl = GetKeyState(VK_CONTROL) < 0;
  int32_t ch = -1;
  if (vk >= 'A' && vk <= 'Z') {
    ch = ctrl ? vk - 'A' + 1 : (shift != ((GetKeyState(VK_CAPITAL) & 1) != 0) ? vk : vk + 32);
  } else if (vk >= '0' && vk <= '9' && !ctrl && !shift) {
    // A shifted digit is punctuation that depends on the keyboard layout: the backend's text input
    // gives that character, so the key itself makes none.
    ch = vk;
  } else if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_BACK || vk == VK_TAB || vk == VK_ESCAPE) {
    ch = vk;
  }
  if (ch < 0) return 0;
  UINT charMessage = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  MessageQueue::Instance().Post(msg->hwnd, charMessage, static_cast<WPARAM>(ch), msg->lParam);
  return 1;
}

LRESULT DispatchMessageW(const MSG* msg) {
  if (!msg) return 0;
  // A document the desktop could not open, reported by the thread that reaped its opener.
  if (msg->message == ShellLaunchFailure::kMessage && !msg->hwnd)
    return ShellLaunchFailure::ShowPosted(msg->wParam);
  if (!msg->hwnd) {
    // A thread message has no procedure: it goes where messages for vanished windows go.
    Manager().NotifyDropped(*msg);
    return 0;
  }
  // A hand-over from a second start, posted by the listener thread: it becomes WM_COPYDATA here.
  if (msg->message == HandOverListener::kDeliveryMessage)
    return HandOverListener::DeliverPosted(msg->hwnd, msg->wParam);
  return DeliverMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DispatchMessageA(const MSG* msg) { return DispatchMessageW(msg); }

DWORD GetQueueStatus(UINT flags) {
  MessageQueue::Instance().MarkSeen();
  UINT kinds = MessageQueue::Instance().Status() & flags;
  return (static_cast<DWORD>(kinds) << 16) | kinds;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* w = Manager().Find(window);
  if (!w) return 0;
  if (MenuDefaultHandling(window, message, wParam, lParam)) return 0;  // Alt, Alt+letter, bar clicks
  switch (message) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      (void)cs;
      return 1;
    }
    case WM_ACTIVATE: {
      // The window the user brings to the front takes the keys, unless its focus is already inside it.
      HWND focus = Manager().Focus();
      if (LOWORD(wParam) != WA_INACTIVE && !(w->style & WS_MINIMIZE) &&
          (!focus || Manager().TopLevelOf(focus) != window))
        SetFocus(window);
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          SendMessageW(window, WM_CLOSE, 0, 0);
          break;
        case SC_MINIMIZE:
          ShowWindow(window, SW_MINIMIZE);
          break;
        case SC_MAXIMIZE:
          ShowWindow(window, SW_SHOWMAXIMIZED);
          break;
        case SC_RESTORE:
          ShowWindow(window, SW_RESTORE);
          break;
        default:
          break;
      }
      return 0;
    case WM_ERASEBKGND:
      return FillBackground(window, reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(window, &ps);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_RBUTTONUP: {
      POINT p = Manager().ClientToScreen(window, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(p.x, p.y));
      return 0;
    }
    case WM_CONTEXTMENU:
      if (w->parent) return SendMessageW(w->parent, WM_CONTEXTMENU, wParam, lParam);
      return 0;
    case WM_MOUSEWHEEL:
      // A wheel turn goes to the focus window; one that does not use it passes it to its parent.
      if (w->parent) return SendMessageW(w->parent, WM_MOUSEWHEEL, wParam, lParam);
      return 0;
    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<const char16_t*>(lParam) : u"";
      return 1;
    case WM_GETTEXT:
      return CopyText(w->text, reinterpret_cast<char16_t*>(lParam), static_cast<int32_t>(wParam));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_SETCURSOR:
      if (w->windowClass && w->windowClass->info.hCursor) {
        Desktop::SetCurrentCursor(w->windowClass->info.hCursor);
        return 1;
      }
      return 0;
    default:
      return 0;
  }
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(window, message, wParam, lParam) : 0;
}

// ---- Painting.

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
  if (!Manager().Find(window)) return 0;
  if (!rect) {
    Manager().Invalidate(window, nullptr, erase);
    return 1;
  }
  HRGN area = CreateRectRgnIndirect(rect);
  Manager().Invalidate(window, area, erase);
  DeleteObject(area);
  return 1;
}

BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase) {
  if (!Manager().Find(window)) return 0;
  Manager().Invalidate(window, region, erase);
  return 1;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
  if (!Manager().Find(window)) return 0;
  if (!rect) {
    Manager().Validate(window, nullptr);
    return 1;
  }
  HRGN area = CreateRectRgnIndirect(rect);
  Manager().Validate(window, area);
  DeleteObject(area);
  return 1;
}

int32_t GetUpdateRgn(HWND window, HRGN region, BOOL) {
  WindowRecord* w = Manager().Find(window);
  if (!w || !region) return ERROR;
  if (!w->update) {
    SetRectRgn(region, 0, 0, 0, 0);
    return NULLREGION;
  }
  return CombineRgn(region, w->update, nullptr, RGN_COPY);
}

BOOL GetUpdateRect(HWND window, RECT* rect, BOOL) {
  WindowRecord* w = Manager().Find(window);
  if (!w) return 0;
  RECT box{};
  bool any = w->update && GetRgnBox(w->update, &box) != NULLREGION;
  if (rect) *rect = any ? box : RECT{};
  return any ? 1 : 0;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  WindowRecord* w = Manager().Find(window);
  if (!w || !paint) return nullptr;
  *paint = PAINTSTRUCT{};
  HRGN clip = Manager().VisibleRegion(window);
  bool erase = w->eraseOnPaint;
  if (w->update) {
    GetRgnBox(w->update, &paint->rcPaint);
    CombineRgn(clip, clip, w->update, RGN_AND);
  } else {
    SetRectRgn(clip, 0, 0, 0, 0);
  }
  Manager().Validate(window, nullptr);
  HDC dc = Manager().IsVisibleOnScreen(window) ? ContextForWindow(window, clip) : nullptr;
  DeleteObject(clip);
  paint->hdc = dc;
  if (dc && erase)
    paint->fErase = SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? 0 : 1;
  return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint) {
  if (paint && paint->hdc) ReleaseSurfaceDC(paint->hdc);
  return 1;
}

HDC GetDC(HWND window) {
  if (!window) {
    // The screen: a context that answers device questions; nothing drawn on it is kept.
    static Surface screen(1, 1);
    HDC dc = CreateSurfaceDC(screen, {0, 0}, RECT{0, 0, 1, 1});
    SetDCDisplayDepth(dc, ScreenColorDepth());
    return dc;
  }
  if (!Manager().Find(window)) return nullptr;
  HRGN clip = Manager().VisibleRegion(window);
  HDC dc = ContextForWindow(window, clip);
  DeleteObject(clip);
  SetDCDisplayDepth(dc, ScreenColorDepth());
  if (dc) {
    FollowWindow(dc, window);
    MoveUpdateWithScrolls(dc, window);
  }
  return dc;
}

int32_t ReleaseDC(HWND, HDC dc) { return dc ? ReleaseSurfaceDC(dc) : 0; }

Surface* GetWindowSurface(HWND window) {
  WindowRecord* w = Manager().Find(window);
  return w && !w->parent ? Manager().SurfaceOf(window) : nullptr;
}

// ---- Keyboard, mouse and time.

int16_t GetKeyState(int32_t virtualKey) {
  // The state as of the input the program has taken: a handler of a Ctrl+key press sees Ctrl down
  // even when the backend has already read its release behind it.
  const MessageQueue::PendingKey pending = MessageQueue::Instance().PendingFor(virtualKey);
  const bool down = pending.changes ? pending.downBefore : InputState::IsDown(virtualKey);
  const bool toggled = InputState::IsToggled(virtualKey) != pending.flipsToggle;
  uint16_t state = 0;
  if (down) state |= 0x8000;
  if (toggled) state |= 0x0001;
  return static_cast<int16_t>(state);
}

int16_t GetAsyncKeyState(int32_t virtualKey) {
  return static_cast<int16_t>(InputState::IsDown(virtualKey) ? 0x8000 : 0);
}

BOOL GetCursorPos(POINT* point) {
  if (!point) return 0;
  *point = InputState::CursorPos();
  return 1;
}

BOOL SetCursorPos(int32_t x, int32_t y) {
  InputState::SetCursorPos({x, y});
  return 1;
}

DWORD GetTickCount() { return LayerClock::Now(); }
DWORD GetMessageTime() { return gLastMessageTime; }

BOOL MessageBeep(UINT type) {
  Desktop::RecordBeep(type);
  return 1;
}

BOOL GetTaskBarRect(RECT* rect) { return Desktop::TaskBar(rect); }

}  // namespace plat
