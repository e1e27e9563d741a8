#include "platform/WglTarget.h"

#include <algorithm>

#include "platform/BitmapObject.h"
#include "platform/Gdi.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

BitmapObject* SelectedBitmap(HDC dc) {
  return static_cast<BitmapObject*>(GdiObject::FromHandle(GetCurrentObject(dc, OBJ_BITMAP)));
}

// The window whose client area a window context covers: the deepest window drawing into `surface`
// with its client origin at `origin` whose client rectangle holds the context's clip box (a parent
// and a child can share an origin; the clip box tells them apart).
HWND WindowOfContext(HDC dc, const Surface* surface, POINT origin) {
  WindowManager& manager = WindowManager::Instance();
  RECT box{};
  bool hasBox = GetClipBox(dc, &box) != 0 && box.right > box.left && box.bottom > box.top;
  std::vector<HWND> all = manager.AllWindows();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    HWND window = *it;
    const WindowRecord* top = manager.Find(manager.TopLevelOf(window));
    if (!top || top->surface.get() != surface) continue;
    POINT o = manager.ClientOriginInSurface(window);
    if (o.x != origin.x || o.y != origin.y) continue;
    RECT client = manager.ClientRect(*manager.Find(window));
    if (hasBox && (box.right > client.right || box.bottom > client.bottom)) continue;
    return window;
  }
  return nullptr;
}

}  // namespace

int32_t WglColorBits(HDC dc) {
  if (!GetDCSurface(dc)) return 0;
  if (BitmapObject* bitmap = SelectedBitmap(dc)) return bitmap->BitsPixel();
  return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
}

std::optional<WglTarget> ResolveWglTarget(HDC dc) {
  Surface* surface = GetDCSurface(dc);
  if (!surface) return std::nullopt;
  WglTarget target;
  target.surface = surface;
  if (SelectedBitmap(dc)) {
    target.width = surface->Width();
    target.height = surface->Height();
    target.formatOwner = dc;
    return target;
  }
  POINT origin = GetDCOrigin(dc);
  HWND window = WindowOfContext(dc, surface, origin);
  if (!window) return std::nullopt;
  RECT client = WindowManager::Instance().ClientRect(*WindowManager::Instance().Find(window));
  target.x = origin.x;
  target.y = origin.y;
  target.width = client.right - client.left;
  target.height = client.bottom - client.top;
  target.window = window;
  target.formatOwner = window;
  return target;
}

}  // namespace plat
