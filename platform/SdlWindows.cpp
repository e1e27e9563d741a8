#include "platform/SdlWindows.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <vector>
#include <utility>

#include "platform/Desktop.h"
#include "platform/Dialog.h"
#include "platform/TextRenderer.h"
#include "platform/Tooltip.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"
#include "platform/XWindowHints.h"

namespace plat {
namespace {

// The layer's menu bar height, pixels: it is part of the non-client area but drawn by the layer, so a
// decorated window shows it above the client area.
constexpr int32_t kMenuBarHeight = 19;

WindowManager& Manager() { return WindowManager::Instance(); }

int32_t Width(const RECT& r) { return r.right - r.left; }
int32_t Height(const RECT& r) { return r.bottom - r.top; }

// Tips and menus are told apart for the desktop: a window manager then neither decorates, moves nor
// focuses them, and places them exactly where the layer put them.
uint32_t KindFlag(const WindowRecord& w) {
  if ((w.style & WS_CAPTION) == WS_CAPTION || !(w.style & WS_POPUP) || !w.windowClass) return 0;
  if (w.windowClass == Manager().FindClass(kToolTipClass)) return SDL_WINDOW_TOOLTIP;
  if (w.exStyle & WS_EX_TOOLWINDOW) return SDL_WINDOW_POPUP_MENU;  // menus and their submenus
  return 0;
}

}  // namespace

SdlWindows::~SdlWindows() {
  for (auto& [window, mirror] : mirrors_) SDL_DestroyWindow(mirror.sdl);
  for (const Gone& g : gone_) SDL_DestroyWindow(g.sdl);
}

// A window that closes on a press (a drop-down list picking its entry) goes while the button is still
// down. Destroyed at once, its desktop window would take the release already on its way with it: SDL
// drops input for a window it no longer knows, keeps the button down and then ignores the next press,
// wherever it lands. Hidden, the window lets the pointer go at once, still receives what was sent to
// it, and is destroyed once no button is held.
void SdlWindows::Retire(SDL_Window* sdl) {
  if (SDL_GetMouseState(nullptr, nullptr) == 0) {
    SDL_DestroyWindow(sdl);
    return;
  }
  Gone g;
  g.sdl = sdl;
  SDL_GetWindowPosition(sdl, &g.origin.x, &g.origin.y);
  SDL_HideWindow(sdl);
  gone_.push_back(g);
}

void SdlWindows::DestroyLetGo() {
  if (gone_.empty() || SDL_GetMouseState(nullptr, nullptr) != 0) return;
  for (const Gone& g : gone_) SDL_DestroyWindow(g.sdl);
  gone_.clear();
}

bool SdlWindows::GonePoint(uint32_t sdlWindowId, int32_t x, int32_t y, POINT* screen) const {
  SDL_Window* sdl = SDL_GetWindowFromID(sdlWindowId);
  for (const Gone& g : gone_) {
    if (sdl == nullptr || g.sdl != sdl) continue;
    *screen = POINT{g.origin.x + x, g.origin.y + y};
    return true;
  }
  return false;
}

bool SdlWindows::Maximized(HWND window) {
  WindowRecord* w = Manager().Find(window);
  return Decorated(window) && (w->style & WS_MAXIMIZE) && (w->style & WS_THICKFRAME);
}

bool SdlWindows::Decorated(HWND window) {
  WindowRecord* w = Manager().Find(window);
  return w && (w->style & WS_CAPTION) == WS_CAPTION;
}

RECT SdlWindows::ShownPart(HWND window) {
  WindowRecord* w = Manager().Find(window);
  RECT whole{0, 0, Width(w->rect), Height(w->rect)};
  if (!Decorated(window)) return whole;
  POINT origin = Manager().ClientOriginInSurface(window);
  RECT client = Manager().ClientRect(*w);
  int32_t menu = w->menu ? kMenuBarHeight : 0;
  return {origin.x, std::max(0, origin.y - menu), origin.x + Width(client), origin.y + Height(client)};
}

void SdlWindows::Sync() {
  DestroyLetGo();
  // Windows gone or hidden lose their desktop window.
  bool closed = false;
  for (auto it = mirrors_.begin(); it != mirrors_.end();) {
    if (!IsWindow(it->first) || !IsWindowVisible(it->first)) {
      Retire(it->second.sdl);
      it = mirrors_.erase(it);
      closed = true;
    } else {
      ++it;
    }
  }
  // The focus goes back before any window of this pass is shown: a box that opens as a menu or a tip
  // closes takes the focus when it shows, and must not lose it to the window behind it.
  if (closed) FocusActive();
  for (HWND window : Manager().TopLevels()) {
    if (!IsWindowVisible(window) || !GetWindowSurface(window)) continue;
    auto found = mirrors_.find(window);
    if (found == mirrors_.end()) {
      WindowRecord* w = Manager().Find(window);
      Uint32 flags = SDL_WINDOW_HIDDEN;
      if (!Decorated(window)) flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
      if (Decorated(window) && (w->style & WS_THICKFRAME)) flags |= SDL_WINDOW_RESIZABLE;
      if (w->exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
      flags |= KindFlag(*w);
      const bool maximized = Maximized(window);
      if (maximized) flags |= SDL_WINDOW_MAXIMIZED;
      SDL_Window* sdl = Open(window, flags);
      if (!sdl) continue;
      Mirror mirror;
      mirror.sdl = sdl;
      mirror.placed = w->rect;
      mirror.maximized = maximized;
      found = mirrors_.emplace(window, mirror).first;
      Tie(window, found->second, true);
      SDL_ShowWindow(sdl);
    } else if (!found->second.tied) {
      Tie(window, found->second, false);
    }
    Place(window, found->second);
    Present(window, found->second);
  }
  FollowActivation();
}

void SdlWindows::FollowActivation() {
  HWND active = Manager().Active() ? Manager().TopLevelOf(Manager().Active()) : nullptr;
  if (active == raised_) return;
  auto found = mirrors_.find(active);
  if (found == mirrors_.end()) return;  // not shown yet: raised once it is
  raised_ = active;
  if (KindFlag(*Manager().Find(active)) != 0) return;
  SDL_RaiseWindow(found->second.sdl);
  SDL_SetWindowInputFocus(found->second.sdl);
}

void SdlWindows::Focused(HWND window) {
  auto found = mirrors_.find(window);
  if (found == mirrors_.end() || !Decorated(window) || !IsWindowEnabled(window)) return;
  // A notice the desktop has overtaken since (the keys went on to a box the program opened) is old.
  if (SDL_GetKeyboardFocus() != found->second.sdl) return;
  // A window that holds the capture (the about box) keeps the activation: the next press decides.
  if (Manager().Capture()) return;
  if (Manager().Active() && Manager().TopLevelOf(Manager().Active()) == window) return;
  // The desktop has it in front with the keys already.
  raised_ = window;
  Manager().SetActive(window);
}

// The smallest size the program keeps a sizable window at, as a drag of its corner to nothing finds
// it (WM_SIZING), less the layer's frame: the least content of the desktop window; 0 by 0 when the
// program keeps none. It is never more than the work area holds: SDL grows a window to its least size
// at once, which on a small screen would push the maximised window past the screen's edge.
SIZE SdlWindows::SmallestContent(HWND window) {
  WindowRecord* w = Manager().Find(window);
  if (!Decorated(window) || !(w->style & WS_THICKFRAME)) return {0, 0};
  RECT smallest{w->rect.left, w->rect.top, w->rect.left, w->rect.top};
  SendMessageW(window, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&smallest));
  if (!(w = Manager().Find(window)) || Width(smallest) <= 0 || Height(smallest) <= 0) return {0, 0};
  const RECT part = ShownPart(window), work = Desktop::WorkArea();
  const int32_t frameX = Width(w->rect) - Width(part), frameY = Height(w->rect) - Height(part);
  return {std::clamp(Width(smallest) - frameX, 0, std::max(0, Width(work) - frameX)),
          std::clamp(Height(smallest) - frameY, 0, std::max(0, Height(work) - frameY))};
}

// A window the program maximised opens where it is restored to (its size before the program maximised
// it, at least its smallest), marked maximised: the window manager fills the work area with it, and
// its restore button brings it back there. With no window manager to maximise it, it opens at the
// layer's maximised place itself. The window manager learns the smallest size too.
SDL_Window* SdlWindows::Open(HWND window, uint32_t flags) {
  const WindowRecord* w = Manager().Find(window);
  const RECT part = ShownPart(window);
  const SIZE least = SmallestContent(window);
  if (!(w = Manager().Find(window))) return nullptr;
  RECT at{w->rect.left + part.left, w->rect.top + part.top, 0, 0};
  at.right = at.left + Width(part);
  at.bottom = at.top + Height(part);
  const RECT& restored = w->restored;
  const bool maximized = (flags & SDL_WINDOW_MAXIMIZED) != 0;
  if (maximized && Width(restored) > 0 && Height(restored) > 0) {
    at.left = restored.left + part.left;
    at.top = restored.top + part.top;
    at.right = at.left + std::max<int32_t>(least.cx, Width(restored) - (Width(w->rect) - Width(part)));
    at.bottom = at.top + std::max<int32_t>(least.cy, Height(restored) - (Height(w->rect) - Height(part)));
  }
  SDL_Window* sdl =
      SDL_CreateWindow("", at.left, at.top, std::max(1, Width(at)), std::max(1, Height(at)), flags);
  if (!sdl) return nullptr;
  if (least.cx > 0 && least.cy > 0) SDL_SetWindowMinimumSize(sdl, least.cx, least.cy);
  if (maximized && !XWindowHints::WindowManagerRuns(sdl)) {
    SDL_SetWindowPosition(sdl, w->rect.left + part.left, w->rect.top + part.top);
    SDL_SetWindowSize(sdl, std::max(1, Width(part)), std::max(1, Height(part)));
  }
  return sdl;
}

void SdlWindows::FocusActive() {
  // A shown window takes the display's input focus (without a window manager SDL gives it), and when
  // that window closes the focus would go nowhere, losing every key: it goes back to the window the
  // program has active, as a window manager would give it, or with none active to a captioned one.
  HWND active = Manager().Active();
  auto found = active ? mirrors_.find(Manager().TopLevelOf(active)) : mirrors_.end();
  for (auto it = mirrors_.begin(); found == mirrors_.end() && it != mirrors_.end(); ++it)
    if (Decorated(it->first)) found = it;
  // SDL's own idea of the focus may not have seen the closed window take it: always ask.
  if (found != mirrors_.end()) SDL_SetWindowInputFocus(found->second.sdl);
}

bool SdlWindows::StandsAbove(HWND window, HWND other) const {
  // Ties never loop (see StandsOver), so the walk ends; the count guards it all the same.
  for (size_t steps = 0; window && steps <= mirrors_.size(); ++steps) {
    auto found = mirrors_.find(window);
    if (found == mirrors_.end()) return false;
    window = found->second.over;
    if (window == other) return true;
  }
  return false;
}

HWND SdlWindows::StandsOver(HWND window) const {
  const WindowRecord* w = Manager().Find(window);
  if (w->owner) {
    HWND owner = Manager().TopLevelOf(w->owner);
    return mirrors_.count(owner) && !StandsAbove(owner, window) ? owner : nullptr;
  }
  // The program's main window (captioned, without owner, no dialog box) stands on its own, whatever
  // boxes are open over it.
  const bool box = w->windowClass && w->windowClass == Manager().FindClass(kDialogClassName);
  if (Decorated(window) && !box) return nullptr;
  // Without an owner: a captionless popup (the about box) or a box that holds every window of the
  // program (a task-modal message box) stands over the topmost shown captioned window without owner
  // (the main window, or the box it was opened over); any other window stands on its own. A window
  // that already stands over this one, or over one that does, is never its owner.
  const auto& tops = Manager().TopLevels();
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    const WindowRecord* main = Manager().Find(*it);
    if (*it == window || !main || main->owner || !Decorated(*it) || !mirrors_.count(*it)) continue;
    if (StandsAbove(*it, window)) continue;
    return !Decorated(window) || !IsWindowEnabled(*it) ? *it : nullptr;
  }
  return nullptr;
}

