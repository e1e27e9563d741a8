#include "platform/Desktop.h"

#include <cstdlib>

#include "platform/Controls.h"
#include "platform/ImageList.h"
#include "platform/InputState.h"
#include "platform/LayerClock.h"
#include "platform/MdiWindows.h"
#include "platform/MenuBar.h"
#include "platform/MenuTracker.h"
#include "platform/MessageQueue.h"
#include "platform/ResetList.h"
#include "platform/ScreenMetrics.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

// How long one wait without a waiter lasts before it looks at the queue again.
constexpr std::chrono::milliseconds kPostWaitSlice{100};

// The desktop's own state; all of it belongs to the user-interface thread.
Desktop::Waiter gWaiter;  // installed by the running backend; survives a reset
std::vector<UINT> gBeeps;
HCURSOR gCursor = nullptr;
bool gHasTaskBar = false;
RECT gTaskBar;
// The display's work area, set by the backend (SetWorkArea); none in a headless run.
bool gHasWorkArea = false;
RECT gWorkArea;

// The last button press, for telling a double click: a second press of the same button on the same
// window within kDoubleClickTime and kDoubleClickSlop of it. A double click starts no new pair.
struct Press {
  int32_t button = 0;  // 0: none
  HWND target = nullptr;
  POINT at{};
  uint32_t time = 0;  // layer clock, ms
};
Press gLastPress;
constexpr uint32_t kDoubleClickTime = 500;  // ms, the platform's default
constexpr int32_t kDoubleClickSlop = 2;     // pixels each way, the platform's default half box

[[maybe_unused]] const bool kReset = ResetList::Add("desktop: beeps, cursor, task bar, last press", [] {
  gLastPress = Press{};
  gBeeps.clear();
  gCursor = nullptr;
  gHasTaskBar = false;
  gTaskBar = RECT{};
});
[[maybe_unused]] const bool kWorkAreaReset = ResetList::Add("desktop: work area", [] {
  gHasWorkArea = false;
  gWorkArea = RECT{};
});

WindowManager& Manager() { return WindowManager::Instance(); }

HWND MouseTarget(POINT screen, HWND shown) {
  if (HWND capture = Manager().Capture()) return capture;
  return Manager().HitTest(screen, shown);
}

void QueueMouse(UINT message, POINT screen, HWND shown) {
  HWND target = MouseTarget(screen, shown);
  if (!target) return;
  POINT local = Manager().ScreenToClient(target, screen);
  MessageQueue::Instance().Post(target, message, InputState::MouseKeyFlags(), MAKELPARAM(local.x, local.y));
}

// The classes and the non-client menu bar the layer gives every program.
void RegisterBuiltIns() {
  EnsureMdiClientClass();
  EnsureStandardControlClasses();
  InitCommonControls();
  InstallMenuBarPart();
}

}  // namespace

void Desktop::Reset() {
  Manager().Reset();
  MessageQueue::Instance().Clear();
  ResetList::RunAll();
  RegisterBuiltIns();
}

void Desktop::MouseMove(POINT screen, HWND shown) {
  InputState::SetCursorPos(screen);
  QueueMouse(WM_MOUSEMOVE, screen, shown);
}

void Desktop::MouseButton(int32_t button, bool down, POINT screen, HWND shown) {
  InputState::SetCursorPos(screen);
  UINT message;
  switch (button) {
    case VK_RBUTTON:
      message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
      break;
    case VK_MBUTTON:
      message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
      break;
    default:
      message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
      break;
  }
  InputState::SetDown(button, down);
  if (down) ForgetAltAlone();
  HWND target = MouseTarget(screen, shown);
  if (down && target && !Manager().Capture()) {
    HWND top = Manager().TopLevelOf(target);
    if (top != Manager().Active()) Manager().SetActive(top);
  }
  if (down) {
    // Windows of a class with CS_DBLCLKS get the second press of a pair as a double click.
    uint32_t now = LayerClock::Now();
    const Press& last = gLastPress;
    const WindowRecord* record = target ? Manager().Find(target) : nullptr;
    bool wantsDouble = record && record->windowClass && (record->windowClass->info.style & CS_DBLCLKS);
    bool paired = last.button == button && last.target == target && now - last.time <= kDoubleClickTime &&
                  std::abs(screen.x - last.at.x) <= kDoubleClickSlop &&
                  std::abs(screen.y - last.at.y) <= kDoubleClickSlop;
    if (paired && wantsDouble) {
      message += WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;  // the same step for all three buttons
      gLastPress = Press{};
    } else {
      gLastPress = Press{button, target, screen, now};
    }
  }
  QueueMouse(message, screen, shown);
}

void Desktop::Click(POINT screen) {
  MouseButton(VK_LBUTTON, true, screen);
  MouseButton(VK_LBUTTON, false, screen);
}

