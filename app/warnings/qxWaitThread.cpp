#include "app/warnings/qxWaitThread.h"

#include <chrono>

#include "platform/LayerClock.h"
#include "platform/WindowApi.h"

namespace {
// How often a wait on the manual clock looks whether a test has moved it (real milliseconds).
constexpr int32_t kManualPollMs = 2;
}  // namespace

qxWaitThread::qxWaitThread(plat::HWND window, qxFadeSweeper* sweeper)
    : ppThread(true), window_(window), sweeper_(sweeper) {}

void qxWaitThread::Start() {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    // The wait runs from the show that starts it, however late the thread wakes.
    if (!state_->showPending) state_->shownAt = plat::LayerClock::Now();
    state_->showPending = true;
  }
  state_->wake.notify_all();
  if (!started_) {
    started_ = true;
    Resume();
  }
}

void qxWaitThread::Stop() {
  if (!started_ || !IsStarted()) {
    Terminate();  // never ran: the object goes at once or when its thread wakes
    return;
  }
  std::shared_ptr<State> state = state_;  // the thread may delete itself as soon as it sees stop
  {
    std::lock_guard<std::mutex> lock(state->mutex);
    state->stop = true;
  }
  state->wake.notify_all();
}

uint32_t qxWaitThread::WaitsBegun() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->waits;
}

bool qxWaitThread::Idle() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->idle && !state_->showPending;
}

bool qxWaitThread::WaitOnLayerClock(uint32_t deadline) {
  std::unique_lock<std::mutex> lock(state_->mutex);
  for (;;) {
    if (state_->stop) return false;
    const int32_t left = static_cast<int32_t>(deadline - plat::LayerClock::Now());
    if (left <= 0) return true;
    const int32_t step = plat::LayerClock::IsManual() ? kManualPollMs : left;
    state_->wake.wait_for(lock, std::chrono::milliseconds(step), [&] { return state_->stop; });
  }
}

void qxWaitThread::Run() {
  std::shared_ptr<State> state = state_;
  for (;;) {
    uint32_t deadline = 0;
    {
      std::unique_lock<std::mutex> lock(state->mutex);
      state->idle = true;
      state->wake.wait(lock, [&] { return state->showPending || state->stop; });
      if (state->stop) return;
      state->idle = false;
      state->showPending = false;
      deadline = state->shownAt + kCloseAfterMs;
      ++state->waits;
    }
    if (!WaitOnLayerClock(deadline)) return;
    {
      // Shows during the wait are covered by it; one after this point starts the next wait.
      std::lock_guard<std::mutex> lock(state->mutex);
      state->showPending = false;
      if (state->stop) return;
    }
    plat::PostMessageA(window_, kSweepMessage, 0, reinterpret_cast<plat::LPARAM>(sweeper_));
  }
}
