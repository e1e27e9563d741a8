#include "platform/LayerClock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/ResetList.h"

namespace plat {
namespace {

// Set on the user-interface thread, read from any thread (message times).
std::atomic<bool> gManual{true};
std::atomic<uint32_t> gManualNow{0};
// In real mode: the reading of the manual clock when real mode began, and the system time then.
std::atomic<uint32_t> gRealBase{0};
std::atomic<int64_t> gRealStartMs{0};

// The display backend's input reader and the thread it serves; set by the backend on the
// user-interface thread, off the reset list (it belongs to the backend).
LayerClock::InputReader gInputReader;
std::thread::id gReaderThread;

[[maybe_unused]] const bool kReset = ResetList::Add("layer clock", [] { LayerClock::SetManual(0); });

int64_t SteadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

uint32_t LayerClock::Now() {
  if (gManual) return gManualNow;
  return gRealBase + static_cast<uint32_t>(SteadyMs() - gRealStartMs);
}

void LayerClock::SetManual(uint32_t ms) {
  gManualNow = ms;
  gManual = true;
}

void LayerClock::Advance(uint32_t ms) {
  if (gManual) gManualNow += ms;
}

void LayerClock::Wait(uint32_t ms) {
  if (gManual) {
    gManualNow += ms;
    return;
  }
  // The user's input keeps arriving while the program waits: the release a held button waits for
  // must reach the queue.
  const int64_t deadline = SteadyMs() + ms;
  for (int64_t left; (left = deadline - SteadyMs()) > 0;) {
    if (!ReadInput(uint32_t(left))) {
      std::this_thread::sleep_for(std::chrono::milliseconds(left));
      return;
    }
  }
}

void LayerClock::SetReal() {
  if (!gManual) return;
  gRealBase = gManualNow.load();
  gRealStartMs = SteadyMs();
  gManual = false;
}

bool LayerClock::IsManual() { return gManual; }

void LayerClock::SetInputReader(InputReader reader) {
  gInputReader = std::move(reader);
  gReaderThread = std::this_thread::get_id();
}

bool LayerClock::ReadInput(uint32_t most) {
  if (!gInputReader || std::this_thread::get_id() != gReaderThread) return false;
  gInputReader(most);
  return true;
}

}  // namespace plat
