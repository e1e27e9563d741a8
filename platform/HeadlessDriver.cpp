#include "platform/HeadlessDriver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/Desktop.h"
#include "platform/MessageQueue.h"
#include "platform/PngFile.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

// A queue that has not drained after this many messages is taken to loop for ever.
constexpr int32_t kRunUntilIdleLimit = 1'000'000;
constexpr std::chrono::milliseconds kDefaultIdleTimeout{5000};

// The test's answers for waiting loops; user-interface thread.
std::function<bool()> gIdleScript;
std::chrono::milliseconds gIdleTimeout = kDefaultIdleTimeout;

// A script holds references into the test that set it: no later test may run it.
[[maybe_unused]] const bool kReset = ResetList::Add("headless driver: idle script and timeout", [] {
  gIdleScript = nullptr;
  gIdleTimeout = kDefaultIdleTimeout;
});

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "headless driver: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

void WaitHeadless() {
  if (gIdleScript && gIdleScript()) return;
  if (!MessageQueue::Instance().WaitForPost(gIdleTimeout)) {
    Fail("a message loop waits for input that nothing will send (no idle script answered it)");
  }
}

}  // namespace

void HeadlessDriver::Reset() {
  Desktop::Reset();
  Desktop::SetWaiter(WaitHeadless);
}

int32_t HeadlessDriver::RunUntilIdle() {
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

void HeadlessDriver::SetIdleScript(std::function<bool()> script) { gIdleScript = std::move(script); }

void HeadlessDriver::SetIdleTimeout(std::chrono::milliseconds timeout) { gIdleTimeout = timeout; }

bool HeadlessDriver::DumpPng(HWND window, const std::string& path) {
  WindowManager& manager = WindowManager::Instance();
  Surface* pixels = manager.SurfaceOf(window);
  WindowRecord* top = manager.Find(manager.TopLevelOf(window));
  if (!top || !pixels) return false;
  // A child's pixels are its rectangle of the top-level surface.
  RECT r = manager.WindowRectOnScreen(window);
  int32_t dx = r.left - top->rect.left, dy = r.top - top->rect.top;
  Surface crop(std::max(1, r.right - r.left), std::max(1, r.bottom - r.top));
  for (int32_t y = 0; y < crop.Height(); ++y) {
    for (int32_t x = 0; x < crop.Width(); ++x) crop.SetPixel(x, y, pixels->Pixel(x + dx, y + dy));
  }
  return WritePng(crop, path);
}

}  // namespace plat
