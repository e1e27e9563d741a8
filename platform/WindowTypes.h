#pragma once
// Types, constants and packing helpers of the windowing interface the program was written against.
// Message numbers, styles and flags are the platform's own values (the program compares and stores
// them), written out here by us.

#include <cstdint>

#include "platform/GdiTypes.h"

namespace plat {

// A window handle is an id that is never reused, dressed as a pointer: a stale handle can be
// tested with IsWindow and never reaches freed memory.
struct WindowHandleTag;
using HWND = WindowHandleTag*;
// A menu handle is, like a window handle, an id that is never reused.
struct MenuHandleTag;
using HMENU = MenuHandleTag*;
struct CursorObject;
using HCURSOR = CursorObject*;
using HICON = CursorObject*;
struct InstanceTag;
using HINSTANCE = InstanceTag*;

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LONG_PTR = intptr_t;
using ATOM = uint16_t;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;  // the layer's clock, milliseconds
  POINT pt;        // cursor position in screen pixels when the message was queued
};

struct WNDCLASSA {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int32_t cbClsExtra = 0;
  int32_t cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  const char* lpszMenuName = nullptr;
  const char* lpszClassName = nullptr;
};

struct CREATESTRUCTA {
  void* lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int32_t cy = 0;
  int32_t cx = 0;
  int32_t y = 0;
  int32_t x = 0;
  DWORD style = 0;
  const char* lpszName = nullptr;
  const char* lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = 0;
  RECT rcPaint;
  BOOL fRestore = 0;
  BOOL fIncUpdate = 0;
  BYTE rgbReserved[32] = {};
};

struct WINDOWPLACEMENT {
  UINT length = sizeof(WINDOWPLACEMENT);
  UINT flags = 0;
  UINT showCmd = 0;
  POINT ptMinPosition;
  POINT ptMaxPosition;
  RECT rcNormalPosition;
};

// WM_COPYDATA's lParam: `cbData` bytes at `lpData`, valid only while the message is being handled
// (the receiver copies what it keeps).
struct COPYDATASTRUCT {
  uintptr_t dwData = 0;
  DWORD cbData = 0;
  const void* lpData = nullptr;
};

// ---- Packing of wParam and lParam.
constexpr WORD LOWORD(uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int32_t lo, int32_t hi) {
  return static_cast<LPARAM>(static_cast<int32_t>((static_cast<uint32_t>(lo) & 0xFFFF) |
                                                  ((static_cast<uint32_t>(hi) & 0xFFFF) << 16)));
}
constexpr WPARAM MAKEWPARAM(int32_t lo, int32_t hi) {
  return static_cast<WPARAM>((static_cast<uint32_t>(lo) & 0xFFFF) |
                             ((static_cast<uint32_t>(hi) & 0xFFFF) << 16));
}
// Coordinates of mouse messages, sign-extended from their 16-bit words.
constexpr int32_t GET_X_LPARAM(LPARAM l) { return static_cast<int16_t>(l & 0xFFFF); }
constexpr int32_t GET_Y_LPARAM(LPARAM l) { return static_cast<int16_t>((l >> 16) & 0xFFFF); }

// ---- Messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_COPYDATA = 0x004A;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENU = 0x0116;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_SIZING = 0x0214;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MDICREATE = 0x0220;
constexpr UINT WM_MDIDESTROY = 0x0221;
constexpr UINT WM_MDIACTIVATE = 0x0222;
constexpr UINT WM_MDIGETACTIVE = 0x0229;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// ---- Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_MDICHILD = 0x00000040;
constexpr int32_t CW_USEDEFAULT = static_cast<int32_t>(0x80000000);

// ---- ShowWindow commands.
constexpr int32_t SW_HIDE = 0;
constexpr int32_t SW_SHOWNORMAL = 1;
constexpr int32_t SW_SHOWMINIMIZED = 2;
constexpr int32_t SW_SHOWMAXIMIZED = 3;
constexpr int32_t SW_MAXIMIZE = 3;
constexpr int32_t SW_SHOWNOACTIVATE = 4;
constexpr int32_t SW_SHOW = 5;
constexpr int32_t SW_MINIMIZE = 6;
constexpr int32_t SW_RESTORE = 9;

