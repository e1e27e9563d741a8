#include "platform/WindowManager.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/Gdi.h"
#include "platform/GdiInternal.h"
#include "platform/MessageQueue.h"
#include "platform/MessageTrace.h"

namespace plat {
namespace {

// Non-client sizes in pixels: a sizing border, a fixed dialog frame, a thin border, the caption bar.
constexpr int32_t kSizingBorder = 4;
constexpr int32_t kDialogFrame = 3;
constexpr int32_t kThinBorder = 1;
constexpr int32_t kClientEdge = 2;
constexpr int32_t kCaptionHeight = 19;

bool SameName(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

uintptr_t IdOf(HWND h) { return reinterpret_cast<uintptr_t>(h); }

// Owns a region handle for the length of a scope.
struct RegionHolder {
  HRGN region;
  explicit RegionHolder(HRGN r) : region(r) {}
  ~RegionHolder() {
    if (region) DeleteObject(region);
  }
  RegionHolder(const RegionHolder&) = delete;
  RegionHolder& operator=(const RegionHolder&) = delete;
};

HRGN RectRegion(const RECT& r) { return CreateRectRgn(r.left, r.top, r.right, r.bottom); }

}  // namespace

WindowManager& WindowManager::Instance() {
  static WindowManager manager;
  return manager;
}

// ---- Classes.

ATOM WindowManager::RegisterClass(const WNDCLASSA& info) {
  if (!info.lpszClassName || !info.lpfnWndProc || FindClass(info.lpszClassName)) return 0;
  auto record = std::make_unique<WindowClassRecord>();
  record->name = info.lpszClassName;
  record->info = info;
  record->info.lpszClassName = nullptr;  // the caller's text need not outlive the call
  uintptr_t menu = reinterpret_cast<uintptr_t>(info.lpszMenuName);
  if (menu >= 0x10000) {
    record->menuName = info.lpszMenuName;
  } else {
    record->menuId = static_cast<uint16_t>(menu);
  }
  record->info.lpszMenuName = nullptr;
  classes_.push_back(std::move(record));
  return static_cast<ATOM>(0xC000 + classes_.size());
}

bool WindowManager::UnregisterClass(const char* name) {
  for (auto it = classes_.begin(); it != classes_.end(); ++it) {
    if (!SameName((*it)->name, name)) continue;
    for (const auto& [id, w] : windows_) {
      if (w->windowClass == it->get()) return false;  // still in use
    }
    classes_.erase(it);
    return true;
  }
  return false;
}

const WindowClassRecord* WindowManager::FindClass(const char* name) const {
  if (!name) return nullptr;
  for (const auto& c : classes_) {
    if (SameName(c->name, name)) return c.get();
  }
  return nullptr;
}

// ---- The table.

WindowRecord* WindowManager::Find(HWND window) const {
  auto it = windows_.find(IdOf(window));
  return it == windows_.end() ? nullptr : it->second.get();
}

bool WindowManager::IsAlive(HWND window) const {
  std::lock_guard<std::mutex> lock(tableLock_);
  return windows_.count(IdOf(window)) != 0;
}

HWND WindowManager::Create(DWORD exStyle, const char* className, const char16_t* title, DWORD style,
                           int32_t x, int32_t y, int32_t width, int32_t height, HWND parent, HMENU menu,
                           HINSTANCE instance, void* param) {
  const WindowClassRecord* cls = FindClass(className);
  if (!cls) return nullptr;
  if ((style & WS_CHILD) && !Find(parent)) return nullptr;
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) width = height = 0;

  auto record = std::make_unique<WindowRecord>();
  HWND handle = reinterpret_cast<HWND>(nextId_++);
  record->handle = handle;
  record->windowClass = cls;
  record->proc = cls->info.lpfnWndProc;
  record->style = style & ~WS_VISIBLE;  // shown after creation, as the platform does
  record->exStyle = exStyle;
  if (title) record->text = title;
  record->menu = menu;
  if (!menu && !(style & WS_CHILD) && menuBar_.classMenu) record->menu = menuBar_.classMenu(*cls);
  record->instance = instance;
  record->rect = {x, y, x + std::max(0, width), y + std::max(0, height)};
  if (style & WS_CHILD) {
    record->parent = parent;
  } else {
    record->owner = parent;
  }
  WindowRecord& w = *record;
  {
    std::lock_guard<std::mutex> lock(tableLock_);
    windows_[IdOf(handle)] = std::move(record);
  }
  SiblingsOf(w).push_back(handle);

