#include "catalogue/records/AutoSaveThread.h"

#include <algorithm>
#include <limits>

#include "catalogue/records/iAutoSaveWaiter.h"
#include "foundation/UserPreferences.h"
#include "framework/ppSweeper.h"
#include "framework/ppWindow.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"

std::atomic<int32_t> AutoSaveState{AutoSaveThread::kStateNone};
std::atomic<bool> SaveInProgress{false};

namespace {
// A reset ends no thread: the document window stops its autosave thread before the desktop is reset.
[[maybe_unused]] const bool kReset = plat::ResetList::Add("autosave state and save-in-progress flag", [] {
  AutoSaveState = AutoSaveThread::kStateNone;
  SaveInProgress = false;
});
}  // namespace

namespace {

constexpr uint64_t kMillisecondsPerMinute = 60000;

// The preference words are written by the interface thread (preferences dialog); this thread only
// reads single aligned words of them.
uint32_t ReadPreference(uint32_t& word) { return std::atomic_ref<uint32_t>(word).load(); }

uint32_t IntervalMilliseconds() {
  const uint64_t minutes = std::max<uint32_t>(1, ReadPreference(Preferences().autosaveMinutes));
  return uint32_t(std::min<uint64_t>(minutes * kMillisecondsPerMinute, std::numeric_limits<uint32_t>::max()));
}

bool AutoSaveSwitchedOn() { return ReadPreference(Preferences().autosaveEnabled) != 0; }

}  // namespace

void AutoSaveThread::Finished::Signal() {
  std::lock_guard<std::mutex> guard(mutex_);
  isDone_ = true;
  done_.notify_all();
}

void AutoSaveThread::Finished::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return isDone_; });
}

bool AutoSaveThread::Finished::IsDone() {
  std::lock_guard<std::mutex> guard(mutex_);
  return isDone_;
}

AutoSaveThread::AutoSaveThread(ppWindow& documentWindow, plat::HWND frame, iAutoSaveWaiter* waiter,
                               std::shared_ptr<Finished> finished)
    : ppThread(true),
      documentWindow_(documentWindow),
      frame_(frame),
      waiter_(waiter),
      finished_(std::move(finished)) {}

AutoSaveThread::~AutoSaveThread() { finished_->Signal(); }

bool AutoSaveThread::Pause(uint32_t milliseconds) {
  if (waiter_ != nullptr) return waiter_->Wait(*this, milliseconds) && !StopRequested();
  Sleep(milliseconds);
  return !StopRequested();
}

bool AutoSaveThread::WindowBusy() const {
  return documentWindow_.MouseTask() != nullptr || AnySweeperPending();
}

bool AutoSaveThread::MayPost() const {
  return plat::GetForegroundWindow() == frame_ && !SaveInProgress.load();
}

void AutoSaveThread::Run() {
  bool stopped = false;
  while (!stopped) {
    stopped = !Pause(IntervalMilliseconds());
    if (stopped || !AutoSaveSwitchedOn()) continue;
    while (!stopped && WindowBusy()) stopped = !Pause(kIdleStep);
    if (!stopped && MayPost())
      plat::PostMessageA(documentWindow_.GetHWND(), plat::WM_COMMAND, kAutoSaveCommand, 0);
  }
  // Whoever holds this object may still call Terminate: live until the stop request arrives.
  while (!StopRequested()) Sleep(kIdleStep);
}
