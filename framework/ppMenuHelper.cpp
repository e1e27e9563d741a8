#include "framework/ppMenuHelper.h"

#include "foundation/LocaleNumbers.h"
#include "platform/Menu.h"

using namespace plat;

namespace {

constexpr int32_t kTextCapacity = 256;  // characters, NUL included
constexpr UINT kItemMask = MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_DATA;
constexpr int32_t kCommandItem = 0;
constexpr int32_t kSubmenuItem = 1;

// Asks the callback for the item at `position` and writes a non-empty answer back. Answers the
// item's submenu, or null for a command item or a separator.
HMENU RewriteItem(HMENU menu, int32_t position, ppMenuTextCallback callback) {
  char16_t buffer[kTextCapacity] = {};
  MENUITEMINFOW info;
  info.cbSize = ppMenuHelper::IsVersion4_0() ? kMenuItemInfoSizeOld : kMenuItemInfoSizeNew;
  info.fMask = kItemMask;
  info.dwTypeData = buffer;
  info.cch = kTextCapacity;
  // A failed read is not special: the item goes on with what the record holds.
  GetMenuItemInfoW(menu, static_cast<UINT>(position), 1, &info);
  if (info.fType & MFT_SEPARATOR) return nullptr;
  char16_t itemText[kTextCapacity] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), itemText, kTextCapacity, MF_BYPOSITION);
  Vcon::WString text;
  if (info.hSubMenu) {
    callback(kSubmenuItem, itemText, position, &text);
  } else {
    callback(kCommandItem, nullptr, static_cast<int16_t>(info.wID & 0xFFFF), &text);
  }
  if (!text.empty()) {
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    SetMenuItemInfoW(menu, static_cast<UINT>(position), 1, &info);
  }
  return info.hSubMenu;
}

}  // namespace

ppMenuHelper::ppMenuHelper(ppApplication* application, HMENU menu) : application_(application), menu_(menu) {}

void ppMenuHelper::Enable(int32_t id) { EnableMenuItem(menu_, static_cast<UINT>(id), MF_ENABLED); }
void ppMenuHelper::Disable(int32_t id) { EnableMenuItem(menu_, static_cast<UINT>(id), MF_GRAYED); }

void ppMenuHelper::SetCheck(int32_t id, char mark) {
  CheckMenuItem(menu_, static_cast<UINT>(id), mark == kCheckMark ? MF_CHECKED : MF_UNCHECKED);
}

char ppMenuHelper::GetCheck(int32_t id) {
  UINT state = GetMenuState(menu_, static_cast<UINT>(id), MF_BYCOMMAND);
  return state != 0xFFFFFFFFu && (state & MF_CHECKED) ? kCheckMark : 0;
}

void ppMenuHelper::Notice(uint32_t) {}

// Texts go through the wide calls: this program always runs on the wide-character platform.
void ppMenuHelper::RewriteMenuTexts(HMENU menu, ppMenuTextCallback callback) {
  if (!callback) return;
  int32_t count = GetMenuItemCount(menu);
  for (int32_t position = 0; position < count; ++position) {
    if (HMENU submenu = RewriteItem(menu, position, callback)) RewriteMenuTexts(submenu, callback);
  }
}

bool ppMenuHelper::IsVersion4_0() { return PlatformMajorVersion() == 4 && PlatformMinorVersion() == 0; }
