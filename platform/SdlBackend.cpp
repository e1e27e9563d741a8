#include "platform/SdlBackend.h"

#include <SDL2/SDL.h>

#include <cstring>
#include <map>
#include <memory>

#include "platform/AnsiCodePage.h"
#include "platform/Clipboard.h"
#include "platform/Cursors.h"
#include "platform/DragDrop.h"
#include "platform/Desktop.h"
#include "platform/InputState.h"
#include "platform/MessageQueue.h"
#include "platform/ScreenMetrics.h"
#include "platform/SdlInput.h"
#include "platform/SdlWindows.h"
#include "platform/TextRenderer.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"
#include "platform/XErrors.h"

namespace plat {
namespace {

constexpr int32_t kWheelDelta = 120;  // one notch of the wheel, as WM_MOUSEWHEEL counts it

struct State {
  SdlWindows windows;
  std::map<uint16_t, SDL_Cursor*> cursors;         // by IDC_ number
  std::map<HCURSOR, SDL_Cursor*> resourceCursors;  // the program's own, made from their pixels
  HCURSOR shownCursor = nullptr;
};
// The running backend's (user-interface thread); it belongs to the backend, so a reset leaves it.
// Kept out of static destruction: Xlib ends the process through exit() when the display connection
// breaks, and closing windows over a dead connection waits for ever. Stop() frees the state.
std::unique_ptr<State>& gState = *new std::unique_ptr<State>();
bool gVideoUp = false;

SDL_SystemCursor SystemCursorFor(uint16_t id) {
  switch (id) {
    case IDC_IBEAM:
      return SDL_SYSTEM_CURSOR_IBEAM;
    case IDC_WAIT:
      return SDL_SYSTEM_CURSOR_WAIT;
    case IDC_CROSS:
      return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case IDC_SIZENWSE:
      return SDL_SYSTEM_CURSOR_SIZENWSE;
    case IDC_SIZENESW:
      return SDL_SYSTEM_CURSOR_SIZENESW;
    case IDC_SIZEWE:
      return SDL_SYSTEM_CURSOR_SIZEWE;
    case IDC_SIZENS:
      return SDL_SYSTEM_CURSOR_SIZENS;
    case IDC_SIZEALL:
      return SDL_SYSTEM_CURSOR_SIZEALL;
    case IDC_NO:
      return SDL_SYSTEM_CURSOR_NO;
    case IDC_HAND:
      return SDL_SYSTEM_CURSOR_HAND;
    default:
      return SDL_SYSTEM_CURSOR_ARROW;
  }
}

// A colour cursor made from a cursor resource's pixels; null when the resource has none.
SDL_Cursor* ResourceCursor(State& state, HCURSOR cursor) {
  auto found = state.resourceCursors.find(cursor);
  if (found != state.resourceCursors.end()) return found->second;
  SDL_Cursor* made = nullptr;
  CursorPicture picture;
  if (ReadCursorPicture(cursor, picture)) {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(picture.pixels.data(), picture.width, picture.height, 32,
                                           picture.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface != nullptr) {
      made = SDL_CreateColorCursor(surface, picture.hotX, picture.hotY);
      SDL_FreeSurface(surface);
    }
  }
  state.resourceCursors[cursor] = made;
  return made;
}

// The program's own cursor resources show their pictures; one the backend cannot make shows as the
// arrow.
void ShowCursor(State& state) {
  HCURSOR cursor = Desktop::CurrentCursor();
  if (cursor == state.shownCursor) return;
  state.shownCursor = cursor;
  if (cursor != nullptr && cursor->systemId == 0) {
    if (SDL_Cursor* own = ResourceCursor(state, cursor)) {
      SDL_SetCursor(own);
      return;
    }
  }
  uint16_t id = cursor ? cursor->systemId : IDC_ARROW;
  SDL_Cursor*& sdl = state.cursors[id];
  if (!sdl) sdl = SDL_CreateSystemCursor(SystemCursorFor(id));
  if (sdl) SDL_SetCursor(sdl);
}

int32_t VirtualButton(uint8_t button) {
  switch (button) {
    case SDL_BUTTON_RIGHT:
      return VK_RBUTTON;
    case SDL_BUTTON_MIDDLE:
      return VK_MBUTTON;
    default:
      return VK_LBUTTON;
  }
}

HWND KeyboardTarget() {
  WindowManager& m = WindowManager::Instance();
  return m.Focus() ? m.Focus() : m.Active();
}

void Wheel(const SDL_MouseWheelEvent& e) {
  HWND target = KeyboardTarget();
  if (!target || e.y == 0) return;
  int32_t notches = e.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.y : e.y;
  POINT at = InputState::CursorPos();
  MessageQueue::Instance().Post(target, WM_MOUSEWHEEL,
                                MAKEWPARAM(int32_t(InputState::MouseKeyFlags()), notches * kWheelDelta),
                                MAKELPARAM(at.x, at.y));
}

void WindowEvent(State& state, const SDL_WindowEvent& e) {
  HWND window = state.windows.WindowFor(e.windowID);
  if (!window) return;
  switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE:
      // A window a box holds only beeps; the box comes up, so the user sees what holds the window.
      state.windows.BringUpHolder(window);
      Desktop::RequestClose(window);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      // A window manager gave the keys to a window a box holds: they go to the box. Any other
      // window it gave them to (a click on its title bar) becomes the program's active window.
      if (!state.windows.BringUpHolder(window)) state.windows.Focused(window);
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      state.windows.UserResized(window, e.data1, e.data2);
      break;
    case SDL_WINDOWEVENT_MOVED:
      state.windows.UserMoved(window, e.data1, e.data2);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      state.windows.Expose(window);
      break;
    default:
      break;
  }
}

// Text or a file's path dragged from another program lands where the pointer is, as a drag that
// enters and drops at once on the window's registered drop target.
void Drop(const SDL_DropEvent& e) {
  if (e.file) {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    InjectTextDrop({POINT{x, y}}, 0, NarrowToAnsi(Utf16FromUtf8(e.file)));
  }
  SDL_free(e.file);
}

void Handle(State& state, const SDL_Event& e) {
  switch (e.type) {
    case SDL_MOUSEMOTION: {
      HWND window = state.windows.WindowFor(e.motion.windowID);
      if (window) Desktop::MouseMove(state.windows.ToScreen(window, e.motion.x, e.motion.y), window);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      HWND window = state.windows.WindowFor(e.button.windowID);
      POINT screen{};
      if (window) {
        // A press on a window a box holds brings the box up with the keys.
        if (e.type == SDL_MOUSEBUTTONDOWN) state.windows.BringUpHolder(window);
        // The press goes to the window the desktop shows under the pointer, which its window
        // manager stacked: the layer's order of its windows may differ.
        Desktop::MouseButton(VirtualButton(e.button.button), e.type == SDL_MOUSEBUTTONDOWN,
                             state.windows.ToScreen(window, e.button.x, e.button.y), window);
      } else if (state.windows.GonePoint(e.button.windowID, e.button.x, e.button.y, &screen)) {
        // The release of the press that closed its window: it goes where the pointer is.
        Desktop::MouseButton(VirtualButton(e.button.button), e.type == SDL_MOUSEBUTTONDOWN, screen);
      }
      break;
    }
    case SDL_MOUSEWHEEL:
      Wheel(e.wheel);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
      DeliverKeyboardEvent(e);
      break;
    case SDL_WINDOWEVENT:
      WindowEvent(state, e.window);
      break;
    case SDL_DROPTEXT:
    case SDL_DROPFILE:
      Drop(e.drop);
      break;
    case SDL_QUIT:
      // SDL turns SIGINT and SIGTERM into this event (a window's close box is handled on its own,
      // the last window's too: see Start). The message loop ends and the program tears down as
      // after its own Quit.
      PostQuitMessage(0);
      break;
    default:
      break;
  }
}

}  // namespace

