#include "platform/HandOverSender.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstddef>
#include <cstring>

#include "platform/InstanceLock.h"
#include "platform/ResetList.h"
#include "platform/TcpSocket.h"

namespace plat {
namespace {

// Test override of the time limit; set by the user-interface thread, read by listener threads too.
std::atomic<int32_t> gTimeLimitOverrideMs{0};

[[maybe_unused]] const bool kReset =
    ResetList::Add("hand-over: time limit override", [] { gTimeLimitOverrideMs = 0; });

using Clock = std::chrono::steady_clock;

int32_t MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? int32_t(left) : 0;
}

}  // namespace

std::string HandOverSender::SocketName(std::string_view lockPath) {
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx",
                static_cast<unsigned long long>(InstanceLock::Fnv1a64(lockPath)));
  return std::string(1, '\0') + "planner-hand-over-" + std::to_string(::getuid()) + "-" + hash;
}

int32_t HandOverSender::TimeLimitMs() {
  const int32_t override = gTimeLimitOverrideMs.load();
  return override > 0 ? override : kTimeLimitMs;
}

HandOverSender::Result HandOverSender::Send(std::string_view lockPath, std::string_view text,
                                            std::string* failure) {
  std::string ignored;
  std::string& why = failure != nullptr ? *failure : ignored;
  why.clear();
  if (text.size() > kMaxTextBytes) {
    why = "the text is longer than " + std::to_string(kMaxTextBytes) + " bytes";
    return Result::kTooLong;
  }
  const auto deadline = Clock::now() + std::chrono::milliseconds(TimeLimitMs());

  const std::string name = SocketName(lockPath);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, name.data(), name.size());
  const auto addressLength = socklen_t(offsetof(sockaddr_un, sun_path) + name.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    why = std::string("no socket could be made (") + std::strerror(errno) + ")";
    return Result::kFailed;
  }
  // A local connect completes at once or fails at once (nobody bound: ECONNREFUSED).
  int connected;
  do {
    connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), addressLength);
  } while (connected != 0 && errno == EINTR);
  if (connected != 0) {
    why = std::string("no instance listens (") + std::strerror(errno) + ")";
    ::close(fd);
    return Result::kNoListener;
  }
  ucred peer{};
  socklen_t peerLength = sizeof peer;
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &peerLength) != 0 || peer.uid != ::getuid()) {
    why = "the name is held by another user's process";
    ::close(fd);
    return Result::kNoListener;
  }

  TcpSocket socket(fd);
  socket.SetTimeLimit(std::max<int32_t>(1, MillisecondsLeft(deadline)));
  const auto length = uint32_t(text.size());
  const unsigned char header[4] = {uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16),
                                   uint8_t(length >> 24)};
  if (socket.SendAll(header, sizeof header) < 0 || socket.SendAll(text.data(), text.size()) < 0) {
    why = socket.Failure();
    return socket.TimedOut() ? Result::kTimedOut : Result::kFailed;
  }
  const int32_t left = MillisecondsLeft(deadline);
  if (left <= 0) {
    why = "no answer within the time limit";
    return Result::kTimedOut;
  }
  socket.SetTimeLimit(left);
  char answer = 0;
  const int64_t got = socket.ReceiveSome(&answer, 1);
  if (got == 1 && answer == 'A') return Result::kDelivered;
  if (got == 1) {
    why = "the running instance refused the text";
    return Result::kRefused;
  }
  if (got == 0) {
    why = "the running instance closed the connection without an answer";
    return Result::kFailed;
  }
  why = socket.Failure();
  return socket.TimedOut() ? Result::kTimedOut : Result::kFailed;
}

void SetHandOverTimeLimitForTests(int32_t milliseconds) { gTimeLimitOverrideMs = milliseconds; }

}  // namespace plat
