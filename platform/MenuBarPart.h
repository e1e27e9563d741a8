#pragma once
// The hook through which the menu code gives the window manager its menu bar, so that the window
// tree (in the platform core) knows nothing else of menus.

#include <cstdint>
#include <functional>

#include "platform/WindowRecord.h"

namespace plat {

// The menu bar: a band of the non-client area, below the caption, of a top-level window that has a
// menu. The menu code installs it (InstallMenuBarPart in MenuBar.h); the window manager knows menus
// only as handles. Until it is installed a window's menu takes no room and nothing paints it.
struct MenuBarPart {
  int32_t height = 0;                                        // pixels
  std::function<HMENU(const WindowClassRecord&)> classMenu;  // the menu a class names, or null
  std::function<void(HWND)> paint;                           // paints a frame's bar
  std::function<void(HMENU)> destroy;                        // frees the menu of a frame that goes
};

}  // namespace plat
