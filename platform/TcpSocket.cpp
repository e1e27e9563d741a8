#include "platform/TcpSocket.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/ResetList.h"

namespace plat {
namespace {

// Test overrides; owned by the user-interface thread, which makes the connections.
int32_t gPortOverride = 0;
int32_t gReceiveLimitOverrideMs = 0;

[[maybe_unused]] const bool kReset = ResetList::Add("tcp: port and time limit overrides", [] {
  gPortOverride = 0;
  gReceiveLimitOverrideMs = 0;
});

int32_t ReceiveLimitMs() {
  return gReceiveLimitOverrideMs > 0 ? gReceiveLimitOverrideMs : TcpSocket::kReceiveTimeLimitMs;
}

std::string LimitText(int32_t ms) {
  if (ms % 1000 == 0) return std::to_string(ms / 1000) + " seconds";
  return std::to_string(ms) + " milliseconds";
}

}  // namespace

TcpSocket::TcpSocket(const std::string& host, const std::string& port) {
  const std::string service = gPortOverride > 0 ? std::to_string(gPortOverride) : port;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  const int resolved = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
  if (resolved != 0 || found == nullptr) {
    failure_ = "the host name could not be resolved (" + std::string(::gai_strerror(resolved)) + ")";
    if (found != nullptr) ::freeaddrinfo(found);
    return;
  }
  // Non-blocking from the start: connecting and every later wait go through poll with a limit.
  const int fd =
      ::socket(found->ai_family, found->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, found->ai_protocol);
  if (fd < 0) {
    failure_ = std::string("no socket could be made (") + std::strerror(errno) + ")";
    ::freeaddrinfo(found);
    return;
  }
  descriptor_ = fd;
  int result = ::connect(fd, found->ai_addr, found->ai_addrlen);
  ::freeaddrinfo(found);
  if (result != 0 && errno == EINPROGRESS) {
    if (WaitFor(POLLOUT, kConnectTimeLimitMs, "connect")) {
      int error = 0;
      socklen_t length = sizeof error;
      ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
      result = error == 0 ? 0 : -1;
      errno = error;
    }
  }
  if (result != 0) {
    if (failure_.empty()) failure_ = std::string("the connection failed (") + std::strerror(errno) + ")";
    ::close(fd);
    descriptor_ = -1;
  }
}

TcpSocket::TcpSocket(int connectedDescriptor) : descriptor_(connectedDescriptor) {
  if (descriptor_ < 0) return;
  const int flags = ::fcntl(descriptor_, F_GETFL);
  if (flags >= 0) ::fcntl(descriptor_, F_SETFL, flags | O_NONBLOCK);
}

int32_t TcpSocket::TimeLimitMs() const { return timeLimitMs_ > 0 ? timeLimitMs_ : ReceiveLimitMs(); }

TcpSocket::~TcpSocket() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

bool TcpSocket::WaitFor(short events, int32_t limitMs, const char* what) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd entry{descriptor_, events, 0};
    const int ready = ::poll(&entry, 1, int(left));
    if (ready > 0) return true;  // ready, or an error or hang-up that the next call reports
    if (ready < 0 && errno != EINTR) {
      failure_ = std::string("waiting to ") + what + " failed (" + std::strerror(errno) + ")";
      return false;
    }
  }
  timedOut_ = true;
  failure_ = std::string("no ") + (std::strcmp(what, "receive") == 0 ? "answer" : "progress") + " to " +
             what + " within " + LimitText(limitMs);
  return false;
}

int64_t TcpSocket::SendAll(const void* bytes, size_t count) {
  timedOut_ = false;
  if (descriptor_ < 0) return -1;
  const auto* at = static_cast<const char*>(bytes);
  size_t left = count;
  while (left > 0) {
    // MSG_NOSIGNAL: a peer that has gone must give an error here, not end the process with SIGPIPE.
    const ssize_t sent = ::send(descriptor_, at, left, MSG_NOSIGNAL);
    if (sent > 0) {
      at += sent;
      left -= size_t(sent);
    } else if (sent < 0 && errno == EINTR) {
      continue;
    } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitFor(POLLOUT, TimeLimitMs(), "send")) return -1;
    } else {
      failure_ = std::string("sending failed (") + std::strerror(errno) + ")";
      return -1;
    }
  }
  return int64_t(count);
}

int64_t TcpSocket::ReceiveSome(void* buffer, size_t capacity) {
  timedOut_ = false;
  if (descriptor_ < 0) return -1;
  for (;;) {
    const ssize_t got = ::recv(descriptor_, buffer, capacity, 0);
    if (got >= 0) return got;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      failure_ = std::string("receiving failed (") + std::strerror(errno) + ")";
      return -1;
    }
    if (!WaitFor(POLLIN, TimeLimitMs(), "receive")) return -1;
  }
}

void SetTcpPortForTests(int32_t port) { gPortOverride = port; }
void SetTcpReceiveTimeLimitForTests(int32_t milliseconds) { gReceiveLimitOverrideMs = milliseconds; }

}  // namespace plat
