#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace plat {

uint64_t InstanceLock::Fnv1a64(std::string_view bytes) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : bytes) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::string InstanceLock::KeyFor(std::string_view instanceName) {
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a64(instanceName)));
  return "planner-" + std::to_string(::getuid()) + "-" + hash;
}

std::string InstanceLock::LockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat info {};
  if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &info) == 0 && S_ISDIR(info.st_mode)) {
    std::string folder(runtime);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
  }
  return "/tmp";
}

std::string InstanceLock::PathFor(std::string_view instanceName) {
  return LockFolder() + "/" + KeyFor(instanceName) + ".lock";
}

InstanceLock::InstanceLock(std::string_view instanceName) : path_(PathFor(instanceName)) {
  // O_NOFOLLOW: in a shared /tmp another user's symbolic link must not make us open their file.
  const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    failure_ = "the lock file " + path_ + " could not be opened (" + std::strerror(errno) + ")";
    return;
  }
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    descriptor_ = fd;
    state_ = State::kHeld;
    return;
  }
  if (errno == EWOULDBLOCK) {
    state_ = State::kHeldElsewhere;
  } else {
    failure_ = "the lock file " + path_ + " could not be locked (" + std::strerror(errno) + ")";
  }
  ::close(fd);
}

InstanceLock::~InstanceLock() {
  if (descriptor_ >= 0) {
    ::flock(descriptor_, LOCK_UN);
    ::close(descriptor_);
  }
}

}  // namespace plat
