#pragma once
// The presence marker of a running instance: an exclusive flock on the file
// "planner-UID-HASH.lock" in $XDG_RUNTIME_DIR (or /tmp when that is unset or not a folder), where UID
// is the user's id and HASH the FNV-1a-64 of the instance name in 16 lower-case hexadecimal digits.
// The kernel drops the lock when the process ends however it ends, so a crashed instance never
// leaves a stale marker; the file itself stays (removing it would race with a starting instance).
//
// Owned by the program entry on the user-interface thread; nobody waits on the lock.

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

class InstanceLock {
 public:
  enum class State {
    kHeld,           // this object holds the lock: the first instance of the name
    kHeldElsewhere,  // another open file description holds it: a second start
    kFailed,         // the lock file could not be opened or locked; Failure() says why
  };

  // "planner-UID-HASH": the base of the lock file's name for `instanceName` (any bytes, taken as they
  // are).
  static std::string KeyFor(std::string_view instanceName);
  // FNV-1a, 64 bits, of the bytes.
  static uint64_t Fnv1a64(std::string_view bytes);
  // The folder of the lock files, without a trailing slash.
  static std::string LockFolder();
  // The lock file of `instanceName` in the lock folder as the environment names it now.
  static std::string PathFor(std::string_view instanceName);

  // Opens the lock file of `instanceName` and tries the lock without waiting.
  explicit InstanceLock(std::string_view instanceName);
  // Gives the lock back.
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  State GetState() const { return state_; }
  bool IsHeld() const { return state_ == State::kHeld; }
  // The lock file's path; the hand-over of this instance is named after it (HandOverSender).
  const std::string& Path() const { return path_; }
  const std::string& Failure() const { return failure_; }

 private:
  int descriptor_ = -1;
  State state_ = State::kFailed;
  std::string path_;
  std::string failure_;
};

}  // namespace plat
