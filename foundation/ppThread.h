// Base class of the program's worker threads.
//
// A derived class supplies Run, the thread's body. The object belongs to its thread: when Run
// returns, the thread deletes the object through its virtual destructor, so the creator keeps no
// pointer to it once Run can have ended and never deletes it itself.
//
// A thread created suspended waits before Run until Resume. Suspend and Resume count like the
// system's: each Suspend needs one Resume. A thread suspends itself by calling Suspend from Run (it
// then waits for a Resume); a Suspend from another thread takes effect at the worker's next Sleep or
// CheckSuspended. Stopping is cooperative: Terminate asks the thread to stop, ending any Sleep or
// suspension at once; Run polls StopRequested and returns. A thread stopped before it started never
// runs Run. Either way the thread deletes the object.
//
// A thread created running may call Run before a derived constructor has finished; a derived class
// with members of its own is therefore created suspended and resumed once constructed.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class ppThread {
 public:
  explicit ppThread(bool suspended);
  virtual ~ppThread();
  ppThread(const ppThread&) = delete;
  ppThread& operator=(const ppThread&) = delete;

  // The thread's body, run on the new thread.
  virtual void Run() = 0;

  // Asks the thread to stop and wakes it; the object is deleted by its thread once Run returns
  // (at once when the thread could not be started). The caller must not touch the object after.
  void Terminate();
  // The calling thread sleeps `milliseconds`; on the object's own thread a stop request ends the
  // sleep early (and a pending Suspend from another thread is honoured first).
  void Sleep(uint32_t milliseconds);
  void Suspend();
  // Undoes one Suspend; no effect on a thread that is not suspended.
  void Resume();
  // On the object's own thread: waits while a Suspend from another thread is pending.
  void CheckSuspended();
  bool StopRequested();
  // Suspends not yet undone by Resume (lets a caller see that a self-suspend has begun).
  uint32_t SuspendCount();

  bool IsStarted() const { return started; }

  uint32_t threadId = 0;  // process-unique number given at the start, 0 when not started

 private:
  static void ThreadMain(ppThread* self);
  bool OnOwnThread() const { return std::this_thread::get_id() == workerId; }
  void WaitWhileSuspended(std::unique_lock<std::mutex>& lock);

  bool started = false;
  std::thread::id workerId;
  std::mutex mutex;
  std::condition_variable wake;
  uint32_t suspendCount = 0;
  bool stopRequested = false;
};
