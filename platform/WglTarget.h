#pragma once
// Where OpenGL on a device context puts its pixels: the surface, the rectangle of it that is the
// context's drawing area (a child window's client rectangle within its top-level surface, or the whole
// bitmap of a memory context), and what the context's pixel format belongs to (the window, or the
// memory context itself).

#include <cstdint>
#include <optional>

#include "platform/Surface.h"
#include "platform/WindowTypes.h"

namespace plat {

struct WglTarget {
  Surface* surface = nullptr;
  int32_t x = 0;  // the drawing area in surface pixels, top-left corner and size
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  HWND window = nullptr;              // null for a memory context
  const void* formatOwner = nullptr;  // the window, or the context for a memory context
};

// Null for a context that is not alive or draws nowhere. Window contexts belong to the
// user-interface thread; memory contexts may be resolved on any thread.
std::optional<WglTarget> ResolveWglTarget(HDC dc);

// The colour depth a context's formats offer, without resolving its window (0 for a dead context).
int32_t WglColorBits(HDC dc);

}  // namespace plat
