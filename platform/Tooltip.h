#pragma once
// The tooltip control (class "tooltips_class32"): tools are rectangles of windows with a text; mouse
// messages relayed to the control (TTM_RELAYEVENT) tell it where the pointer rests, and after the
// initial delay on the layer's clock (500 ms unless TTM_SETDELAYTIME says otherwise) it shows the
// tool's text in a small popup below the pointer. A press or release hides it until the pointer moves
// to another tool. The popup's window text is the text shown, so it can be read back; TTM_GETTEXT
// answers the tool's text as it was added.
//
// Without a timer in the layer the delay is checked whenever a message is relayed and whenever
// UpdateToolTips runs; a backend's idle handling calls it.

#include <cstdint>

#include "platform/WindowTypes.h"

namespace plat {

constexpr const char* kToolTipClass = "tooltips_class32";

constexpr UINT TTM_ACTIVATE = WM_USER + 1;
constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
constexpr UINT TTM_ADDTOOLA = WM_USER + 4;
constexpr UINT TTM_DELTOOLA = WM_USER + 5;
constexpr UINT TTM_NEWTOOLRECTA = WM_USER + 6;
constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
constexpr UINT TTM_GETTEXTA = WM_USER + 11;
constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
constexpr UINT TTM_ENUMTOOLSA = WM_USER + 14;
constexpr UINT TTM_POP = WM_USER + 28;
constexpr UINT TTM_UPDATE = WM_USER + 29;
constexpr UINT TTM_ADDTOOLW = WM_USER + 50;
constexpr UINT TTM_DELTOOLW = WM_USER + 51;
constexpr UINT TTM_NEWTOOLRECTW = WM_USER + 52;
constexpr UINT TTM_GETTEXTW = WM_USER + 56;
constexpr UINT TTM_ENUMTOOLSW = WM_USER + 58;

// Control styles. Without TTS_NOPREFIX a tip shows its text as a menu item's: a single "&" is dropped
// (a doubled one shows one) and the text ends at the first TAB, where a menu text names its key.
constexpr DWORD TTS_ALWAYSTIP = 0x01;
constexpr DWORD TTS_NOPREFIX = 0x02;

constexpr UINT TTF_IDISHWND = 0x0001;
constexpr UINT TTF_SUBCLASS = 0x0010;
constexpr WPARAM TTDT_AUTOMATIC = 0;
constexpr WPARAM TTDT_RESHOW = 1;
constexpr WPARAM TTDT_AUTOPOP = 2;
constexpr WPARAM TTDT_INITIAL = 3;

constexpr uint32_t kToolTipInitialDelay = 500;  // milliseconds
constexpr uint32_t kToolTipAutoPop = 5000;      // milliseconds a tip stays up

// The record sizes 32-bit callers put into cbSize (with the lParam field, and one more pointer); the
// records below are wider here, and those sizes, 40 and sizeof are all accepted.
constexpr UINT kToolInfoSize = 44;

template <class Char>
struct ToolInfoOf {
  UINT cbSize = 0;
  UINT uFlags = 0;
  HWND hwnd = nullptr;  // the window whose client coordinates `rect` is in
  uintptr_t uId = 0;    // the tool's id, or with TTF_IDISHWND the tool's own window
  RECT rect;
  HINSTANCE hinst = nullptr;
  Char* lpszText = nullptr;  // the text (add), or a buffer of at least 80 characters (get)
  LPARAM lParam = 0;
};
using TOOLINFOA = ToolInfoOf<char>;
using TOOLINFOW = ToolInfoOf<char16_t>;

// Registers the class when it is not registered (after a fresh desktop, too).
void RegisterToolTipClass();
// Shows or hides the tips of every tooltip control as the clock says.
void UpdateToolTips();

}  // namespace plat
