#pragma once
// Waiting in a test for work on another thread, never longer than a deadline. A thread still busy
// at the deadline may be blocked for good and may still use the test's locals, so the test binary
// ends at once with a message that names what did not happen, instead of hanging the run.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <thread>

namespace testwait {

// Long enough for a loaded machine under the sanitizers; a fault that blocks a thread waits forever.
inline constexpr std::chrono::milliseconds kDeadline{10'000};

[[noreturn]] inline void EndTests(const char* what, std::chrono::milliseconds deadline) {
  ADD_FAILURE() << what << ": not done within " << deadline.count() << " ms";
  std::fflush(stdout);
  std::fprintf(stderr, "%s: not done within %lld ms; the tests end here instead of hanging\n", what,
               static_cast<long long>(deadline.count()));
  std::abort();
}

// Waits until `future` is ready.
template <class T>
void WaitOrEnd(const std::future<T>& future, const char* what,
               std::chrono::milliseconds deadline = kDeadline) {
  if (future.wait_for(deadline) != std::future_status::ready) EndTests(what, deadline);
}

// Waits until `done` answers true, asking it again and again.
inline void WaitUntilOrEnd(const std::function<bool()>& done, const char* what,
                           std::chrono::milliseconds deadline = kDeadline) {
  auto end = std::chrono::steady_clock::now() + deadline;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) EndTests(what, deadline);
    std::this_thread::yield();
  }
}

// Runs `body` on a thread of its own and waits for it to finish.
inline void RunOnOtherThread(const std::function<void()>& body, const char* what) {
  std::promise<void> finished;
  std::future<void> done = finished.get_future();
  std::thread worker([&] {
    body();
    finished.set_value();
  });
  WaitOrEnd(done, what);
  worker.join();
}

// Waits for the child process `pid` to end and answers its wait status. A child still running at the
// deadline is killed first. (Where the kernel gives no process handle, the wait has no deadline.)
inline int WaitForChildOrEnd(pid_t pid, const char* what, std::chrono::milliseconds deadline = kDeadline) {
  int status = 0;
  int handle = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (handle >= 0) {
    pollfd ended{handle, POLLIN, 0};
    int ready = poll(&ended, 1, static_cast<int>(deadline.count()));
    close(handle);
    if (ready != 1) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      EndTests(what, deadline);
    }
  }
  waitpid(pid, &status, 0);
  return status;
}

}  // namespace testwait
