#pragma once
// What the layer keeps for one window. Owned by the WindowManager's table; code outside the layer
// sees only the HWND (an id) and reaches a record through WindowManager::Find.

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Surface.h"
#include "platform/WindowTypes.h"

namespace plat {

struct WindowClassRecord {
  std::string name;  // as registered; looked up without regard to case
  WNDCLASSA info;
  // The class menu, given to top-level windows made without one: a resource name, or an id when the
  // name is empty (0: none).
  std::string menuName;
  uint16_t menuId = 0;
};

// What a top-level window's menu bar showed when last painted: the bar painted again with the same
// look, at the same place of a surface of the same size, would put back the same pixels.
struct MenuBarLook {
  HMENU menu = nullptr;
  RECT place{};  // in the window's surface, pixels
  int32_t surfaceWidth = 0;
  int32_t surfaceHeight = 0;
  int32_t hot = -1;
  std::vector<std::pair<std::u16string, UINT>> items;  // text and state of each bar item
  bool operator==(const MenuBarLook&) const = default;
};

struct WindowRecord {
  HWND handle = nullptr;
  const WindowClassRecord* windowClass = nullptr;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::u16string text;
  HWND parent = nullptr;  // for a child: its parent; otherwise null
  HWND owner = nullptr;   // for a popup or an owned top-level: its owner
  HMENU menu = nullptr;   // a child's id travels here, as on the platform
  HINSTANCE instance = nullptr;
  LONG_PTR userData = 0;
  // Window rectangle: in the parent's client coordinates for a child, in screen pixels otherwise.
  RECT rect;
  // The rectangle a maximised window had before it was maximised, where restoring it puts it back;
  // empty until it is first maximised.
  RECT restored{};
  // Children back to front: the last one is on top (painted last, hit first).
  std::vector<HWND> children;
  std::map<std::string, void*> properties;
  // Area that needs painting, in client coordinates; null when nothing is invalid.
  HRGN update = nullptr;
  bool eraseOnPaint = false;
  bool destroying = false;  // WM_DESTROY has been sent
  // Pixels of a top-level window (window rectangle, non-client area included); children share them.
  std::unique_ptr<Surface> surface;
  // The menu bar's last painted look; cleared whenever what lies under the bar may have changed.
  MenuBarLook menuBarLook;
};

}  // namespace plat
