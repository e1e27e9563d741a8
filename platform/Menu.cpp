#include "platform/Menu.h"

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>

#include "platform/ImageList.h"
#include "platform/MenuBar.h"
#include "platform/MenuResource.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

// Live menus by handle. A handle is an id that is never given twice (a reset of the table leaves the
// counter alone), so a destroyed menu's handle stays refused. Both belong to the UI thread.
std::unordered_map<HMENU, std::unique_ptr<MenuObject>>& Table() {
  static std::unordered_map<HMENU, std::unique_ptr<MenuObject>> table;
  return table;
}
uintptr_t gNextMenuId = 0x10000;

// System menus by window; each is a live menu of the table.
std::map<HWND, HMENU>& SystemMenus() {
  static std::map<HWND, HMENU> menus;
  return menus;
}

// Menus that outlived their windows (or never had one) go with a reset.
[[maybe_unused]] const bool kReset = ResetList::Add("menus: live menus, system menus", [] {
  SystemMenus().clear();
  Table().clear();
});

HMENU NewMenu(bool popup) {
  auto menu = std::make_unique<MenuObject>();
  menu->isPopup = popup;
  HMENU handle = reinterpret_cast<HMENU>(gNextMenuId++);
  Table().emplace(handle, std::move(menu));
  return handle;
}

// Search by command: items of this menu first, then each submenu, depth first.
MenuItem* FindByCommand(HMENU menu, UINT id, HMENU* owner, int32_t depth) {
  MenuObject* m = LiveMenu(menu);
  if (!m || depth > 32) return nullptr;  // a menu that holds itself must not recurse for ever
  for (MenuItem& item : m->items) {
    if (!item.submenu && item.type != MFT_SEPARATOR && item.id == id) {
      if (owner) *owner = menu;
      return &item;
    }
  }
  for (MenuItem& item : m->items) {
    if (!item.submenu) continue;
    if (MenuItem* found = FindByCommand(item.submenu, id, owner, depth + 1)) return found;
  }
  return nullptr;
}

// Builds an item from the flags of AppendMenu / InsertMenu.
MenuItem ItemFrom(UINT flags, uintptr_t idOrSubmenu, std::u16string text) {
  MenuItem item;
  if (flags & MF_SEPARATOR) {
    item.type = MFT_SEPARATOR;
  } else {
    item.text = std::move(text);
  }
  item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
  if (flags & MF_POPUP) {
    item.submenu = reinterpret_cast<HMENU>(idOrSubmenu);
    if (MenuObject* sub = LiveMenu(item.submenu)) sub->isPopup = true;
  } else {
    item.id = static_cast<UINT>(idOrSubmenu & 0xFFFF);
  }
  return item;
}

BOOL Insert(HMENU menu, UINT where, UINT flags, MenuItem item) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return 0;
  if ((flags & MF_POPUP) && !LiveMenu(item.submenu)) return 0;
  if (where == 0xFFFFFFFFu) {
    m->items.push_back(std::move(item));
    return 1;
  }
  if (flags & MF_BYPOSITION) {
    size_t at = std::min<size_t>(where, m->items.size());
    m->items.insert(m->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    return 1;
  }
  HMENU owner = nullptr;
  MenuItem* before = FindByCommand(menu, where, &owner, 0);
  if (!before) return 0;
  MenuObject* o = LiveMenu(owner);
  o->items.insert(o->items.begin() + (before - o->items.data()), std::move(item));
  return 1;
}

// Takes the item out of its menu; answers its submenu (to destroy or keep), or false when absent.
bool Take(HMENU menu, UINT item, UINT flags, HMENU* submenu) {
  HMENU owner = menu;
  MenuItem* found = FindMenuItem(menu, item, flags, &owner);
  if (!found) return false;
  *submenu = found->submenu;
  MenuObject* o = LiveMenu(owner);
  o->items.erase(o->items.begin() + (found - o->items.data()));
  return true;
}

template <class Char>
bool GoodSize(const MenuItemInfoOf<Char>* info) {
  return info && (info->cbSize == kMenuItemInfoSizeOld || info->cbSize == kMenuItemInfoSizeNew ||
                  info->cbSize == sizeof(MenuItemInfoOf<Char>));
}

template <class Char>
int32_t GetString(HMENU menu, UINT item, Char* buffer, int32_t size, UINT flags) {
  MenuItem* found = FindMenuItem(menu, item, flags);
  if (!found) {
    if (buffer && size > 0) buffer[0] = 0;
    return 0;
  }
  return CopyTextOut(found->text, buffer, size);
}

