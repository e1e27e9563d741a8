#pragma once
// What the standard controls share: their colours, bevels, text drawing, fonts, notifications to the
// parent, and the per-window state each control keeps in a window property.

#include <string>
#include <vector>

#include "platform/Gdi.h"
#include "platform/WindowApi.h"

namespace plat {

// Colours of the controls (the classic grey scheme).
constexpr COLORREF kFaceColor = RGB(212, 208, 200);
constexpr COLORREF kLightColor = RGB(255, 255, 255);
constexpr COLORREF kShadowColor = RGB(128, 128, 128);
constexpr COLORREF kDarkShadowColor = RGB(64, 64, 64);
constexpr COLORREF kTextColor = RGB(0, 0, 0);
constexpr COLORREF kGrayTextColor = RGB(128, 128, 128);
constexpr COLORREF kWindowColor = RGB(255, 255, 255);
constexpr COLORREF kSelectionColor = RGB(10, 36, 106);
constexpr COLORREF kSelectionTextColor = RGB(255, 255, 255);

void FillSolid(HDC dc, const RECT& rect, COLORREF color);
void FrameSolid(HDC dc, const RECT& rect, COLORREF color);
// A raised (button) or sunken (field) two-pixel bevel around `rect`; the inside is left alone.
void DrawBevel(HDC dc, const RECT& rect, bool sunken);
void DrawFocusDots(HDC dc, const RECT& rect);

// The control's font: the one given with WM_SETFONT, else the default interface font.
HFONT ControlFont(HWND control);
// Answers WM_SETFONT / WM_GETFONT for a control; true when `message` was one of them.
bool HandleFontMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Draws `text` with the control's font, transparent background, in `color`.
void DrawControlText(HDC dc, HWND control, const std::u16string& text, RECT rect, UINT format,
                     COLORREF color);
// The width and height in pixels of `text` in the control's font.
SIZE MeasureControlText(HWND control, const std::u16string& text);

// The window's text.
std::u16string WindowText(HWND window);

// Sends WM_COMMAND (id, code) with the control to its parent.
void NotifyParent(HWND control, WORD code);

// Answers WM_PAINT: `paint(dc)` draws between BeginPaint and EndPaint.
template <class Paint>
LRESULT PaintControl(HWND control, Paint paint) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(control, &ps);
  paint(dc);
  EndPaint(control, &ps);
  return 0;
}

// Per-window state of a control class: made on WM_NCCREATE, deleted on WM_NCDESTROY, found through a
// window property named after the class.
template <class State>
State* ControlState(HWND control, const char* property) {
  return static_cast<State*>(GetPropA(control, property));
}
template <class State>
State* CreateControlState(HWND control, const char* property) {
  auto* state = new State();
  SetPropA(control, property, state);
  return state;
}
template <class State>
void DeleteControlState(HWND control, const char* property) {
  delete static_cast<State*>(RemovePropA(control, property));
}

}  // namespace plat

namespace plat {
// Small rectangle helpers.
RECT MovedRect(const RECT& rect, int32_t dx, int32_t dy);
bool RectContains(const RECT& rect, POINT point);  // right and bottom exclusive
// Whether the window is of the class `name` (compared without regard to case).
bool HasClass(HWND window, const char* name);

// The children of a window in the order they were made (the order of a dialog's items).
std::vector<HWND> ChildWindows(HWND parent);
}  // namespace plat
