#pragma once
// The windowing calls the program makes, under the platform's names: classes and windows, properties,
// geometry, focus and capture, the message queue and loop, painting, keyboard and mouse state, and
// the tick count. Narrow ("A") texts are Windows-1252, wide ("W") texts UTF-16.
// Everything here belongs to the user-interface thread, except PostMessage and PostThreadMessage.

#include <string>

#include "platform/Gdi.h"
#include "platform/WindowTypes.h"

namespace plat {

// ---- Classes and windows.
ATOM RegisterClassA(const WNDCLASSA* info);
BOOL UnregisterClassA(const char* name, HINSTANCE instance);
BOOL GetClassInfoA(HINSTANCE instance, const char* name, WNDCLASSA* info);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int32_t x,
                     int32_t y, int32_t width, int32_t height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
HWND CreateWindowExW(DWORD exStyle, const char* className, const char16_t* title, DWORD style, int32_t x,
                     int32_t y, int32_t width, int32_t height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL IsWindowEnabled(HWND window);
BOOL IsChild(HWND parent, HWND window);
BOOL EnableWindow(HWND window, BOOL enable);    // answers whether it was disabled before
BOOL ShowWindow(HWND window, int32_t command);  // answers whether it was visible before
BOOL UpdateWindow(HWND window);
HWND GetParent(HWND window);
HWND GetWindow(HWND window, UINT relation);
HWND GetDesktopWindow();
HWND FindWindowA(const char* className, const char* title);
int32_t GetClassNameA(HWND window, char* buffer, int32_t size);

// ---- Properties and window words.
BOOL SetPropA(HWND window, const char* name, void* value);
void* GetPropA(HWND window, const char* name);
void* RemovePropA(HWND window, const char* name);
LONG_PTR GetWindowLongPtrA(HWND window, int32_t index);
LONG_PTR SetWindowLongPtrA(HWND window, int32_t index, LONG_PTR value);
int32_t GetDlgCtrlID(HWND window);

// ---- Texts.
BOOL SetWindowTextA(HWND window, const char* text);
BOOL SetWindowTextW(HWND window, const char16_t* text);
int32_t GetWindowTextA(HWND window, char* buffer, int32_t size);
int32_t GetWindowTextW(HWND window, char16_t* buffer, int32_t size);
int32_t GetWindowTextLengthA(HWND window);

// ---- Geometry.
BOOL GetWindowRect(HWND window, RECT* rect);  // screen pixels
BOOL GetClientRect(HWND window, RECT* rect);  // (0, 0, width, height)
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
BOOL MoveWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, BOOL repaint);
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
inline HWND const HWND_TOP = nullptr;
BOOL SetWindowPos(HWND window, HWND insertAfter, int32_t x, int32_t y, int32_t width, int32_t height,
                  UINT flags);
BOOL BringWindowToTop(HWND window);
BOOL IsZoomed(HWND window);
BOOL IsIconic(HWND window);
HWND WindowFromPoint(POINT screen);
// Grows the client rectangle `rect` by the frame that `style` adds; with `menu` set the menu bar's
// height is not known here and FALSE is answered after the frame was added.
BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu);
// The topmost child of `parent` containing `point` (parent client pixels), hidden ones included;
// `parent` itself when no child does; null when the point lies outside the parent's client area.
HWND ChildWindowFromPoint(HWND parent, POINT point);

// ---- Focus, capture, activation.
HWND SetFocus(HWND window);
HWND GetFocus();
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();

// ---- Messages.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int32_t code);
// Waits for the next message; 0 for WM_QUIT. An empty queue waits through the desktop's waiter: the
// headless driver runs its idle script there, and fails the test when a loop would wait for ever.
BOOL GetMessageA(MSG* msg, HWND window, UINT first, UINT last);
BOOL GetMessageW(MSG* msg, HWND window, UINT first, UINT last);
BOOL PeekMessageA(MSG* msg, HWND window, UINT first, UINT last, UINT remove);
BOOL PeekMessageW(MSG* msg, HWND window, UINT first, UINT last, UINT remove);
// Returns once the queue holds something (waiting as GetMessage does when it is empty).
BOOL WaitMessage();
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
// High word: the kinds queued (QS_ flags) among `flags`; low word the same (nothing is removed).
DWORD GetQueueStatus(UINT flags);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- Painting.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
// Copies the invalid area (client coordinates) into `region`; answers its kind (NULLREGION ...).
int32_t GetUpdateRgn(HWND window, HRGN region, BOOL erase);
BOOL GetUpdateRect(HWND window, RECT* rect, BOOL erase);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
HDC GetDC(HWND window);  // draws at once into the visible client area
int32_t ReleaseDC(HWND window, HDC dc);
// The pixels of a top-level window (its whole window rectangle), made on first need; null for a child.
Surface* GetWindowSurface(HWND window);

// ---- Keyboard, mouse and time.
int16_t GetKeyState(int32_t virtualKey);  // bit 15: down; bit 0: toggled
int16_t GetAsyncKeyState(int32_t virtualKey);
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int32_t x, int32_t y);
DWORD GetTickCount();
DWORD GetMessageTime();
BOOL MessageBeep(UINT type);

// ---- The task bar (the stand-in for asking the shell where it is): false when there is none.
BOOL GetTaskBarRect(RECT* rect);

}  // namespace plat