template <class Char>
BOOL GetInfo(HMENU menu, UINT item, BOOL byPosition, MenuItemInfoOf<Char>* info) {
  if (!GoodSize(info)) return 0;
  MenuItem* found = FindMenuItem(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (!found) return 0;
  UINT mask = info->fMask;
  if (mask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = found->type;
  if (mask & MIIM_STATE) info->fState = found->state;
  if (mask & MIIM_ID) info->wID = found->id;
  if (mask & MIIM_SUBMENU) info->hSubMenu = found->submenu;
  if (mask & MIIM_DATA) info->dwItemData = found->data;
  if (mask & (MIIM_TYPE | MIIM_STRING)) {
    if (found->type == MFT_SEPARATOR) {
      info->cch = 0;
    } else if (info->dwTypeData && info->cch > 0) {
      info->cch =
          static_cast<UINT>(CopyTextOut(found->text, info->dwTypeData, static_cast<int32_t>(info->cch)));
    } else {
      info->cch = static_cast<UINT>(CopyTextOut<Char>(found->text, nullptr, 0));
    }
  }
  return 1;
}

template <class Char>
BOOL SetInfo(HMENU menu, UINT item, BOOL byPosition, const MenuItemInfoOf<Char>* info) {
  if (!GoodSize(info)) return 0;
  MenuItem* found = FindMenuItem(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (!found) return 0;
  UINT mask = info->fMask;
  if ((mask & MIIM_SUBMENU) && info->hSubMenu && !LiveMenu(info->hSubMenu)) return 0;
  if (mask & (MIIM_TYPE | MIIM_FTYPE)) found->type = info->fType & MFT_SEPARATOR;
  if (mask & MIIM_STATE) found->state = info->fState & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE);
  if (mask & MIIM_ID) found->id = info->wID & 0xFFFF;
  if (mask & MIIM_SUBMENU) found->submenu = info->hSubMenu;
  if (mask & MIIM_DATA) found->data = info->dwItemData;
  if ((mask & (MIIM_TYPE | MIIM_STRING)) && found->type != MFT_SEPARATOR)
    found->text = WideFrom(info->dwTypeData);
  return 1;
}

WindowRecord* TopLevel(HWND window) {
  WindowRecord* w = WindowManager::Instance().Find(window);
  return (w && !(w->style & WS_CHILD)) ? w : nullptr;
}

}  // namespace

MenuObject* LiveMenu(HMENU menu) {
  auto it = Table().find(menu);
  return it == Table().end() ? nullptr : it->second.get();
}

MenuItem* FindMenuItem(HMENU menu, UINT item, UINT flags, HMENU* owner) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return nullptr;
  if (flags & MF_BYPOSITION) {
    if (item >= m->items.size()) return nullptr;
    if (owner) *owner = menu;
    return &m->items[item];
  }
  return FindByCommand(menu, item, owner, 0);
}

HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL DestroyMenu(HMENU menu) {
  auto it = Table().find(menu);
  if (it == Table().end()) return 0;
  std::unique_ptr<MenuObject> owned = std::move(it->second);
  Table().erase(it);
  for (MenuItem& item : owned->items) {
    if (item.submenu) DestroyMenu(item.submenu);
  }
  return 1;
}

BOOL IsMenu(HMENU menu) { return LiveMenu(menu) != nullptr; }

BOOL AppendMenuA(HMENU menu, UINT flags, uintptr_t idOrSubmenu, const char* text) {
  return Insert(menu, 0xFFFFFFFFu, flags, ItemFrom(flags, idOrSubmenu, WideFrom(text)));
}

BOOL AppendMenuW(HMENU menu, UINT flags, uintptr_t idOrSubmenu, const char16_t* text) {
  return Insert(menu, 0xFFFFFFFFu, flags, ItemFrom(flags, idOrSubmenu, WideFrom(text)));
}

BOOL InsertMenuA(HMENU menu, UINT item, UINT flags, uintptr_t idOrSubmenu, const char* text) {
  return Insert(menu, item, flags, ItemFrom(flags, idOrSubmenu, WideFrom(text)));
}

BOOL InsertMenuW(HMENU menu, UINT item, UINT flags, uintptr_t idOrSubmenu, const char16_t* text) {
  return Insert(menu, item, flags, ItemFrom(flags, idOrSubmenu, WideFrom(text)));
}

BOOL RemoveMenu(HMENU menu, UINT item, UINT flags) {
  HMENU submenu = nullptr;
  return Take(menu, item, flags, &submenu);
}

BOOL DeleteMenu(HMENU menu, UINT item, UINT flags) {
  HMENU submenu = nullptr;
  if (!Take(menu, item, flags, &submenu)) return 0;
  if (submenu) DestroyMenu(submenu);
  return 1;
}

