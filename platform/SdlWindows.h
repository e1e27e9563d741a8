#pragma once
// The desktop's windows that show the layer's top-level windows: one SDL window for each visible
// top-level window (frames, dialogs, popups, tooltips), at its place on the screen, showing its pixels.
// A captioned window gets the desktop's own caption, borders and close box and shows its menu bar and
// client area; any other window is shown whole, without decoration.
// User-interface thread only; SDL's video must be initialised while an instance lives.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/WindowTypes.h"

struct SDL_Window;

namespace plat {

class SdlWindows {
 public:
  SdlWindows() = default;
  ~SdlWindows();
  SdlWindows(const SdlWindows&) = delete;
  SdlWindows& operator=(const SdlWindows&) = delete;

  // Makes the desktop's windows match the layer's: made, placed, titled, shown with their changed
  // pixels, and destroyed with theirs.
  void Sync();
  // The layer's window an SDL window shows, or null.
  HWND WindowFor(uint32_t sdlWindowId) const;
  // Where a point of a desktop window whose layer window has gone lies on the screen, for the input
  // it still receives (the release of a press that closed it); false for any other window.
  bool GonePoint(uint32_t sdlWindowId, int32_t x, int32_t y, POINT* screen) const;
  // A point in an SDL window's content, in screen pixels of the layer.
  POINT ToScreen(HWND window, int32_t x, int32_t y) const;
  // The user changed a desktop window: its content became `width` by `height`, or it moved so that
  // its content starts at (x, y). The layer's window follows as the program allows.
  void UserResized(HWND window, int32_t width, int32_t height);
  void UserMoved(HWND window, int32_t x, int32_t y);
  // The desktop lost a window's pixels; they are shown again at the next Sync.
  void Expose(HWND window);
  // The user pressed on a window, or asked it to close, while a box it owns holds it (it is
  // disabled): the box comes to the top with the keyboard focus, as the platform brings up the box
  // of a disabled owner. False when no shown box holds the window.
  bool BringUpHolder(HWND window);
  // The window manager gave a window the keyboard (a click on its title bar, say): an enabled
  // captioned window becomes the program's active window, as a click on it makes it.
  void Focused(HWND window);

 private:
  struct Mirror {
    SDL_Window* sdl = nullptr;
    RECT placed;  // the layer's window rectangle when last placed, screen pixels
    uint64_t shownGeneration = ~uint64_t(0);
    std::u16string title;
    bool tied = false;       // the desktop knows the window it stands over
    HWND over = nullptr;     // that window, once tied; null for one that stands on its own
    bool maximized = false;  // the layer's window was maximised when last placed
  };

  // The part of a window shown in its desktop window, in window coordinates (from its top-left corner).
  static RECT ShownPart(HWND window);
  static bool Decorated(HWND window);
  // A decorated, sizable window the program maximised.
  static bool Maximized(HWND window);
  static SIZE SmallestContent(HWND window);
  // Makes the desktop window of a layer window with SDL's window `flags` (see the source).
  static SDL_Window* Open(HWND window, uint32_t flags);
  void Place(HWND window, Mirror& mirror);
  void Present(HWND window, Mirror& mirror);
  void FocusActive();
  // The program activated another top-level window (a box closed and the one under it took the
  // activation, a click, the program's own call): the desktop raises it and gives it the keys, as
  // the platform brings an activated window to the front.
  void FollowActivation();
  // Whether `window` stands over `other`, directly or through windows between.
  bool StandsAbove(HWND window, HWND other) const;
  // The shown window a window stands over: its owner's top-level window, or for a window without
  // owner the program's main window (see the source); null when none is shown.
  HWND StandsOver(HWND window) const;
  // Tells the desktop the window a window stands over, once that one is shown: a window manager
  // keeps the window above it. `unshown` for a window not shown yet.
  void Tie(HWND window, Mirror& mirror, bool unshown);
  // Destroys the desktop window of a layer window that has gone, or, while a mouse button is held,
  // only hides it until the button is let go (see Sync).
  void Retire(SDL_Window* sdl);
  void DestroyLetGo();

  std::map<HWND, Mirror> mirrors_;
  // Hidden desktop windows whose layer windows have gone, kept while a mouse button is held; each
  // with the screen point its content started at.
  struct Gone {
    SDL_Window* sdl = nullptr;
    POINT origin{};
  };
  std::vector<Gone> gone_;
  // The top-level window last brought to the front for the program's activation.
  HWND raised_ = nullptr;
};

}  // namespace plat