  CREATESTRUCTA cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = style;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  LPARAM lp = reinterpret_cast<LPARAM>(&cs);
  if (!DeliverMessage(handle, WM_NCCREATE, 0, lp) || DeliverMessage(handle, WM_CREATE, 0, lp) == -1) {
    Destroy(handle);
    return nullptr;
  }
  if (!Find(handle)) return nullptr;  // the window destroyed itself while being created
  RECT client = ClientRect(w);
  DeliverMessage(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  DeliverMessage(handle, WM_MOVE, 0, MAKELPARAM(w.rect.left, w.rect.top));
  if (style & WS_VISIBLE) {
    if (WindowRecord* again = Find(handle)) {
      again->style |= WS_VISIBLE;
      DeliverMessage(handle, WM_SHOWWINDOW, 1, 0);
      Invalidate(handle, nullptr, true);
    }
  }
  PaintMenuBarOf(handle);
  return Find(handle) ? handle : nullptr;
}

bool WindowManager::Destroy(HWND window) {
  WindowRecord* w = Find(window);
  if (!w || w->destroying) return w != nullptr;
  // Owned top-level windows go first, as the platform destroys them with their owner.
  std::vector<HWND> owned;
  for (const auto& [id, other] : windows_) {
    if (other->owner == window && !other->parent) owned.push_back(other->handle);
  }
  for (HWND h : owned) Destroy(h);
  if (!Find(window)) return true;
  DestroyTree(window);
  return true;
}

void WindowManager::DestroyTree(HWND window) {
  WindowRecord* w = Find(window);
  if (w->style & WS_VISIBLE) {
    w->style &= ~WS_VISIBLE;
    if (w->parent) {
      RegionHolder area(RectRegion(w->rect));
      Invalidate(w->parent, area.region, true);
    }
  }
  HMENU menu = (w->style & WS_CHILD) ? nullptr : w->menu;  // a window's menu goes with it
  SendDestroyMessages(window);
  SendNcDestroyAndErase(window);
  if (menu && menuBar_.destroy) menuBar_.destroy(menu);
}

// WM_DESTROY reaches a window before its children.
void WindowManager::SendDestroyMessages(HWND window) {
  WindowRecord* w = Find(window);
  if (!w) return;
  w->destroying = true;
  if (capture_ == window) ReleaseCapture();
  DeliverMessage(window, WM_DESTROY, 0, 0);
  w = Find(window);
  if (!w) return;
  std::vector<HWND> children = w->children;
  for (HWND child : children) SendDestroyMessages(child);
}

// WM_NCDESTROY reaches children before their parent; then the records go.
void WindowManager::SendNcDestroyAndErase(HWND window) {
  WindowRecord* w = Find(window);
  if (!w) return;
  std::vector<HWND> children = w->children;
  for (HWND child : children) SendNcDestroyAndErase(child);
  DeliverMessage(window, WM_NCDESTROY, 0, 0);
  w = Find(window);
  if (!w) return;
  if (focus_ == window) focus_ = nullptr;
  if (capture_ == window) capture_ = nullptr;
  const bool wasActive = active_ == window;
  const HWND owner = w->owner;
  if (wasActive) active_ = nullptr;
  Unlink(*w);
  if (w->update) DeleteObject(w->update);
  std::unique_ptr<WindowRecord> doomed;
  {
    std::lock_guard<std::mutex> lock(tableLock_);
    auto it = windows_.find(IdOf(window));
    doomed = std::move(it->second);
    windows_.erase(it);
  }
  MessageQueue::Instance().DropFor(window);
  if (wasActive) ActivateNextAfter(owner);
}

// As the platform does when the active window goes: its owner takes the activation, else the topmost
// other window of the program that can (shown, enabled, not a menu or tip), so that the keys the user
// types keep a window to go to.
void WindowManager::ActivateNextAfter(HWND owner) {
  auto canTake = [this](HWND candidate) {
    const WindowRecord* c = Find(candidate);
    return c && !c->destroying && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED) &&
           !(c->style & WS_CHILD) && !(c->exStyle & WS_EX_TOOLWINDOW) && !(c->exStyle & WS_EX_TOPMOST);
  };
  if (owner && canTake(owner)) {
    SetActive(owner);
    return;
  }
  for (auto it = topLevels_.rbegin(); it != topLevels_.rend(); ++it) {
    if (canTake(*it)) {
      SetActive(*it);
      return;
    }
  }
}

void WindowManager::Unlink(WindowRecord& w) {
  auto& siblings = SiblingsOf(w);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), w.handle), siblings.end());
}

