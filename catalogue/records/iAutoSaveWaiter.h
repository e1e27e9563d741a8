// How the autosave thread waits: a pause of the given length that a stop request cuts short. The
// program waits on the thread itself; tests install a waiter that they step by hand.
#pragma once

#include <cstdint>

class ppThread;

class iAutoSaveWaiter {
 public:
  virtual ~iAutoSaveWaiter() = default;

  // Called on the autosave thread. Answers false when the thread is to stop.
  virtual bool Wait(ppThread& thread, uint32_t milliseconds) = 0;
  // Called by the thread that stops the autosave, after the stop request: a waiter that does not
  // wait on `thread` itself ends its wait here.
  virtual void Wake() {}
};
