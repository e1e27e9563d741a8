#pragma once
// The layer's clock: milliseconds for GetTickCount and message times. The headless driver runs it by
// hand (tests set and advance it, so nothing waits on the wall clock); an interactive backend lets it
// follow the monotonic system clock.

#include <cstdint>
#include <functional>

namespace plat {

class LayerClock {
 public:
  // Milliseconds since an arbitrary start, wrapping at 2^32 like the platform's tick count.
  static uint32_t Now();
  // Manual mode: the clock stands at `ms` until it is set or advanced again.
  static void SetManual(uint32_t ms);
  static void Advance(uint32_t ms);
  // Lets `ms` milliseconds pass without spinning: the manual clock is advanced by them at once; on
  // the real one the user-interface thread reads the user's input meanwhile (ReadInput), other
  // threads sleep.
  static void Wait(uint32_t ms);
  // Real mode: the clock follows the monotonic system clock from its current reading on.
  static void SetReal();
  static bool IsManual();

  // A wait of the program's own (a double-click wait, a held slider button, a blink) lets the
  // display backend read the user's input meanwhile, so that the release it waits for can arrive.
  // The reader returns after at most `most` milliseconds, earlier when input came; it serves the
  // thread that installed it (the user-interface thread) and stays across a reset, as it belongs to
  // the backend. ReadInput is false when no reader serves the calling thread.
  using InputReader = std::function<void(uint32_t most)>;
  static void SetInputReader(InputReader reader);
  static bool ReadInput(uint32_t most);
};

}  // namespace plat