std::vector<HWND>& WindowManager::SiblingsOf(const WindowRecord& w) {
  if (w.parent) return Find(w.parent)->children;
  return topLevels_;
}

void WindowManager::CollectTree(HWND window, std::vector<HWND>& out) const {
  out.push_back(window);
  for (HWND child : Find(window)->children) CollectTree(child, out);
}

std::vector<HWND> WindowManager::AllWindows() const {
  std::vector<HWND> out;
  for (HWND top : topLevels_) CollectTree(top, out);
  return out;
}

void WindowManager::Reset() {
  active_ = nullptr;  // no window takes the activation over while all of them go
  while (!topLevels_.empty()) Destroy(topLevels_.back());
  classes_.clear();
  focus_ = capture_ = active_ = nullptr;
}

// A top-level window's pixels are made when something first draws into them or reads them, not when
// the window is made: a frame made at its default size and maximised before its first paint then
// fills one surface, at the size it shows, instead of a first one it never showed.
Surface* WindowManager::SurfaceOf(HWND window) {
  const HWND top = TopLevelOf(window);
  WindowRecord* w = Find(top);
  if (!w || w->parent) return nullptr;
  if (!w->surface) {
    w->surface = std::make_unique<Surface>(std::max<int32_t>(1, w->rect.right - w->rect.left),
                                           std::max<int32_t>(1, w->rect.bottom - w->rect.top),
                                           PixelMemory::Start::kWrittenByCaller);
    w->surface->Fill(0xFFFFFF);
    // The bar was not drawn while there were no pixels to draw it into.
    w->menuBarLook = MenuBarLook{};
    PaintMenuBarOf(top);
    if (!(w = Find(top)) || !w->surface) return nullptr;
  }
  return w->surface.get();
}

void WindowManager::ResizeSurface(WindowRecord& w) {
  if (w.parent || !w.surface) return;
  int32_t width = std::max<int32_t>(1, w.rect.right - w.rect.left);
  int32_t height = std::max<int32_t>(1, w.rect.bottom - w.rect.top);
  if (w.surface->Width() != width || w.surface->Height() != height) w.surface->Resize(width, height);
}

// ---- Geometry.

RECT WindowManager::NonClientInsets(const WindowRecord& w) const {
  int32_t border = 0;
  if (w.style & WS_THICKFRAME) {
    border = kSizingBorder;
  } else if (w.style & WS_DLGFRAME) {
    border = kDialogFrame;
  } else if (w.style & WS_BORDER) {
    border = kThinBorder;
  }
  if (w.exStyle & WS_EX_CLIENTEDGE) border += kClientEdge;
  int32_t top = border;
  if ((w.style & WS_CAPTION) == WS_CAPTION) top += kCaptionHeight;
  if (w.menu && !(w.style & WS_CHILD)) top += menuBar_.height;
  return {border, top, border, border};
}

RECT WindowManager::ClientRect(const WindowRecord& w) const {
  RECT in = NonClientInsets(w);
  int32_t width = std::max(0, (w.rect.right - w.rect.left) - in.left - in.right);
  int32_t height = std::max(0, (w.rect.bottom - w.rect.top) - in.top - in.bottom);
  return {0, 0, width, height};
}

POINT WindowManager::ClientToScreen(HWND window, POINT p) const {
  for (const WindowRecord* w = Find(window); w; w = Find(w->parent)) {
    RECT in = NonClientInsets(*w);
    p.x += w->rect.left + in.left;
    p.y += w->rect.top + in.top;
  }
  return p;
}

POINT WindowManager::ScreenToClient(HWND window, POINT p) const {
  POINT origin = ClientToScreen(window, {0, 0});
  return {p.x - origin.x, p.y - origin.y};
}

