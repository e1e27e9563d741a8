#pragma once
// The layer's clock: milliseconds for GetTickCount and message times. The headless driver runs it by
// hand (tests set and advance it, so nothing waits on the wall clock); an interactive backend lets it
// follow the monotonic system clock.

#include <cstdint>

namespace plat {

class LayerClock {
 public:
  // Milliseconds since an arbitrary start, wrapping at 2^32 like the platform's tick count.
  static uint32_t Now();
  // Manual mode: the clock stands at `ms` until it is set or advanced again.
  static void SetManual(uint32_t ms);
  static void Advance(uint32_t ms);
  // Lets `ms` milliseconds pass without spinning: the manual clock is advanced by them at once, the
  // real one is slept on (the calling thread blocks).
  static void Wait(uint32_t ms);
  // Real mode: the clock follows the monotonic system clock from its current reading on.
  static void SetReal();
  static bool IsManual();
};

}  // namespace plat