int32_t EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  MenuItem* found = FindMenuItem(menu, item, flags);
  if (!found) return -1;
  int32_t previous = static_cast<int32_t>(found->state & (MF_GRAYED | MF_DISABLED));
  found->state = (found->state & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  return previous;
}

int32_t CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  MenuItem* found = FindMenuItem(menu, item, flags);
  if (!found) return -1;
  int32_t previous = static_cast<int32_t>(found->state & MF_CHECKED);
  found->state = (found->state & ~MF_CHECKED) | (flags & MF_CHECKED);
  return previous;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  MenuItem* found = FindMenuItem(menu, item, flags);
  if (!found) return 0xFFFFFFFFu;
  UINT state = found->state | (found->type & MF_SEPARATOR);
  if (found->submenu) {
    MenuObject* sub = LiveMenu(found->submenu);
    UINT count = sub ? static_cast<UINT>(std::min<size_t>(sub->items.size(), 255)) : 0;
    state = (count << 8) | (state & 0xFF) | MF_POPUP;
  }
  return state;
}

int32_t GetMenuItemCount(HMENU menu) {
  MenuObject* m = LiveMenu(menu);
  return m ? static_cast<int32_t>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int32_t position) {
  MenuItem* found = position < 0 ? nullptr : FindMenuItem(menu, static_cast<UINT>(position), MF_BYPOSITION);
  if (!found || found->submenu) return 0xFFFFFFFFu;
  return found->id;
}

HMENU GetSubMenu(HMENU menu, int32_t position) {
  MenuItem* found = position < 0 ? nullptr : FindMenuItem(menu, static_cast<UINT>(position), MF_BYPOSITION);
  return found ? found->submenu : nullptr;
}

int32_t GetMenuStringA(HMENU menu, UINT item, char* buffer, int32_t size, UINT flags) {
  return GetString(menu, item, buffer, size, flags);
}

int32_t GetMenuStringW(HMENU menu, UINT item, char16_t* buffer, int32_t size, UINT flags) {
  return GetString(menu, item, buffer, size, flags);
}

BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOA* info) {
  return GetInfo(menu, item, byPosition, info);
}
BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info) {
  return GetInfo(menu, item, byPosition, info);
}
BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info) {
  return SetInfo(menu, item, byPosition, info);
}
BOOL SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info) {
  return SetInfo(menu, item, byPosition, info);
}

HMENU GetMenu(HWND window) {
  WindowRecord* w = TopLevel(window);
  return w ? w->menu : nullptr;
}

BOOL SetMenu(HWND window, HMENU menu) {
  WindowRecord* w = TopLevel(window);
  if (!w || (menu && !LiveMenu(menu))) return 0;
  bool hadBar = w->menu != nullptr;
  w->menu = menu;
  w->menuBarLook = MenuBarLook{};  // without a bar the client may have painted where it lies
  if (hadBar != (menu != nullptr)) {
    RECT client = WindowManager::Instance().ClientRect(*w);
    DeliverMessage(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    InvalidateRect(window, nullptr, 1);
  }
  if (menu) PaintMenuBar(window, -1);
  return 1;
}

BOOL DrawMenuBar(HWND window) {
  WindowRecord* w = TopLevel(window);
  if (!w || !w->menu) return 0;
  PaintMenuBar(window, -1);
  return 1;
}

HMENU GetSystemMenu(HWND window, BOOL revert) {
  if (!WindowManager::Instance().Find(window)) return nullptr;
  auto& menus = SystemMenus();
  auto it = menus.find(window);
  if (it != menus.end() && LiveMenu(it->second) && !revert) return it->second;
  if (it != menus.end()) DestroyMenu(it->second);
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, SC_RESTORE, u"&Restore");
  AppendMenuW(menu, MF_STRING, SC_MOVE, u"&Move");
  AppendMenuW(menu, MF_STRING, SC_SIZE, u"&Size");
  AppendMenuW(menu, MF_STRING, SC_MINIMIZE, u"Mi&nimize");
  AppendMenuW(menu, MF_STRING, SC_MAXIMIZE, u"Ma&ximize");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, SC_CLOSE, u"&Close\tAlt+F4");
  menus[window] = menu;
  return menu;
}

HWND SystemMenuOwner(HMENU menu) {
  for (const auto& [window, system] : SystemMenus()) {
    if (system == menu && LiveMenu(menu)) return window;
  }
  return nullptr;
}

HMENU LoadMenuA(HINSTANCE, const char* name) {
  uintptr_t value = reinterpret_cast<uintptr_t>(name);
  if (value < 0x10000) return LoadMenuResource(static_cast<uint16_t>(value));
  return LoadMenuResource(std::string_view(name));
}

}  // namespace plat