bool SdlBackend::Start() {
  if (gState) return true;
  // A click that activates a window also acts on it, as the program expects of its platform.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // The close box of the last window asks the program to close, as any other window's does: SDL
  // would also send its quit event, which ends the program before it can ask to save the document.
  SDL_SetHintWithPriority(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0", SDL_HINT_OVERRIDE);
  // The windows show our own pixels through a plain software surface. A surface SDL backs with
  // OpenGL would make its own GLX context current on this thread, beside the 3D view's OSMesa
  // context, and the two GL libraries crash each other; so no environment setting may choose it.
  SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_OVERRIDE);
  if (!gVideoUp && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  gVideoUp = true;
  // After SDL's start: its own safety net hands every error on to Xlib's handler, which exits.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver != nullptr && std::strcmp(driver, "x11") == 0) XErrors::ReportAndGoOn();
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    SetVirtualScreenSize(mode.w, mode.h);
    // Only a palette display changes the depth contexts answer: deeper ones keep the 32 bits the
    // drawing surfaces and the OpenGL pixel formats are made for.
    if (SDL_BITSPERPIXEL(mode.format) <= 8) SetScreenColorDepth(int32_t(SDL_BITSPERPIXEL(mode.format)));
  }
  // The work area a window manager leaves beside its panels (on X its _NET_WORKAREA), else the screen.
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(0, &usable) == 0) {
    const RECT area{usable.x, usable.y, usable.x + usable.w, usable.y + usable.h};
    Desktop::SetWorkArea(&area);
  }
  SDL_EventState(SDL_DROPTEXT, SDL_ENABLE);
  SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
  SDL_StartTextInput();
  gState = std::make_unique<State>();
  Clipboard::UseSystem([](const std::u16string& text) { SDL_SetClipboardText(Utf16ToUtf8(text).c_str()); },
                       [] {
                         char* text = SDL_GetClipboardText();
                         std::u16string out = Utf16FromUtf8(text ? text : "");
                         SDL_free(text);
                         return out;
                       });
  return true;
}

void SdlBackend::Stop() {
  if (!gState) return;
  Clipboard::UseSystem(nullptr, nullptr);
  for (auto& [id, cursor] : gState->cursors) SDL_FreeCursor(cursor);
  for (auto& [handle, cursor] : gState->resourceCursors)
    if (cursor != nullptr) SDL_FreeCursor(cursor);
  gState.reset();  // destroys the desktop windows
  SDL_StopTextInput();
  // SDL's video stays initialised for the rest of the process: shutting it down unloads the display
  // libraries in a way that loses some of their memory, and a later Start would open them again.
}

bool SdlBackend::Running() { return gState != nullptr; }

void SdlBackend::Pump(std::chrono::milliseconds wait) {
  if (!gState) return;
  gState->windows.Sync();
  ShowCursor(*gState);
  SDL_Event event;
  if (!SDL_WaitEventTimeout(&event, int(wait.count()))) return;
  HandleEventBatch(event, [](const SDL_Event& e) {
    Handle(*gState, e);
    return gState != nullptr;  // a handler may have stopped the backend
  });
}

}  // namespace plat
