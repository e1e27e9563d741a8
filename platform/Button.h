#pragma once
// The "BUTTON" class: push and default push buttons, check boxes (plain, automatic, three-state),
// radio buttons (plain and automatic, grouped by WS_GROUP), group boxes and owner-drawn buttons
// (WM_DRAWITEM to the parent). A click sends WM_COMMAND with BN_CLICKED to the parent.

#include "platform/WindowTypes.h"

namespace plat {

class Button {
 public:
  static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct State;
  static void Click(HWND window);
  static void CheckRadioInGroup(HWND window);
  static void Paint(HWND window, HDC dc, const State& state);
  static void PaintPush(HWND window, HDC dc, const State& state, const RECT& client);
  static void PaintCheck(HWND window, HDC dc, const State& state, const RECT& client, bool radio);
  static void PaintGroup(HWND window, HDC dc, const RECT& client);
  static void PaintOwnerDrawn(HWND window, HDC dc, const State& state, const RECT& client);
  static LRESULT DialogCode(HWND window);
  static void TrackMouse(HWND window, State& state, UINT message, LPARAM lParam);
};

// The button kind of a style (BS_PUSHBUTTON ... BS_OWNERDRAW).
DWORD ButtonKind(HWND window);

}  // namespace plat
