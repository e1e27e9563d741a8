#pragma once
// Work the user-interface thread hands to one worker thread, to be done while it goes on with other
// things (the kernel clearing a surface's pages, a picture decoded ahead of its window). Jobs run one
// after another in the order they were posted; a job touches only what it was given (never the handle
// zone, never a window) and must not throw. The worker is made at the first Post and ends at Finish
// (and at the desktop's reset), so each run of the program makes its own.
//
// Post, Finish and Holding belong to the user-interface thread; WaitFor may be called from any
// thread but the worker.

#include <cstdint>
#include <functional>

namespace plat {

class BackgroundWork {
 public:
  // Tickets count up from 1; 0 is no job.
  using Ticket = uint64_t;

  // Queues `job` and answers its ticket. When no worker thread can be had the job is done at once,
  // on the calling thread, before Post returns.
  static Ticket Post(std::function<void()> job);
  // Waits until the job of `ticket` is done (at once for 0 or a job already done).
  static void WaitFor(Ticket ticket);
  // Whether the job of `ticket` is done.
  static bool Done(Ticket ticket);
  // Waits for every job posted and ends the worker.
  static void Finish();
  // Whether a worker thread exists.
  static bool Running();
};

}  // namespace plat
