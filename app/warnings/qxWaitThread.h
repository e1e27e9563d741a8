// The warning window's closing clock: each show of a warning starts a wait of 5,000 ms on the layer's
// clock (counted from the show), after which the thread posts the window's fade sweeper to it (message
// 0x8100) and waits for the next show. A show while a wait runs changes nothing, so the window closes 5,000
// ms after the first of several shows. With the manual (headless) clock the wait ends once a test has
// advanced the clock past its end; with the real clock it is a real wait.
//
// Created suspended; the first Start begins Run. The thread never touches the window object, only
// posts to its handle. Ownership: like every ppThread the object deletes itself when Run ends; the
// window ends it with Stop and never touches it after. Start and Stop: user-interface thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "foundation/ppThread.h"
#include "platform/WindowTypes.h"

class qxFadeSweeper;

class qxWaitThread : public ppThread {
 public:
  static constexpr uint32_t kCloseAfterMs = 5000;
  static constexpr plat::UINT kSweepMessage = 0x8100;

  // `window` and `sweeper` are the warning window's; the sweeper stays the window's.
  qxWaitThread(plat::HWND window, qxFadeSweeper* sweeper);

  void Run() override;
  // Starts a wait unless one runs (the first call also starts the thread).
  void Start();
  // Ends the thread (it deletes itself); the caller must not touch the object afterwards.
  void Stop();

  // Waits begun so far (tests).
  uint32_t WaitsBegun() const;
  // True while the thread waits for a show (no wait running); tests poll it.
  bool Idle() const;

 private:
  // What the thread and its stopper share: kept alive by both, so that Stop never reaches a thread
  // object that has already deleted itself.
  struct State {
    mutable std::mutex mutex;
    std::condition_variable wake;
    bool showPending = false;
    bool stop = false;
    bool idle = false;
    uint32_t waits = 0;
    uint32_t shownAt = 0;  // layer-clock milliseconds of the show that starts the next wait
  };
  // Waits on the layer's clock until `deadline`; false when stopped meanwhile.
  bool WaitOnLayerClock(uint32_t deadline);

  plat::HWND window_;
  qxFadeSweeper* sweeper_;  // not owned
  std::shared_ptr<State> state_ = std::make_shared<State>();
  bool started_ = false;  // user-interface thread
};
