#pragma once
// Multiple-document windows: the client window class "MDICLIENT" that holds document windows inside
// a frame, their creation, activation and destruction, and the default procedures of the frame and
// of the document windows.

#include "platform/WindowTypes.h"

namespace plat {

struct CLIENTCREATESTRUCT {
  HMENU hWindowMenu = nullptr;
  UINT idFirstChild = 0;
};

struct MDICREATESTRUCTA {
  const char* szClass = nullptr;
  const char* szTitle = nullptr;
  HINSTANCE hOwner = nullptr;
  int32_t x = 0;
  int32_t y = 0;
  int32_t cx = 0;
  int32_t cy = 0;
  DWORD style = 0;
  LPARAM lParam = 0;  // the creation parameter the document window sees
};

constexpr UINT WM_CHILDACTIVATE = 0x0022;
constexpr UINT WM_MDINEXT = 0x0224;
constexpr UINT WM_MDIMAXIMIZE = 0x0225;

// Registers "MDICLIENT" when it is not registered yet (a fresh desktop forgets it).
void EnsureMdiClientClass();

// Creates a document window inside the client; the window's WM_CREATE sees an MDICREATESTRUCTA whose
// lParam is `param` through CREATESTRUCTA::lpCreateParams.
HWND CreateMDIWindowA(const char* className, const char* title, DWORD style, int32_t x, int32_t y,
                      int32_t width, int32_t height, HWND client, HINSTANCE instance, LPARAM param);
LRESULT DefFrameProcA(HWND frame, HWND client, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefMDIChildProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Ctrl+F4 closes and Ctrl+F6 cycles the document windows; true when the message was used.
BOOL TranslateMDISysAccel(HWND client, MSG* msg);

}  // namespace plat
