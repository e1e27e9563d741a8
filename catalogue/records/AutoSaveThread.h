// The autosave thread: every "autosave minutes" of the preferences (below 1 counts as 1) it waits,
// in steps of one second, until the document window has no mouse task and no sweeper is pending,
// and then, when autosave is switched on, the frame is the foreground window and no save runs, posts
// WM_COMMAND 4020 (parameter 0) to the document window. The save itself runs on the interface thread.
//
// Made suspended by zelvproDocFil::StartAutoSaveThread and resumed once built; it runs until a stop
// request (ppThread::Terminate) and then deletes itself, signalling its Finished record from its
// destructor, so the stopping thread can wait for it however it ended.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "foundation/ppThread.h"
#include "platform/WindowTypes.h"

class iAutoSaveWaiter;
class ppWindow;

// The autosave state: 0 no thread, 2 running, 1 being stopped. Written by the interface thread that
// starts and stops the thread, read by anyone.
extern std::atomic<int32_t> AutoSaveState;
// Set by the interface thread while a document is sent to the server; the autosave neither posts
// nor writes while it is set.
extern std::atomic<bool> SaveInProgress;

class AutoSaveThread : public ppThread {
 public:
  static constexpr int32_t kStateNone = 0, kStateStopping = 1, kStateRunning = 2;
  static constexpr int32_t kAutoSaveCommand = 4020;
  static constexpr uint32_t kIdleStep = 1000;  // milliseconds between tests for a busy window

  // Signalled once the thread object is gone.
  class Finished {
   public:
    void Signal();
    void Wait();
    bool IsDone();

   private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool isDone_ = false;
  };

  // Suspended. The window objects and the waiter (null: the thread's own sleep) must outlive the
  // thread.
  AutoSaveThread(ppWindow& documentWindow, plat::HWND frame, iAutoSaveWaiter* waiter,
                 std::shared_ptr<Finished> finished);
  ~AutoSaveThread() override;

  void Run() override;

 private:
  bool Pause(uint32_t milliseconds);
  bool WindowBusy() const;
  bool MayPost() const;

  ppWindow& documentWindow_;
  plat::HWND frame_;
  iAutoSaveWaiter* waiter_;
  std::shared_ptr<Finished> finished_;
};