RECT WindowManager::WindowRectOnScreen(HWND window) const {
  const WindowRecord* w = Find(window);
  if (!w) return {};
  POINT origin{w->rect.left, w->rect.top};
  if (w->parent) origin = ClientToScreen(w->parent, origin);
  return {origin.x, origin.y, origin.x + (w->rect.right - w->rect.left),
          origin.y + (w->rect.bottom - w->rect.top)};
}

HWND WindowManager::TopLevelOf(HWND window) const {
  const WindowRecord* w = Find(window);
  while (w && w->parent) w = Find(w->parent);
  return w ? w->handle : nullptr;
}

POINT WindowManager::ClientOriginInSurface(HWND window) const {
  HWND top = TopLevelOf(window);
  const WindowRecord* t = Find(top);
  POINT screen = ClientToScreen(window, {0, 0});
  return {screen.x - t->rect.left, screen.y - t->rect.top};
}

bool WindowManager::IsVisibleOnScreen(HWND window) const {
  for (const WindowRecord* w = Find(window); w; w = Find(w->parent)) {
    if (!(w->style & WS_VISIBLE)) return false;
  }
  return Find(window) != nullptr;
}

bool WindowManager::IsEnabledTree(HWND window) const {
  for (const WindowRecord* w = Find(window); w; w = Find(w->parent)) {
    if (w->style & WS_DISABLED) return false;
  }
  return Find(window) != nullptr;
}

