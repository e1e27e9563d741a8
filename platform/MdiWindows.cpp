#include "platform/MdiWindows.h"

#include <algorithm>

#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

// The client area's colour: the application workspace (system colour 12), as index + 1.
constexpr uintptr_t kWorkspaceBrush = 12 + 1;

WindowManager& Manager() { return WindowManager::Instance(); }

// The client keeps its active document window in its user data.
HWND ActiveChild(HWND client) { return reinterpret_cast<HWND>(GetWindowLongPtrA(client, GWLP_USERDATA)); }

void Activate(HWND client, HWND child) {
  HWND old = ActiveChild(client);
  if (old == child) return;
  if (old && !IsWindow(old)) old = nullptr;
  SetWindowLongPtrA(client, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(child));
  if (old) SendMessageA(old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
  if (child) {
    BringWindowToTop(child);
    SendMessageA(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
  }
}

HWND CreateChild(HWND client, const MDICREATESTRUCTA& mc) {
  DWORD style = mc.style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
  HWND child = CreateWindowExA(WS_EX_MDICHILD, mc.szClass, mc.szTitle, style & ~WS_MAXIMIZE, mc.x, mc.y,
                               mc.cx, mc.cy, client, nullptr, mc.hOwner, const_cast<MDICREATESTRUCTA*>(&mc));
  if (!child) return nullptr;
  if (style & WS_MAXIMIZE) ShowWindow(child, SW_SHOWMAXIMIZED);
  Activate(client, child);
  return child;
}

void NextChild(HWND client) {
  WindowRecord* c = Manager().Find(client);
  if (!c || c->children.size() < 2) return;
  Activate(client, c->children.front());  // the bottom one comes to the top
}

LRESULT ClientProc(HWND client, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MDICREATE:
      return reinterpret_cast<LRESULT>(
          CreateChild(client, *reinterpret_cast<const MDICREATESTRUCTA*>(lParam)));
    case WM_MDIDESTROY: {
      HWND child = reinterpret_cast<HWND>(wParam);
      if (ActiveChild(client) == child) SetWindowLongPtrA(client, GWLP_USERDATA, 0);
      DestroyWindow(child);
      if (WindowRecord* c = Manager().Find(client); c && !c->children.empty())
        Activate(client, c->children.back());
      return 0;
    }
    case WM_MDIACTIVATE:
      Activate(client, reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_MDIGETACTIVE: {
      HWND active = ActiveChild(client);
      return reinterpret_cast<LRESULT>(IsWindow(active) ? active : nullptr);
    }
    case WM_MDINEXT:
      NextChild(client);
      return 0;
    case WM_SETFOCUS: {
      // The client takes the keys only to pass them on: the active document window gets them (the
      // frame hands the client its focus whenever it is activated, after a closed box too).
      HWND active = ActiveChild(client);
      if (IsWindow(active) && !IsIconic(active)) SetFocus(active);
      return 0;
    }
    case WM_SIZE:
      // A maximised document window follows the client's size.
      if (WindowRecord* c = Manager().Find(client)) {
        for (HWND child : std::vector<HWND>(c->children)) {
          if (IsZoomed(child)) ShowWindow(child, SW_SHOWMAXIMIZED);
        }
      }
      return 0;
    default:
      return DefWindowProcA(client, message, wParam, lParam);
  }
}

}  // namespace

void EnsureMdiClientClass() {
  if (Manager().FindClass("MDICLIENT")) return;
  WNDCLASSA wc;
  wc.lpfnWndProc = ClientProc;
  wc.lpszClassName = "MDICLIENT";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(kWorkspaceBrush);
  Manager().RegisterClass(wc);
}

HWND CreateMDIWindowA(const char* className, const char* title, DWORD style, int32_t x, int32_t y,
                      int32_t width, int32_t height, HWND client, HINSTANCE instance, LPARAM param) {
  MDICREATESTRUCTA mc;
  mc.szClass = className;
  mc.szTitle = title;
  mc.hOwner = instance;
  mc.x = x;
  mc.y = y;
  mc.cx = width;
  mc.cy = height;
  mc.style = style;
  mc.lParam = param;
  return reinterpret_cast<HWND>(SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mc)));
}

LRESULT DefFrameProcA(HWND frame, HWND client, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (client && IsWindow(client)) {
        RECT r;
        GetClientRect(frame, &r);
        MoveWindow(client, 0, 0, r.right, r.bottom, 1);
      }
      return 0;
    case WM_SETFOCUS:
      if (client && IsWindow(client)) SetFocus(client);
      return 0;
    case WM_COMMAND:
      // Commands the frame did not handle go on to the active document window.
      if (client && IsWindow(client)) {
        HWND active = ActiveChild(client);
        if (IsWindow(active)) return SendMessageA(active, message, wParam, lParam);
      }
      return 0;
    default:
      return DefWindowProcA(frame, message, wParam, lParam);
  }
}

LRESULT DefMDIChildProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND client = GetParent(window);
  switch (message) {
    case WM_CHILDACTIVATE:
      if (client) Activate(client, window);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
      }
      if ((wParam & 0xFFF0) == SC_NEXTWINDOW) {
        if (client) NextChild(client);
        return 0;
      }
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_CLOSE:
      if (client) SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

BOOL TranslateMDISysAccel(HWND client, MSG* msg) {
  if (!msg || !IsWindow(client) || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return 0;
  if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return 0;
  HWND active = ActiveChild(client);
  if (!IsWindow(active)) return 0;
  if (msg->wParam == static_cast<WPARAM>(VK_F4)) {
    SendMessageA(active, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 1;
  }
  if (msg->wParam == static_cast<WPARAM>(VK_F6)) {
    SendMessageA(active, WM_SYSCOMMAND, SC_NEXTWINDOW, 0);
    return 1;
  }
  return 0;
}

}  // namespace plat
