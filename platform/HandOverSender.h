#pragma once
// The second start's side of the instance hand-over: the command line text goes to the running
// instance that holds the instance lock the second start found held, and the sender waits until that
// instance's user-interface thread has handled it. The hand-over is the abstract local socket named
// after the lock file's path (SocketName), so that the lock and the hand-over always name the same
// running program: two instances of one name under different runtime folders each have their own.
//
// On the wire: the text's length in bytes (32 bits, little-endian, at most kMaxTextBytes), the text
// (UTF-8, no NUL), then one byte back: 'A' handled, 'R' refused. Either side talks only to a peer of
// the same user id (the kernel's peer credentials), so another user cannot feed or impersonate an
// instance by taking the name first.
//
// Used by the program entry on the user-interface thread, before any window exists. The time limit
// override is process-wide, belongs to the user-interface thread and is on the reset list.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

class HandOverSender {
 public:
  static constexpr size_t kMaxTextBytes = 64 * 1024;
  static constexpr int32_t kTimeLimitMs = 30'000;

  enum class Result {
    kDelivered,   // the running instance handled the text and acknowledged it
    kNoListener,  // nobody of this user listens under the name: the caller beeps
    kTooLong,     // the text is longer than kMaxTextBytes; nothing was sent
    kRefused,     // the listener read the text and refused it (its window is gone)
    kTimedOut,    // no acknowledgement within the time limit
    kFailed,      // the connection broke; Failure() says how
  };

  // Hands `text` to the running instance that holds the lock file `lockPath` (InstanceLock::Path);
  // an empty text asks it to raise its frame. Waits at most the time limit in all (30 seconds; tests
  // set a shorter one).
  static Result Send(std::string_view lockPath, std::string_view text, std::string* failure = nullptr);

  // The abstract socket address of the instance holding `lockPath`: a NUL byte, then
  // "planner-hand-over-UID-HASH" with HASH the FNV-1a-64 of the path's bytes in 16 hexadecimal digits
  // (a path may be longer than an address holds; the hash always fits).
  static std::string SocketName(std::string_view lockPath);
  // The time limit in force, in milliseconds: the override when set, else kTimeLimitMs. The listener
  // bounds its own waits with it too.
  static int32_t TimeLimitMs();
};

// Tests: the hand-over's time limit in milliseconds on both sides (0: the 30 seconds).
void SetHandOverTimeLimitForTests(int32_t milliseconds);

}  // namespace plat