void WindowManager::SetWindowRect(HWND window, const RECT& rect, bool) {
  WindowRecord* w = Find(window);
  if (!w) return;
  RECT old = w->rect;
  RECT oldClient = ClientRect(*w);
  if (old == rect) return;
  bool visible = IsVisibleOnScreen(window);
  if (visible && w->parent) {
    RegionHolder uncovered(RectRegion(old));
    Invalidate(w->parent, uncovered.region, true);
  }
  w->rect = rect;
  ResizeSurface(*w);
  bool moved = old.left != rect.left || old.top != rect.top;
  RECT client = ClientRect(*w);
  if (moved) DeliverMessage(window, WM_MOVE, 0, MAKELPARAM(rect.left, rect.top));
  if ((w = Find(window)) == nullptr) return;
  if (!(client == oldClient)) {
    WPARAM kind = (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
    DeliverMessage(window, WM_SIZE, kind, MAKELPARAM(client.right, client.bottom));
  }
  if (Find(window) && visible) Invalidate(window, nullptr, true);
  PaintMenuBarOf(window);  // the bar, at its new width
}

void WindowManager::PaintMenuBarOf(HWND window) {
  WindowRecord* w = Find(window);
  if (w && !w->parent && w->menu && menuBar_.paint) menuBar_.paint(window);
}

void WindowManager::SetStyle(HWND window, DWORD style) {
  WindowRecord* w = Find(window);
  if (!w) return;
  w->style = style;
  w->menuBarLook = MenuBarLook{};  // a frame of another style may have let the client over the bar
}

void WindowManager::BringToTop(HWND window) {
  WindowRecord* w = Find(window);
  if (!w) return;
  auto& siblings = SiblingsOf(*w);
  if (!siblings.empty() && siblings.back() == window) return;
  Unlink(*w);
  siblings.push_back(window);
  if (IsVisibleOnScreen(window)) Invalidate(window, nullptr, true);
}

HWND WindowManager::HitTest(POINT screen, HWND shown) const {
  // A display reports what a held button does to the window it was pressed on, wherever the pointer
  // went: outside that window the layer's order finds what lies under the pointer.
  const std::vector<HWND> only{shown};
  const std::vector<HWND>* level = &topLevels_;
  if (shown && Find(shown) && !Find(shown)->parent) {
    const RECT r = WindowRectOnScreen(shown);
    if (screen.x >= r.left && screen.x < r.right && screen.y >= r.top && screen.y < r.bottom) level = &only;
  }
  HWND found = nullptr;
  for (;;) {
    HWND next = nullptr;
    for (auto it = level->rbegin(); it != level->rend(); ++it) {
      const WindowRecord* w = Find(*it);
      if (!(w->style & WS_VISIBLE)) continue;
      RECT r = WindowRectOnScreen(*it);
      if (screen.x < r.left || screen.x >= r.right || screen.y < r.top || screen.y >= r.bottom) continue;
      next = *it;
      break;
    }
    if (!next) break;
    const WindowRecord* n = Find(next);
    // A disabled child leaves the point to its parent; a disabled top-level window takes nothing.
    if (n->style & WS_DISABLED) return n->parent ? found : nullptr;
    // Only a point inside the client area can reach a child.
    found = next;
    POINT local = ScreenToClient(next, screen);
    RECT client = ClientRect(*n);
    if (local.x < 0 || local.y < 0 || local.x >= client.right || local.y >= client.bottom) break;
    level = &n->children;
  }
  return found;
}

// ---- Focus, capture, activation.

HWND WindowManager::SetFocus(HWND window) {
  HWND old = focus_;
  if (window && !Find(window)) return nullptr;
  // A disabled window takes no keys, nor does anything inside one: a window a box holds cannot take
  // the keyboard from the box (a plan that redraws under the box and focuses its canvas, say).
  if (window && !IsEnabledTree(window)) return nullptr;
  if (old == window) return old;
  focus_ = window;
  if (old && Find(old)) DeliverMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
  if (window && focus_ == window) DeliverMessage(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND WindowManager::SetCapture(HWND window) {
  HWND old = capture_;
  if (!Find(window)) return old;
  capture_ = window;
  if (old && old != window && Find(old))
    DeliverMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
  return old;
}

void WindowManager::ReleaseCapture() {
  HWND old = capture_;
  capture_ = nullptr;
  if (old && Find(old)) DeliverMessage(old, WM_CAPTURECHANGED, 0, 0);
}

// The window that takes the activation meant for `top`: `top` itself while it is enabled; while a
// box holds it (it is disabled), the topmost shown, enabled window it owns, directly or through owned
// windows between; null when it has none, as a disabled window is never activated.
HWND WindowManager::ActivatableFor(HWND top) const {
  const WindowRecord* t = Find(top);
  if (!t || !(t->style & WS_DISABLED)) return top;
  for (auto it = topLevels_.rbegin(); it != topLevels_.rend(); ++it) {
    const WindowRecord* w = Find(*it);
    if (*it == top || !w || !(w->style & WS_VISIBLE) || (w->style & WS_DISABLED)) continue;
    for (const WindowRecord* o = Find(w->owner); o; o = Find(o->owner)) {
      if (o->handle == top) return *it;
      if (o->handle == w->handle) break;
    }
  }
  return nullptr;
}

HWND WindowManager::SetActive(HWND window) {
  window = TopLevelOf(window);
  if (window) {
    // A program that activates its main window while a box is open over it (a second start handing
    // a document over) leaves the box in charge, above the window and with the keys.
    window = ActivatableFor(window);
    if (!window) return nullptr;
  }
  HWND old = active_;
  if (old == window) return old;
  active_ = window;
  if (old && Find(old)) DeliverMessage(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
  if (window && active_ == window) {
    BringToTop(window);
    DeliverMessage(window, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
  }
  return old;
}

// ---- Painting.

void WindowManager::Invalidate(HWND window, HRGN area, bool erase) {
  WindowRecord* w = Find(window);
  if (!w) return;
  if (!area) {
    InvalidateArea(*w, Region(ClientRect(*w)), erase);
    return;
  }
  // A handle that is no live region adds nothing.
  if (const RegionObject* given = LiveObject<RegionObject>(area, OBJ_REGION))
    InvalidateArea(*w, given->region, erase);
}

// On region values rather than handles: controls invalidate many times while a window is built (a
// scroll bar at every change of its range or position), and handles cost more than the arithmetic.
void WindowManager::InvalidateArea(WindowRecord& w, const Region& area, bool erase) {
  const Region added = Region::Combine(area, Region(ClientRect(w)), Region::Op::And);
  if (added.IsEmpty()) return;
  if (!w.update) w.update = CreateRectRgn(0, 0, 0, 0);
  if (RegionObject* update = LiveObject<RegionObject>(w.update, OBJ_REGION)) {
    Region& invalid = update->region;
    if (invalid.IsEmpty())
      invalid = added;
    else
      invalid.CombineWith(added, Region::Op::Or);
  }
  w.eraseOnPaint = w.eraseOnPaint || erase;
  // Children share their parent's pixels: a parent that paints over them makes them paint again.
  if (!(w.style & WS_CLIPCHILDREN)) InvalidateChildrenUnder(w, added, erase);
}

void WindowManager::InvalidateChildrenUnder(WindowRecord& w, const Region& area, bool erase) {
  for (HWND child : w.children) {
    WindowRecord* c = Find(child);
    if (!(c->style & WS_VISIBLE)) continue;
    RECT in = NonClientInsets(*c);
    Region local = area;
    local.Offset(-(c->rect.left + in.left), -(c->rect.top + in.top));
    InvalidateArea(*c, local, erase);
  }
}

void WindowManager::Validate(HWND window, HRGN area) {
  WindowRecord* w = Find(window);
  if (!w || !w->update) return;
  if (area) {
    CombineRgn(w->update, w->update, area, RGN_DIFF);
  } else {
    SetRectRgn(w->update, 0, 0, 0, 0);
  }
  RECT box;
  if (GetRgnBox(w->update, &box) == NULLREGION) {
    DeleteObject(w->update);
    w->update = nullptr;
    w->eraseOnPaint = false;
  }
}

void WindowManager::ScrollUpdate(HWND window, HRGN area, int32_t dx, int32_t dy) {
  WindowRecord* w = Find(window);
  const RegionObject* moved = LiveObject<RegionObject>(area, OBJ_REGION);
  RegionObject* update = w && w->update ? LiveObject<RegionObject>(w->update, OBJ_REGION) : nullptr;
  if (!moved || !update) return;
  Region inside = Region::Combine(update->region, moved->region, Region::Op::And);
  if (inside.IsEmpty()) return;
  inside.Offset(dx, dy);
  Region kept = Region::Combine(update->region, moved->region, Region::Op::Diff);
  kept.CombineWith(Region::Combine(inside, moved->region, Region::Op::And), Region::Op::Or);
  update->region = std::move(kept);
  if (update->region.IsEmpty()) Validate(window, nullptr);
}

HWND WindowManager::NextToPaint() const {
  for (HWND h : AllWindows()) {
    const WindowRecord* w = Find(h);
    if (w->update && IsVisibleOnScreen(h)) return h;
  }
  return nullptr;
}

HRGN WindowManager::VisibleRegion(HWND window) const {
  const WindowRecord* w = Find(window);
  if (!w) return CreateRectRgn(0, 0, 0, 0);
  // Worked out on a region value, rectangle by rectangle; only the answer becomes a handle.
  Region visible(Normalized(ClientRect(*w)));
  POINT origin = ClientToScreen(window, {0, 0});
  // Each ancestor's client area bounds what a child shows; clip-siblings cuts away siblings above.
  for (const WindowRecord* cur = w; cur; cur = Find(cur->parent)) {
    if (cur->parent) {
      const WindowRecord* p = Find(cur->parent);
      POINT pOrigin = ClientToScreen(cur->parent, {0, 0});
      RECT pc = ClientRect(*p);
      visible =
          visible.ClippedTo(Normalized({pc.left + pOrigin.x - origin.x, pc.top + pOrigin.y - origin.y,
                                        pc.right + pOrigin.x - origin.x, pc.bottom + pOrigin.y - origin.y}));
      if (cur->style & WS_CLIPSIBLINGS) {
        const auto& siblings = p->children;
        auto it = std::find(siblings.begin(), siblings.end(), cur->handle);
        for (++it; it != siblings.end(); ++it) {
          const WindowRecord* s = Find(*it);
          if (!(s->style & WS_VISIBLE)) continue;
          const Region cut(
              Normalized({s->rect.left + pOrigin.x - origin.x, s->rect.top + pOrigin.y - origin.y,
                          s->rect.right + pOrigin.x - origin.x, s->rect.bottom + pOrigin.y - origin.y}));
          visible.CombineWith(cut, Region::Op::Diff);
        }
      }
    }
  }
  if (w->style & WS_CLIPCHILDREN) {
    for (HWND child : w->children) {
      const WindowRecord* c = Find(child);
      if (!(c->style & WS_VISIBLE)) continue;
      visible.CombineWith(Region(Normalized(c->rect)), Region::Op::Diff);
    }
  }
  return HandleOf<HRGN>(new RegionObject(std::move(visible)));
}

// ---- Delivery.

LRESULT DeliverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* w = WindowManager::Instance().Find(window);
  if (!w || !w->proc) return 0;
  MessageTrace::Record(window, message, wParam, lParam);
  return w->proc(window, message, wParam, lParam);
}

}  // namespace plat
