#include "platform/HeadlessBackend.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/InputState.h"
#include "platform/LayerClock.h"
#include "platform/MessageQueue.h"
#include "platform/MessageTrace.h"
#include "platform/PngFile.h"
#include "platform/ScreenMetrics.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

// A queue that has not drained after this many messages is taken to loop for ever.
constexpr int32_t kRunUntilIdleLimit = 1'000'000;

std::function<bool()> gIdleScript;
std::function<void()> gWaitHook;
std::chrono::milliseconds gIdleTimeout{5000};
std::vector<UINT> gBeeps;
HCURSOR gCursor = nullptr;
bool gHasTaskBar = false;
RECT gTaskBar;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "headless backend: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

WindowManager& Manager() { return WindowManager::Instance(); }

HWND MouseTarget(POINT screen) {
  if (HWND capture = Manager().Capture()) return capture;
  return Manager().HitTest(screen);
}

void QueueMouse(UINT message, POINT screen) {
  HWND target = MouseTarget(screen);
  if (!target) return;
  POINT local = Manager().ScreenToClient(target, screen);
  MessageQueue::Instance().Post(target, message, InputState::MouseKeyFlags(), MAKELPARAM(local.x, local.y));
}

}  // namespace

void HeadlessBackend::Reset() {
  Manager().Reset();
  MessageQueue::Instance().Clear();
  InputState::Reset();
  LayerClock::SetManual(0);
  SetVirtualScreenSize(1280, 1024);
  MessageTrace::Stop();
  gIdleScript = nullptr;
  gIdleTimeout = std::chrono::milliseconds(5000);
  gBeeps.clear();
  gCursor = nullptr;
  gHasTaskBar = false;
}

void HeadlessBackend::MouseMove(POINT screen) {
  InputState::SetCursorPos(screen);
  QueueMouse(WM_MOUSEMOVE, screen);
}

void HeadlessBackend::MouseButton(int32_t button, bool down, POINT screen) {
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
  HWND target = MouseTarget(screen);
  if (down && target && !Manager().Capture()) {
    HWND top = Manager().TopLevelOf(target);
    if (top != Manager().Active()) Manager().SetActive(top);
  }
  QueueMouse(message, screen);
}

void HeadlessBackend::Click(POINT screen) {
  MouseButton(VK_LBUTTON, true, screen);
  MouseButton(VK_LBUTTON, false, screen);
}

void HeadlessBackend::Key(int32_t virtualKey, bool down, bool extended) {
  bool alt = InputState::IsDown(VK_MENU) || (virtualKey == VK_MENU && down);
  InputState::SetDown(virtualKey, down);
  HWND target = Manager().Focus() ? Manager().Focus() : Manager().Active();
  if (!target) return;
  // lParam: repeat count 1, bit 24 extended, bit 30 previous state, bit 31 transition (up).
  LPARAM lParam = 1;
  if (extended) lParam |= KF_EXTENDED_BIT;
  if (!down) lParam |= (LPARAM(1) << 30) | static_cast<LPARAM>(static_cast<int32_t>(0x80000000));
  bool ctrl = InputState::IsDown(VK_CONTROL);
  UINT message = (alt && !ctrl) ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  MessageQueue::Instance().Post(target, message, static_cast<WPARAM>(virtualKey), lParam);
}

void HeadlessBackend::Char(char16_t character) {
  HWND target = Manager().Focus() ? Manager().Focus() : Manager().Active();
  if (target) MessageQueue::Instance().Post(target, WM_CHAR, character, 1);
}

void HeadlessBackend::RequestClose(HWND window) {
  MessageQueue::Instance().Post(Manager().TopLevelOf(window), WM_SYSCOMMAND, SC_CLOSE, 0);
}

void HeadlessBackend::RequestResize(HWND window, WPARAM edge, RECT proposed) {
  RECT rect = proposed;
  SendMessageW(window, WM_SIZING, edge, reinterpret_cast<LPARAM>(&rect));
  if (IsWindow(window))
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 1);
}

int32_t HeadlessBackend::RunUntilIdle() {
  int32_t count = 0;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_QUIT) break;  // belongs to the loop that posted it
    PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (msg.message == WM_PAINT && WindowManager::Instance().Find(msg.hwnd) &&
        WindowManager::Instance().Find(msg.hwnd)->update) {
      ValidateRect(msg.hwnd, nullptr);  // a procedure that never validates would repaint for ever
    }
    if (++count > kRunUntilIdleLimit) Fail("run until idle: the queue never drained");
  }
  return count;
}

void HeadlessBackend::SetIdleScript(std::function<bool()> script) { gIdleScript = std::move(script); }

void HeadlessBackend::SetIdleTimeout(std::chrono::milliseconds timeout) { gIdleTimeout = timeout; }

void HeadlessBackend::SetWaitHook(std::function<void()> hook) { gWaitHook = std::move(hook); }

void HeadlessBackend::WaitForWork() {
  if (gWaitHook) {
    gWaitHook();
    return;
  }
  if (gIdleScript && gIdleScript()) return;
  if (!MessageQueue::Instance().WaitForPost(gIdleTimeout)) {
    Fail("a message loop waits for input that nothing will send (no idle script answered it)");
  }
}

void HeadlessBackend::RecordBeep(UINT type) { gBeeps.push_back(type); }
const std::vector<UINT>& HeadlessBackend::Beeps() { return gBeeps; }
void HeadlessBackend::SetCurrentCursor(HCURSOR cursor) { gCursor = cursor; }
HCURSOR HeadlessBackend::CurrentCursor() { return gCursor; }

void HeadlessBackend::SetTaskBar(const RECT* rect) {
  gHasTaskBar = rect != nullptr;
  if (rect) gTaskBar = *rect;
}

bool HeadlessBackend::TaskBar(RECT* rect) {
  if (gHasTaskBar && rect) *rect = gTaskBar;
  return gHasTaskBar;
}

bool HeadlessBackend::DumpPng(HWND window, const std::string& path) {
  WindowRecord* top = Manager().Find(Manager().TopLevelOf(window));
  if (!top || !top->surface) return false;
  // A child's pixels are its rectangle of the top-level surface.
  RECT r = Manager().WindowRectOnScreen(window);
  int32_t dx = r.left - top->rect.left, dy = r.top - top->rect.top;
  Surface crop(std::max(1, r.right - r.left), std::max(1, r.bottom - r.top));
  for (int32_t y = 0; y < crop.Height(); ++y) {
    for (int32_t x = 0; x < crop.Width(); ++x) crop.SetPixel(x, y, top->surface->Pixel(x + dx, y + dy));
  }
  return WritePng(crop, path);
}

}  // namespace plat
