#pragma once
// How menus look: the menu bar in a top-level window's non-client area (below the caption, 19
// pixels high) and the item layout of popup menus. Sizes are pixels; texts are drawn in the menu
// font ("MS Sans Serif", 11 pixels) without antialiasing decisions of their own.

#include <string>
#include <vector>

#include "platform/Menu.h"

namespace plat {

constexpr int32_t kMenuBarRowHeight = 19;
constexpr int32_t kMenuItemHeight = 19;
constexpr int32_t kMenuSeparatorHeight = 8;
constexpr int32_t kPopupBorder = 3;

// The text without its "&" marks ("&&" stays one "&"); the mnemonic, lower-cased, goes to `mnemonic`
// (0 when none).
std::u16string StripMnemonic(const std::u16string& text, char16_t* mnemonic = nullptr);
// The position of the first item of `menu` whose mnemonic is `key` (any case), or -1.
int32_t FindMnemonic(HMENU menu, char16_t key);

// Screen rectangles of the bar's items, in item order; empty when the window has no menu bar.
std::vector<RECT> MenuBarItemRects(HWND frame);
// The bar item at a screen point, or -1.
int32_t MenuBarItemAt(HWND frame, POINT screen);
// Paints the bar, item `hot` highlighted (-1 for none).
void PaintMenuBar(HWND frame, int32_t hot);

// Installs the bar as the window manager's non-client part: frames with a menu get a row of
// kMenuBarRowHeight pixels, their class menu from the resources, the bar painted, and their menu
// destroyed with them. The desktop's reset calls it.
void InstallMenuBarPart();

// Popup geometry in the popup's own pixels (border included).
SIZE PopupSize(HMENU menu);
RECT PopupItemRect(HMENU menu, int32_t position);
int32_t PopupItemAt(HMENU menu, POINT local);  // -1 over a border or nothing
void PaintPopup(HDC dc, HMENU menu, int32_t hot);

}  // namespace plat
