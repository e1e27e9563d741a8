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
  if (gManual)
    gManualNow += ms;
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void LayerClock::SetReal() {
  if (!gManual) return;
  gRealBase = gManualNow.load();
  gRealStartMs = SteadyMs();
  gManual = false;
}

bool LayerClock::IsManual() { return gManual; }

}  // namespace plat