// A window that stands over another stays above it, as the program's platform keeps an owned window
// above its owner: the desktop learns the tie (a window manager then stacks and raises the two
// together), and a captioned box learns that it is a dialog, modal while it holds its owner.
void SdlWindows::Tie(HWND window, Mirror& mirror, bool unshown) {
  const WindowRecord* w = Manager().Find(window);
  if (KindFlag(*w) != 0) {  // menus and tips stand where the layer puts them
    mirror.tied = true;
    return;
  }
  HWND over = StandsOver(window);
  if (!over) return;
  SDL_SetWindowModalFor(mirror.sdl, mirrors_.at(over).sdl);
  if (Decorated(window)) XWindowHints::MarkDialog(mirror.sdl, !IsWindowEnabled(over), !unshown);
  mirror.tied = true;
  mirror.over = over;
}

bool SdlWindows::BringUpHolder(HWND window) {
  HWND held = Manager().TopLevelOf(window);
  if (!held || IsWindowEnabled(held)) return false;
  // The topmost shown window that stands over the held one; while that one is held in turn (a box
  // over a dialog), the one that holds it.
  HWND holder = nullptr;
  for (;;) {
    HWND next = nullptr;
    const auto& tops = Manager().TopLevels();
    for (auto it = tops.rbegin(); it != tops.rend() && !next; ++it)
      if (*it != held && mirrors_.count(*it) && StandsOver(*it) == held) next = *it;
    if (!next) break;
    holder = held = next;
    if (IsWindowEnabled(next)) break;
  }
  if (!holder) return false;
  SDL_Window* sdl = mirrors_.at(holder).sdl;
  SDL_RaiseWindow(sdl);
  SDL_SetWindowInputFocus(sdl);
  return true;
}

