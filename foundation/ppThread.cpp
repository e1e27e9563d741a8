#include "foundation/ppThread.h"

#include <atomic>
#include <chrono>
#include <system_error>

namespace {
// Any thread; ids never repeat in a process, so no reset touches it.
std::atomic<uint32_t> gNextThreadId{1};
}  // namespace

ppThread::ppThread(bool suspended) {
  // The worker takes the lock before anything else, so it sees every member set here.
  std::lock_guard<std::mutex> guard(mutex);
  suspendCount = suspended ? 1 : 0;
  try {
    std::thread worker(&ppThread::ThreadMain, this);
    workerId = worker.get_id();
    worker.detach();
    started = true;
    threadId = gNextThreadId.fetch_add(1);
  } catch (const std::system_error&) {
    started = false;  // the system refused a thread; the object stays idle
  }
}

ppThread::~ppThread() = default;

void ppThread::ThreadMain(ppThread* self) {
  bool stop;
  {
    std::unique_lock<std::mutex> lock(self->mutex);
    self->WaitWhileSuspended(lock);
    stop = self->stopRequested;
  }
  if (!stop) self->Run();
  delete self;
}

void ppThread::WaitWhileSuspended(std::unique_lock<std::mutex>& lock) {
  wake.wait(lock, [this] { return suspendCount == 0 || stopRequested; });
}

void ppThread::Terminate() {
  if (!started) {
    delete this;
    return;
  }
  std::lock_guard<std::mutex> guard(mutex);
  stopRequested = true;
  wake.notify_all();
}

void ppThread::Sleep(uint32_t milliseconds) {
  if (!OnOwnThread()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return;
  }
  std::unique_lock<std::mutex> lock(mutex);
  WaitWhileSuspended(lock);
  wake.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return stopRequested; });
}

void ppThread::Suspend() {
  std::unique_lock<std::mutex> lock(mutex);
  ++suspendCount;
  if (OnOwnThread()) WaitWhileSuspended(lock);
}

void ppThread::Resume() {
  std::lock_guard<std::mutex> guard(mutex);
  if (suspendCount > 0) --suspendCount;
  if (suspendCount == 0) wake.notify_all();
}

void ppThread::CheckSuspended() {
  if (!OnOwnThread()) return;
  std::unique_lock<std::mutex> lock(mutex);
  WaitWhileSuspended(lock);
}

bool ppThread::StopRequested() {
  std::lock_guard<std::mutex> guard(mutex);
  return stopRequested;
}

uint32_t ppThread::SuspendCount() {
  std::lock_guard<std::mutex> guard(mutex);
  return suspendCount;
}
