#include "platform/BackgroundWork.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/ResetList.h"

namespace plat {

namespace {

// The queue and its worker. Jobs finish in the order posted, so one number says which are done.
// Guarded by `lock`; the thread object itself belongs to the user-interface thread.
struct Work {
  std::mutex lock;
  std::condition_variable changed;
  std::deque<std::pair<BackgroundWork::Ticket, std::function<void()>>> queue;
  BackgroundWork::Ticket posted = 0;
  BackgroundWork::Ticket done = 0;
  bool ending = false;
  std::thread worker;
  // A worker still there when the process ends finishes its jobs and is waited for.
  ~Work() { BackgroundWork::Finish(); }
};
Work gWork;

void RunJob(std::function<void()>& job) {
  try {
    job();
  } catch (...) {
    // A job must not throw; one that does is over, and the ones after it still run.
  }
}

void WorkerLoop() {
  std::unique_lock<std::mutex> hold(gWork.lock);
  for (;;) {
    gWork.changed.wait(hold, [] { return !gWork.queue.empty() || gWork.ending; });
    if (gWork.queue.empty()) return;  // ending, and nothing left to do
    auto [ticket, job] = std::move(gWork.queue.front());
    gWork.queue.pop_front();
    hold.unlock();
    RunJob(job);
    job = nullptr;  // what the job held goes before it counts as done
    hold.lock();
    gWork.done = ticket;
    gWork.changed.notify_all();
  }
}

[[maybe_unused]] const bool kReset =
    ResetList::Add("background work: the worker and its queue", [] { BackgroundWork::Finish(); });

}  // namespace

BackgroundWork::Ticket BackgroundWork::Post(std::function<void()> job) {
  std::unique_lock<std::mutex> hold(gWork.lock);
  const Ticket ticket = ++gWork.posted;
  if (!gWork.worker.joinable()) {
    try {
      gWork.ending = false;
      gWork.worker = std::thread(WorkerLoop);
    } catch (const std::system_error&) {
      // No thread to spare: the job is done here and now, after those before it.
      hold.unlock();
      RunJob(job);
      hold.lock();
      gWork.done = ticket;
      gWork.changed.notify_all();
      return ticket;
    }
  }
  gWork.queue.emplace_back(ticket, std::move(job));
  gWork.changed.notify_all();
  return ticket;
}

void BackgroundWork::WaitFor(Ticket ticket) {
  std::unique_lock<std::mutex> hold(gWork.lock);
  gWork.changed.wait(hold, [ticket] { return gWork.done >= ticket; });
}

bool BackgroundWork::Done(Ticket ticket) {
  std::lock_guard<std::mutex> hold(gWork.lock);
  return gWork.done >= ticket;
}

void BackgroundWork::Finish() {
  {
    std::lock_guard<std::mutex> hold(gWork.lock);
    if (!gWork.worker.joinable()) return;
    gWork.ending = true;
    gWork.changed.notify_all();
  }
  gWork.worker.join();
  std::lock_guard<std::mutex> hold(gWork.lock);
  gWork.ending = false;
}

bool BackgroundWork::Running() {
  std::lock_guard<std::mutex> hold(gWork.lock);
  return gWork.worker.joinable();
}

}  // namespace plat