void SdlWindows::Place(HWND window, Mirror& mirror) {
  WindowRecord* w = Manager().Find(window);
  if (w->text != mirror.title) {
    mirror.title = w->text;
    SDL_SetWindowTitle(mirror.sdl, Utf16ToUtf8(mirror.title).c_str());
  }
  // A window the program maximises is maximised by the desktop, which fits its frame to the screen,
  // once each time the program maximises it: a restore by the user stands.
  const bool maximized = Maximized(window);
  if (maximized && !mirror.maximized) SDL_MaximizeWindow(mirror.sdl);
  mirror.maximized = maximized;
  const RECT& r = w->rect;
  if (r.left == mirror.placed.left && r.top == mirror.placed.top && r.right == mirror.placed.right &&
      r.bottom == mirror.placed.bottom) {
    return;
  }
  // The desktop places and sizes a window it maximised; the layer follows it (UserResized, UserMoved).
  if (SDL_GetWindowFlags(mirror.sdl) & SDL_WINDOW_MAXIMIZED) {
    mirror.placed = r;
    mirror.shownGeneration = ~uint64_t(0);
    return;
  }
  RECT part = ShownPart(window);
  SDL_SetWindowPosition(mirror.sdl, r.left + part.left, r.top + part.top);
  SDL_SetWindowSize(mirror.sdl, std::max(1, Width(part)), std::max(1, Height(part)));
  mirror.placed = r;
  mirror.shownGeneration = ~uint64_t(0);
}

