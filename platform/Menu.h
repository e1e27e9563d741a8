#pragma once
// Menus: trees of items (command items, separators and submenus) that a top-level window shows as
// its menu bar, that pop up at a point, and that accelerators look commands up in. The calls carry
// the platform's names, argument orders and flag values. Texts are UTF-16 inside; the "A" calls
// take and give Windows-1252.
//
// Ownership: every menu lives in one table of live menus until DestroyMenu, which also destroys its
// submenus; a handle that is not (or no longer) in the table is refused by every call, so a stale
// handle never reaches freed memory. Handles are ids that are never given twice, so a stale one is
// never taken for a newer menu. A menu given to a window stays the caller's.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/WindowTypes.h"

namespace plat {

// ---- Flags of the item calls (MF_), of item records (MFT_, MFS_, MIIM_) and of popups (TPM_).
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_HILITE = 0x0080;
constexpr UINT MF_END = 0x0080;  // in menu resources: the last item of its level
constexpr UINT MF_SEPARATOR = 0x0800;

constexpr UINT MFT_STRING = 0x0000;
constexpr UINT MFT_SEPARATOR = 0x0800;
constexpr UINT MFS_ENABLED = 0x0000;
constexpr UINT MFS_GRAYED = 0x0003;
constexpr UINT MFS_DISABLED = 0x0003;
constexpr UINT MFS_CHECKED = 0x0008;
constexpr UINT MFS_HILITE = 0x0080;

constexpr UINT MIIM_STATE = 0x0001;
constexpr UINT MIIM_ID = 0x0002;
constexpr UINT MIIM_SUBMENU = 0x0004;
constexpr UINT MIIM_CHECKMARKS = 0x0008;
constexpr UINT MIIM_TYPE = 0x0010;
constexpr UINT MIIM_DATA = 0x0020;
constexpr UINT MIIM_STRING = 0x0040;
constexpr UINT MIIM_FTYPE = 0x0100;

constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

// The record sizes that 32-bit callers put into cbSize: without and with the item bitmap field.
// The records below are wider on this platform; these sizes and sizeof are all accepted.
constexpr UINT kMenuItemInfoSizeOld = 44;
constexpr UINT kMenuItemInfoSizeNew = 48;

template <class Char>
struct MenuItemInfoOf {
  UINT cbSize = 0;
  UINT fMask = 0;
  UINT fType = 0;
  UINT fState = 0;
  UINT wID = 0;
  HMENU hSubMenu = nullptr;
  void* hbmpChecked = nullptr;
  void* hbmpUnchecked = nullptr;
  uintptr_t dwItemData = 0;
  Char* dwTypeData = nullptr;  // text buffer (get) or text (set)
  UINT cch = 0;                // buffer size in characters (get); answered with the text length
  void* hbmpItem = nullptr;    // only with the larger record size
};
using MENUITEMINFOA = MenuItemInfoOf<char>;
using MENUITEMINFOW = MenuItemInfoOf<char16_t>;

// ---- One item and one menu.
struct MenuItem {
  UINT type = MFT_STRING;  // MFT_STRING or MFT_SEPARATOR
  UINT state = 0;          // MFS_ bits: grey/disabled (MF_GRAYED, MF_DISABLED), checked, highlighted
  UINT id = 0;
  HMENU submenu = nullptr;  // owned by the menu holding this item
  std::u16string text;      // "&" marks the mnemonic, a TAB separates the key name
  uintptr_t data = 0;
};

struct MenuObject {
  std::vector<MenuItem> items;
  bool isPopup = false;
};

// ---- Making and destroying.
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);  // with its submenus
BOOL IsMenu(HMENU menu);

// ---- Items. `item` is a command id (MF_BYCOMMAND, searched through submenus depth first) or a
// position (MF_BYPOSITION, this menu only). With MF_POPUP, `idOrSubmenu` is the submenu's handle.
BOOL AppendMenuA(HMENU menu, UINT flags, uintptr_t idOrSubmenu, const char* text);
BOOL AppendMenuW(HMENU menu, UINT flags, uintptr_t idOrSubmenu, const char16_t* text);
BOOL InsertMenuA(HMENU menu, UINT item, UINT flags, uintptr_t idOrSubmenu, const char* text);
BOOL InsertMenuW(HMENU menu, UINT item, UINT flags, uintptr_t idOrSubmenu, const char16_t* text);
BOOL RemoveMenu(HMENU menu, UINT item, UINT flags);  // a removed submenu is not destroyed
BOOL DeleteMenu(HMENU menu, UINT item, UINT flags);  // a deleted submenu is destroyed

// Previous MF_GRAYED | MF_DISABLED bits, or -1 when there is no such item.
int32_t EnableMenuItem(HMENU menu, UINT item, UINT flags);
// Previous MF_CHECKED bit, or -1 when there is no such item.
int32_t CheckMenuItem(HMENU menu, UINT item, UINT flags);
// The item's MF_ flags (for a submenu item its item count in bits 8..15), or 0xFFFFFFFF (-1) when
// there is no such item.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int32_t GetMenuItemCount(HMENU menu);              // -1 for a bad handle
UINT GetMenuItemID(HMENU menu, int32_t position);  // 0xFFFFFFFF for a submenu or no item
HMENU GetSubMenu(HMENU menu, int32_t position);
// Copies the text (at most size - 1 characters and a NUL); answers the characters copied. With a null
// buffer answers the text's length.
int32_t GetMenuStringA(HMENU menu, UINT item, char* buffer, int32_t size, UINT flags);
int32_t GetMenuStringW(HMENU menu, UINT item, char16_t* buffer, int32_t size, UINT flags);
// `byPosition` non-zero: `item` is a position. The record's cbSize must be 44, 48 or its sizeof.
BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOA* info);
BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info);
BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info);
BOOL SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info);

// ---- Menus of windows.
HMENU GetMenu(HWND window);
// Gives a top-level window its menu bar (null removes it); the client area shrinks by the bar.
BOOL SetMenu(HWND window, HMENU menu);
// Paints the menu bar of a top-level window into its non-client area.
BOOL DrawMenuBar(HWND window);
// The window's system menu (Restore, Move, Size, Minimize, Maximize, Close with their SC_ ids), made on
// first use; `revert` non-zero makes it anew.
HMENU GetSystemMenu(HWND window, BOOL revert);
// The window whose system menu `menu` is, or null.
HWND SystemMenuOwner(HMENU menu);

// A menu from the program's resources (kind Menu) by name, or by id when `name` is an integer
// resource (a value below 0x10000); null when missing or malformed. See MenuResource.h for the bytes.
HMENU LoadMenuA(HINSTANCE instance, const char* name);

// ---- Look-ups shared by the menu calls, accelerators and the menu loop.
// The item named by (item, flags) in `menu`; with MF_BYCOMMAND the menu that holds it goes to `owner`.
MenuItem* FindMenuItem(HMENU menu, UINT item, UINT flags, HMENU* owner = nullptr);
// The live menu behind a handle, or null.
MenuObject* LiveMenu(HMENU menu);

}  // namespace plat