void Desktop::Key(int32_t virtualKey, bool down, bool extended) {
  bool alt = InputState::IsDown(VK_MENU) || (virtualKey == VK_MENU && down);
  const bool wasDown = InputState::IsDown(virtualKey);
  InputState::SetDown(virtualKey, down);
  HWND target = Manager().Focus() ? Manager().Focus() : Manager().Active();
  if (!target) return;
  // lParam: repeat count 1, bit 24 extended, bit 30 previous state, bit 31 transition (up).
  LPARAM lParam = 1;
  if (extended) lParam |= KF_EXTENDED_BIT;
  if (!down) lParam |= (LPARAM(1) << 30) | static_cast<LPARAM>(static_cast<int32_t>(0x80000000));
  if (down && wasDown) lParam |= LPARAM(1) << 30;  // a repeat
  bool ctrl = InputState::IsDown(VK_CONTROL);
  UINT message = (alt && !ctrl) ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  MessageQueue::Instance().Post(target, message, static_cast<WPARAM>(virtualKey), lParam);
}

void Desktop::Char(char16_t character) {
  HWND target = Manager().Focus() ? Manager().Focus() : Manager().Active();
  if (target) MessageQueue::Instance().Post(target, WM_CHAR, character, 1);
}

void Desktop::RequestClose(HWND window) {
  HWND top = Manager().TopLevelOf(window);
  if (!top) return;
  if (HWND capture = Manager().Capture()) {
    const WindowRecord* holder = Manager().Find(capture);
    // A caption-less top-level window that holds the capture (about box, splash, popup list) takes
    // presses outside itself as its dismissal: the close box is such a press, one pixel left of and
    // above its rectangle, so a list closes without taking the row under the pointer.
    if (holder && !(holder->style & WS_CHILD) && (holder->style & WS_CAPTION) != WS_CAPTION) {
      const POINT outside{holder->rect.left - 1, holder->rect.top - 1};
      MouseButton(VK_LBUTTON, true, outside);
      MouseButton(VK_LBUTTON, false, outside);
      return;
    }
    // Any other capture is a mouse task under way: it is cancelled (no release reaches it, so
    // nothing is committed) and the frame is asked to close as the keyboard would ask it.
    SendMessageW(capture, WM_CANCELMODE, 0, 0);
    if (Manager().Capture() == capture) Manager().ReleaseCapture();
  }
  // A disabled window takes no input, its close box included: while a modal loop holds its owner
  // (a box or a dialog is open over it) the request only beeps, and the box stays in charge.
  if (!IsWindowEnabled(top)) {
    MessageBeep(0);
    return;
  }
  MessageQueue::Instance().Post(top, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void Desktop::RequestResize(HWND window, WPARAM edge, RECT proposed) {
  RECT rect = proposed;
  SendMessageW(window, WM_SIZING, edge, reinterpret_cast<LPARAM>(&rect));
  if (IsWindow(window))
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 1);
}

Desktop::Waiter Desktop::SetWaiter(Waiter waiter) {
  Waiter old = std::move(gWaiter);
  gWaiter = std::move(waiter);
  return old;
}

void Desktop::WaitForWork() {
  if (gWaiter) {
    gWaiter();
    return;
  }
  while (!MessageQueue::Instance().WaitForPost(kPostWaitSlice)) {
  }
}

void Desktop::RecordBeep(UINT type) { gBeeps.push_back(type); }
const std::vector<UINT>& Desktop::Beeps() { return gBeeps; }
void Desktop::SetCurrentCursor(HCURSOR cursor) { gCursor = cursor; }
HCURSOR Desktop::CurrentCursor() { return gCursor; }

void Desktop::SetTaskBar(const RECT* rect) {
  gHasTaskBar = rect != nullptr;
  if (rect) gTaskBar = *rect;
}

bool Desktop::TaskBar(RECT* rect) {
  if (gHasTaskBar && rect) *rect = gTaskBar;
  return gHasTaskBar;
}

void Desktop::SetWorkArea(const RECT* rect) {
  gHasWorkArea = rect != nullptr && rect->right > rect->left && rect->bottom > rect->top;
  if (gHasWorkArea) gWorkArea = *rect;
}

RECT Desktop::WorkArea() {
  if (gHasWorkArea) return gWorkArea;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT bar;
  if (!TaskBar(&bar)) return area;
  // The bar takes a strip along one edge of the screen.
  if (bar.top > area.top && bar.left <= area.left && bar.right >= area.right)
    area.bottom = bar.top;
  else if (bar.bottom < area.bottom && bar.left <= area.left && bar.right >= area.right)
    area.top = bar.bottom;
  else if (bar.left > area.left)
    area.right = bar.left;
  else if (bar.right < area.right)
    area.left = bar.right;
  return area;
}

}  // namespace plat
