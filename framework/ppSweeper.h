#pragma once
// Deferred work: a sweeper is posted to a window when it is made, and the window runs its Sweep and
// deletes it when it takes the message (WM_APP + 0x100, lParam = the sweeper) from the queue, that is
// after every message queued before it and after the code that made it has returned to the loop.
// Sweepers are made with new and belong to the queue until they have run. A process-wide count says
// how many exist; the autosave thread reads it, so it is atomic.

#include <cstdint>

#include "platform/WindowTypes.h"

class ppSweeper {
 public:
  static constexpr plat::UINT kMessage = plat::WM_APP + 0x100;

  // Posts the sweeper to `window`. When the window is gone the sweeper is never run: it is handed to
  // the queue as a message without a window, and the layer's handler deletes it once this constructor
  // (and the derived one) has finished.
  explicit ppSweeper(plat::HWND window);
  virtual ~ppSweeper();
  ppSweeper(const ppSweeper&) = delete;
  ppSweeper& operator=(const ppSweeper&) = delete;

  virtual void Sweep();

  // What a receiver does with the sweeper message: run the sweeper, then delete it.
  static void RunAndDelete(plat::LPARAM lParam);
  // The number of sweepers made and not yet deleted.
  static int32_t PendingCount();
};

// True while a sweeper is pending; the autosave thread polls it.
bool AnySweeperPending();