// ---- WM_SIZE kinds, WM_SIZING edges, WM_ACTIVATE states.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
constexpr WPARAM WMSZ_LEFT = 1;
constexpr WPARAM WMSZ_RIGHT = 2;
constexpr WPARAM WMSZ_TOP = 3;
constexpr WPARAM WMSZ_TOPLEFT = 4;
constexpr WPARAM WMSZ_TOPRIGHT = 5;
constexpr WPARAM WMSZ_BOTTOM = 6;
constexpr WPARAM WMSZ_BOTTOMLEFT = 7;
constexpr WPARAM WMSZ_BOTTOMRIGHT = 8;
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
constexpr WPARAM WA_CLICKACTIVE = 2;

// ---- System commands (wParam & 0xFFF0 of WM_SYSCOMMAND).
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_NEXTWINDOW = 0xF040;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_RESTORE = 0xF120;

// ---- Key states of mouse messages (wParam).
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// ---- Virtual keys.
constexpr int32_t VK_LBUTTON = 0x01;
constexpr int32_t VK_RBUTTON = 0x02;
constexpr int32_t VK_MBUTTON = 0x04;
constexpr int32_t VK_BACK = 0x08;
constexpr int32_t VK_TAB = 0x09;
constexpr int32_t VK_RETURN = 0x0D;
constexpr int32_t VK_SHIFT = 0x10;
constexpr int32_t VK_CONTROL = 0x11;
constexpr int32_t VK_MENU = 0x12;
constexpr int32_t VK_ESCAPE = 0x1B;
constexpr int32_t VK_SPACE = 0x20;
constexpr int32_t VK_PRIOR = 0x21;
constexpr int32_t VK_NEXT = 0x22;
constexpr int32_t VK_END = 0x23;
constexpr int32_t VK_HOME = 0x24;
constexpr int32_t VK_LEFT = 0x25;
constexpr int32_t VK_UP = 0x26;
constexpr int32_t VK_RIGHT = 0x27;
constexpr int32_t VK_DOWN = 0x28;
constexpr int32_t VK_INSERT = 0x2D;
constexpr int32_t VK_DELETE = 0x2E;
constexpr int32_t VK_F1 = 0x70;
constexpr int32_t VK_F2 = 0x71;
constexpr int32_t VK_F3 = 0x72;
constexpr int32_t VK_F4 = 0x73;
constexpr int32_t VK_F5 = 0x74;
constexpr int32_t VK_F6 = 0x75;
constexpr int32_t VK_F10 = 0x79;
constexpr int32_t VK_CAPITAL = 0x14;
constexpr int32_t VK_ADD = 0x6B;
constexpr int32_t VK_SUBTRACT = 0x6D;

// lParam bit 24 of key messages: the key belongs to the extended block (the navigation keys between
// the letters and the keypad, and the right-hand Ctrl and Alt).
constexpr LPARAM KF_EXTENDED_BIT = LPARAM(1) << 24;

// ---- GetQueueStatus flags.
constexpr UINT QS_KEY = 0x0001;
constexpr UINT QS_MOUSEMOVE = 0x0002;
constexpr UINT QS_MOUSEBUTTON = 0x0004;
constexpr UINT QS_POSTMESSAGE = 0x0008;
constexpr UINT QS_PAINT = 0x0020;
constexpr UINT QS_SENDMESSAGE = 0x0040;
constexpr UINT QS_MOUSE = QS_MOUSEMOVE | QS_MOUSEBUTTON;
constexpr UINT QS_INPUT = QS_MOUSE | QS_KEY;
constexpr UINT QS_ALLINPUT = QS_INPUT | QS_POSTMESSAGE | QS_PAINT | QS_SENDMESSAGE;

// ---- PeekMessage flags.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// ---- Hit-test answers.
constexpr LRESULT HTCLIENT = 1;

// ---- Class styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;

// ---- GetWindow relations and GetWindowLong indexes.
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;
constexpr int32_t GWL_STYLE = -16;
constexpr int32_t GWL_EXSTYLE = -20;
constexpr int32_t GWLP_WNDPROC = -4;
constexpr int32_t GWLP_USERDATA = -21;
constexpr int32_t GWLP_ID = -12;

// ---- RedrawWindow-like flags for InvalidateRect's erase argument are plain BOOLs.

}  // namespace plat
