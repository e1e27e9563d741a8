#pragma once
// The modal menu loop: a popup menu at a point (TrackPopupMenu) or the menu bar of a top-level window
// (entered with Alt, Alt+mnemonic or a click on the bar). While it runs it takes the input from the
// queue itself and dispatches everything else, so windows keep painting; in the headless driver it
// is driven by input queued before it starts or by the idle script.
//
// Order of messages to the owner: WM_INITMENU (the menu being entered), WM_INITMENUPOPUP (each popup
// as it opens: wParam the popup, lParam its position in its parent, high word 1 for the system menu),
// then, after the loop, the chosen item as a posted WM_COMMAND (low word the id, high word 0), or
// WM_SYSCOMMAND for an item of the system menu.

#include "platform/Menu.h"

namespace plat {

// Shows `menu` with its top-left corner at (x, y) (screen pixels) and runs the loop. With
// TPM_RETURNCMD the chosen id is answered and nothing is posted; otherwise the answer is non-zero when
// an item was chosen. 0 when cancelled (Esc, a click elsewhere) or when the menu is not valid.
int32_t TrackPopupMenu(HMENU menu, UINT flags, int32_t x, int32_t y, int32_t reserved, HWND owner,
                       const RECT* unused);

// Runs the loop on the menu bar of `frame`, starting on bar item `item` (0 when negative), with its
// popup open when `openPopup`; `byMouse` when a click on the bar opened it (no item highlighted,
// Escape leaves the bar). Answers the chosen id, 0 when cancelled.
int32_t TrackMenuBar(HWND frame, int32_t item, bool openPopup, bool byMouse = false);

// The default handling of the menu keys and of clicks on the menu bar, for DefWindowProc: Alt pressed
// and released alone enters the bar, Alt+letter opens the bar item with that mnemonic, a left press on
// the bar opens that item. Answers true when it took the message.
bool MenuDefaultHandling(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A mouse button pressed while Alt is held (an Alt+drag): the Alt's release then opens no menu.
void ForgetAltAlone();

constexpr WPARAM SC_KEYMENU = 0xF100;
constexpr WPARAM SC_MOUSEMENU = 0xF090;

}  // namespace plat