void SdlWindows::Present(HWND window, Mirror& mirror) {
  Surface* surface = GetWindowSurface(window);
  if (surface->Generation() == mirror.shownGeneration) return;
  SDL_Surface* screen = SDL_GetWindowSurface(mirror.sdl);
  if (!screen) return;
  RECT part = ShownPart(window);
  part.right = std::min(part.right, surface->Width());
  part.bottom = std::min(part.bottom, surface->Height());
  if (part.right <= part.left || part.bottom <= part.top) return;
  // Our pixels are 0x00RRGGBB words, top-down: SDL's RGB888 format over the same memory, only read
  // (the blit's source).
  uint8_t* shown = const_cast<uint8_t*>(std::as_const(*surface).Row(part.top));
  SDL_Surface* pixels =
      SDL_CreateRGBSurfaceWithFormatFrom(shown + size_t(part.left) * 4, Width(part), Height(part), 32,
                                         surface->Stride(), SDL_PIXELFORMAT_RGB888);
  if (!pixels) return;
  SDL_BlitSurface(pixels, nullptr, screen, nullptr);
  SDL_FreeSurface(pixels);
  SDL_UpdateWindowSurface(mirror.sdl);
  mirror.shownGeneration = surface->Generation();
}

HWND SdlWindows::WindowFor(uint32_t sdlWindowId) const {
  SDL_Window* sdl = SDL_GetWindowFromID(sdlWindowId);
  for (const auto& [window, mirror] : mirrors_) {
    if (mirror.sdl == sdl) return window;
  }
  return nullptr;
}

POINT SdlWindows::ToScreen(HWND window, int32_t x, int32_t y) const {
  WindowRecord* w = Manager().Find(window);
  if (!w) return {x, y};
  RECT part = ShownPart(window);
  return {w->rect.left + part.left + x, w->rect.top + part.top + y};
}

void SdlWindows::UserResized(HWND window, int32_t width, int32_t height) {
  auto found = mirrors_.find(window);
  WindowRecord* w = Manager().Find(window);
  if (found == mirrors_.end() || !w) return;
  RECT part = ShownPart(window);
  // The window grows by what the content grew; its top-left corner stays.
  RECT proposed = w->rect;
  proposed.right += width - Width(part);
  proposed.bottom += height - Height(part);
  if (proposed.right == w->rect.right && proposed.bottom == w->rect.bottom) return;
  Desktop::RequestResize(window, WMSZ_BOTTOMRIGHT, proposed);
  // The program may have answered another size: the desktop window follows at the next Sync.
  found->second.placed = RECT{};
}

void SdlWindows::UserMoved(HWND window, int32_t x, int32_t y) {
  auto found = mirrors_.find(window);
  WindowRecord* w = Manager().Find(window);
  if (found == mirrors_.end() || !w) return;
  RECT part = ShownPart(window);
  int32_t left = x - part.left, top = y - part.top;
  if (left == w->rect.left && top == w->rect.top) return;
  MoveWindow(window, left, top, Width(w->rect), Height(w->rect), 0);
  if ((w = Manager().Find(window))) found->second.placed = w->rect;
}

void SdlWindows::Expose(HWND window) {
  auto found = mirrors_.find(window);
  if (found != mirrors_.end()) found->second.shownGeneration = ~uint64_t(0);
}

}  // namespace plat
