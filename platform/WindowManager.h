#pragma once
// The window tree of the layer: registered classes, the table of live windows, geometry, z-order,
// focus, capture and activation, and the invalid areas that become WM_PAINT. All of it belongs to the
// user-interface thread except IsAlive, which any thread may ask (posting checks it).

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/MenuBarPart.h"
#include "platform/WindowRecord.h"

namespace plat {

class Region;

class WindowManager {
 public:
  static WindowManager& Instance();

  // ---- Classes.
  ATOM RegisterClass(const WNDCLASSA& info);
  bool UnregisterClass(const char* name);
  const WindowClassRecord* FindClass(const char* name) const;

  // ---- The table.
  WindowRecord* Find(HWND window) const;  // null for a handle that is not (or no longer) a window
  bool IsAlive(HWND window) const;        // thread-safe
  HWND Create(DWORD exStyle, const char* className, const char16_t* title, DWORD style, int32_t x, int32_t y,
              int32_t width, int32_t height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
  bool Destroy(HWND window);
  // Top-level windows back to front.
  const std::vector<HWND>& TopLevels() const { return topLevels_; }
  // Every live window, parents before their children, back to front among siblings.
  std::vector<HWND> AllWindows() const;
  // Destroys every window and forgets the classes: a fresh desktop for the next test.
  void Reset();

  // Installs the menu bar's part (it stays across Reset).
  void SetMenuBarPart(MenuBarPart part) { menuBar_ = std::move(part); }

  // ---- Geometry. Client coordinates start at the client area's top-left corner.
  RECT NonClientInsets(const WindowRecord& w) const;
  RECT ClientRect(const WindowRecord& w) const;  // (0, 0, width, height)
  POINT ClientToScreen(HWND window, POINT p) const;
  POINT ScreenToClient(HWND window, POINT p) const;
  RECT WindowRectOnScreen(HWND window) const;
  // The top-level window whose surface a window draws into, and its client origin in that surface.
  HWND TopLevelOf(HWND window) const;
  // The pixels of the top-level window that holds `window`, made white at its size on first need.
  Surface* SurfaceOf(HWND window);
  POINT ClientOriginInSurface(HWND window) const;
  bool IsVisibleOnScreen(HWND window) const;  // it and every ancestor are visible
  bool IsEnabledTree(HWND window) const;
  // Moves and sizes; sends WM_MOVE and WM_SIZE when they change; repaints what was uncovered.
  void SetWindowRect(HWND window, const RECT& rect, bool activateless = true);
  void SetStyle(HWND window, DWORD style);
  // Brings the window to the top of its siblings.
  void BringToTop(HWND window);
  // The deepest visible, enabled window at a screen point, or null. With `shown`, the top-level
  // window the desktop shows at that point: when the point lies in it, only that window and what
  // lies in it are looked at, whatever the layer's own order of top-level windows says.
  HWND HitTest(POINT screen, HWND shown = nullptr) const;

  // ---- Focus, capture, activation.
  HWND Focus() const { return focus_; }
  // Null, and no change, for a window that is disabled or lies in a disabled window.
  HWND SetFocus(HWND window);
  HWND Capture() const { return capture_; }
  HWND SetCapture(HWND window);
  void ReleaseCapture();
  HWND Active() const { return active_; }
  // Activates `window`'s top-level window, or, while that one is disabled, the box over it (see
  // ActivatableFor); a disabled window with no box over it is not activated (null is answered).
  HWND SetActive(HWND window);
  HWND ActivatableFor(HWND top) const;
  // After the active window went: hands the activation on to `owner` or another top-level window.
  void ActivateNextAfter(HWND owner);

  // ---- Painting.
  // Adds an area (client coordinates; null = the whole client area) to the window's invalid area.
  void Invalidate(HWND window, HRGN area, bool erase);
  void Validate(HWND window, HRGN area);
  // The part of the invalid area inside `area` (client coordinates) moves by (dx, dy), as the pixels
  // there did; what lands outside `area` is dropped (scrolled out of sight).
  void ScrollUpdate(HWND window, HRGN area, int32_t dx, int32_t dy);
  // The first visible window, parents first, that has something to paint; null when none.
  HWND NextToPaint() const;
  // The part of the client area that is on screen and not covered, in client coordinates (a new region).
  HRGN VisibleRegion(HWND window) const;

  // Called with every message that reaches no window procedure: queued for a window destroyed since,
  // or dispatched without a window. The framework uses it to delete what the message carried (a
  // posted sweeper).
  using DroppedMessageHandler = std::function<void(const MSG&)>;
  void SetDroppedMessageHandler(DroppedMessageHandler handler) { dropped_ = std::move(handler); }
  void NotifyDropped(const MSG& msg) const {
    if (dropped_) dropped_(msg);
  }

 private:
  WindowManager() = default;
  void DestroyTree(HWND window);
  void SendDestroyMessages(HWND window);
  void SendNcDestroyAndErase(HWND window);
  void Unlink(WindowRecord& w);
  std::vector<HWND>& SiblingsOf(const WindowRecord& w);
  void CollectTree(HWND window, std::vector<HWND>& out) const;
  // Invalidate with the area as a region value (client coordinates of `w`).
  void InvalidateArea(WindowRecord& w, const Region& area, bool erase);
  void InvalidateChildrenUnder(WindowRecord& w, const Region& area, bool erase);
  void ResizeSurface(WindowRecord& w);
  void PaintMenuBarOf(HWND window);

  std::vector<std::unique_ptr<WindowClassRecord>> classes_;
  std::map<uintptr_t, std::unique_ptr<WindowRecord>> windows_;
  mutable std::mutex tableLock_;  // guards windows_ membership for IsAlive from other threads
  std::vector<HWND> topLevels_;
  uintptr_t nextId_ = 0x10000;
  HWND focus_ = nullptr;
  HWND capture_ = nullptr;
  HWND active_ = nullptr;
  DroppedMessageHandler dropped_;
  MenuBarPart menuBar_;
};

// Sends a message straight to a window's procedure; 0 for a handle that is not a window.
LRESULT DeliverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace plat
