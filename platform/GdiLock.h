#pragma once
// The lock around the drawing layer's tables of live objects and contexts. It is held for a look-up or
// an insertion, a few dozen instructions, on every drawing call; a mutex would cost more than the work
// it guards. A thread that finds it held gives way to the others until it is free.

#include <atomic>
#include <thread>

namespace plat {

class GdiLock {
 public:
  void lock() {
    while (held_.exchange(true, std::memory_order_acquire))
      while (held_.load(std::memory_order_relaxed)) std::this_thread::yield();
  }
  void unlock() { held_.store(false, std::memory_order_release); }

 private:
  std::atomic<bool> held_{false};
};

}  // namespace plat
