#include "platform/ScreenMetrics.h"

#include <algorithm>
#include <atomic>

#include "platform/ResetList.h"

namespace plat {
namespace {

constexpr int32_t kStartWidth = 1280;
constexpr int32_t kStartHeight = 1024;

// Set on the user-interface thread (by tests and the backend), read from any thread (a worker sizing
// an off-screen picture).
std::atomic<int32_t> gWidth{kStartWidth};
std::atomic<int32_t> gHeight{kStartHeight};
std::atomic<int32_t> gFullWidth{kStartWidth};
std::atomic<int32_t> gFullHeight{kStartHeight};
constexpr int32_t kStartDepth = 32;
std::atomic<int32_t> gDepth{kStartDepth};

[[maybe_unused]] const bool kReset = ResetList::Add("screen metrics", [] {
  SetVirtualScreenSize(kStartWidth, kStartHeight);
  gDepth = kStartDepth;
});

}  // namespace

int32_t GetSystemMetrics(int32_t index) {
  switch (index) {
    case SM_CXSCREEN:
      return gWidth;
    case SM_CYSCREEN:
      return gHeight;
    case SM_CXFULLSCREEN:
      return gFullWidth;
    case SM_CYFULLSCREEN:
      return gFullHeight;
    default:
      return 0;
  }
}

void SetVirtualScreenSize(int32_t width, int32_t height) {
  gWidth = std::max(width, 1);
  gHeight = std::max(height, 1);
  gFullWidth = gWidth.load();
  gFullHeight = gHeight.load();
}

int32_t ScreenColorDepth() { return gDepth; }

void SetScreenColorDepth(int32_t bits) { gDepth = std::max(bits, 1); }

void SetFullScreenClientSize(int32_t width, int32_t height) {
  gFullWidth = std::clamp(width, 0, gWidth.load());
  gFullHeight = std::clamp(height, 0, gHeight.load());
}

}  // namespace plat
