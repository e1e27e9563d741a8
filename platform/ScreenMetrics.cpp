#include "platform/ScreenMetrics.h"

#include <algorithm>
#include <atomic>

namespace plat {
namespace {

// Read from any thread (a worker sizing an off-screen picture), set by tests and the backend.
std::atomic<int32_t> g_width{1280};
std::atomic<int32_t> g_height{1024};
std::atomic<int32_t> g_fullWidth{1280};
std::atomic<int32_t> g_fullHeight{1024};

}  // namespace

int32_t GetSystemMetrics(int32_t index) {
  switch (index) {
    case SM_CXSCREEN:
      return g_width;
    case SM_CYSCREEN:
      return g_height;
    case SM_CXFULLSCREEN:
      return g_fullWidth;
    case SM_CYFULLSCREEN:
      return g_fullHeight;
    default:
      return 0;
  }
}

void SetVirtualScreenSize(int32_t width, int32_t height) {
  g_width = std::max(width, 1);
  g_height = std::max(height, 1);
  g_fullWidth = g_width.load();
  g_fullHeight = g_height.load();
}

void SetFullScreenClientSize(int32_t width, int32_t height) {
  g_fullWidth = std::clamp(width, 0, g_width.load());
  g_fullHeight = std::clamp(height, 0, g_height.load());
}

}  // namespace plat
