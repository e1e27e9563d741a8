#include "platform/Accelerator.h"

#include <map>
#include <memory>

#include "platform/Menu.h"
#include "platform/ResetList.h"
#include "platform/ResourceRegistry.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

// Live tables; user-interface thread.
std::map<AcceleratorTable*, std::unique_ptr<AcceleratorTable>>& Table() {
  static std::map<AcceleratorTable*, std::unique_ptr<AcceleratorTable>> table;
  return table;
}

[[maybe_unused]] const bool kReset = ResetList::Add("accelerator tables", [] { Table().clear(); });

AcceleratorTable* Live(HACCEL table) {
  auto it = Table().find(table);
  return it == Table().end() ? nullptr : it->second.get();
}

HACCEL Keep(std::vector<ACCEL> entries) {
  auto table = std::make_unique<AcceleratorTable>(std::move(entries));
  HACCEL handle = table.get();
  Table()[handle] = std::move(table);
  return handle;
}

uint16_t U16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

BYTE CurrentModifiers() {
  BYTE flags = 0;
  if (GetKeyState(VK_SHIFT) < 0) flags |= FSHIFT;
  if (GetKeyState(VK_CONTROL) < 0) flags |= FCONTROL;
  if (GetKeyState(VK_MENU) < 0) flags |= FALT;
  return flags;
}

// Lets the menu's owner update the item, then answers whether the command may be sent: true when
// it is no item of the menu, or an enabled one.
bool MenuAllows(HWND window, UINT command) {
  HWND frame = WindowManager::Instance().TopLevelOf(window);
  HMENU bar = GetMenu(frame);
  HMENU holder = nullptr;
  if (!bar || !FindMenuItem(bar, command, MF_BYCOMMAND, &holder)) return true;
  SendMessageW(frame, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
  if (holder != bar) {
    MenuObject* m = LiveMenu(bar);
    for (size_t i = 0; m && i < m->items.size(); ++i) {
      HMENU sub = m->items[i].submenu;
      if (sub && (sub == holder || FindMenuItem(sub, command, MF_BYCOMMAND))) {
        SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub),
                     MAKELPARAM(static_cast<int32_t>(i), 0));
        break;
      }
    }
  }
  UINT state = GetMenuState(GetMenu(frame), command, MF_BYCOMMAND);
  return state == 0xFFFFFFFFu || !(state & (MF_GRAYED | MF_DISABLED));
}

}  // namespace

const ACCEL* AcceleratorTable::Match(const MSG& msg) const {
  bool keyDown = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  bool character = msg.message == WM_CHAR || msg.message == WM_SYSCHAR;
  if (!keyDown && !character) return nullptr;
  BYTE modifiers = CurrentModifiers();
  for (const ACCEL& entry : entries_) {
    if (entry.key != (msg.wParam & 0xFFFF)) continue;
    if ((entry.fVirt & FVIRTKEY) && keyDown) {
      if ((entry.fVirt & (FSHIFT | FCONTROL | FALT)) == modifiers) return &entry;
    } else if (!(entry.fVirt & FVIRTKEY) && character) {
      if ((entry.fVirt & FALT) == (modifiers & FALT)) return &entry;
    }
  }
  return nullptr;
}

HACCEL ParseAcceleratorResource(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() % 8 != 0) return nullptr;
  std::vector<ACCEL> entries;
  for (size_t at = 0; at < bytes.size(); at += 8) {
    uint16_t flags = U16(bytes, at);
    entries.push_back({static_cast<BYTE>(flags & 0x7F), U16(bytes, at + 2), U16(bytes, at + 4)});
    if (flags & kAcceleratorLastEntry) {
      return at + 8 == bytes.size() ? Keep(std::move(entries)) : nullptr;
    }
  }
  return nullptr;
}

HACCEL LoadAcceleratorsA(HINSTANCE, const char* name) {
  uintptr_t value = reinterpret_cast<uintptr_t>(name);
  auto& registry = ResourceRegistry::Instance();
  auto bytes = value < 0x10000 ? registry.Find(ResourceKind::Accelerator, static_cast<uint16_t>(value))
                               : registry.Find(ResourceKind::Accelerator, std::string_view(name));
  return bytes ? ParseAcceleratorResource(*bytes) : nullptr;
}

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int32_t count) {
  if (!entries || count <= 0) return nullptr;
  return Keep(std::vector<ACCEL>(entries, entries + count));
}

BOOL DestroyAcceleratorTable(HACCEL table) {
  auto it = Table().find(table);
  if (it == Table().end()) return 0;
  Table().erase(it);
  return 1;
}

int32_t TranslateAcceleratorW(HWND window, HACCEL table, const MSG* msg) {
  AcceleratorTable* live = Live(table);
  if (!live || !msg || !IsWindow(window)) return 0;
  const ACCEL* entry = live->Match(*msg);
  if (!entry) return 0;
  UINT command = entry->cmd;
  if (MenuAllows(window, command) && IsWindow(window)) {
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(static_cast<int32_t>(command), 1), 0);
  }
  return 1;
}

int32_t TranslateAcceleratorA(HWND window, HACCEL table, const MSG* msg) {
  return TranslateAcceleratorW(window, table, msg);
}

}  // namespace plat
