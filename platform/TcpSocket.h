#pragma once
// A plain TCP client connection over POSIX sockets, for the order over TCP; it also carries a local
// stream socket handed to it (the instance hand-over), with the same bounded waits.
//
// The host is resolved for IPv4 stream sockets over TCP and the first address is connected. Every
// wait is bounded, so that a peer that never answers cannot hold the user-interface thread: connecting
// within 20 seconds, and each send or receive within the receive time limit (30 seconds; tests set a
// shorter one). A failure leaves a short English description in Failure() for the caller's message.
//
// Owned by one thread at a time (the user-interface thread for the orders). The test overrides below are
// process-wide, belong to the user-interface thread and are on the reset list.

#include <cstddef>
#include <cstdint>
#include <string>

namespace plat {

class TcpSocket {
 public:
  static constexpr int32_t kConnectTimeLimitMs = 20'000;
  static constexpr int32_t kReceiveTimeLimitMs = 30'000;

  // Resolves `host` and `port` (a service name or number; the test port override replaces it) and
  // connects. IsConnected() tells whether that succeeded.
  TcpSocket(const std::string& host, const std::string& port);
  // Takes over `connectedDescriptor`, a connected stream socket of any family (the instance hand-over
  // uses a local one), made non-blocking here; closed with this object.
  explicit TcpSocket(int connectedDescriptor);
  ~TcpSocket();
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  bool IsConnected() const { return descriptor_ >= 0; }
  // What the last failure was ("connection refused", "no answer within 30 seconds" ...); empty when
  // nothing failed.
  const std::string& Failure() const { return failure_; }
  // True when the last receive or send failed because its time limit ran out.
  bool TimedOut() const { return timedOut_; }

  // Sends all `count` bytes, as many system calls as that takes. Answers `count`, or -1 when not
  // connected, when the peer is gone or when the time limit ran out on a full send buffer.
  int64_t SendAll(const void* bytes, size_t count);
  // Waits for bytes and takes what one receive gets, at most `capacity`. Answers the count (1 or
  // more), 0 when the peer closed its side, -1 when not connected, on an error, or when nothing came
  // within the receive time limit.
  int64_t ReceiveSome(void* buffer, size_t capacity);
  // The limit of each later send or receive wait in milliseconds, in place of the process-wide one
  // (0: back to that one).
  void SetTimeLimit(int32_t milliseconds) { timeLimitMs_ = milliseconds; }

 private:
  bool WaitFor(short events, int32_t limitMs, const char* what);

  int32_t TimeLimitMs() const;

  int descriptor_ = -1;
  int32_t timeLimitMs_ = 0;
  std::string failure_;
  bool timedOut_ = false;
};

// Tests: every connection goes to `port` instead of the one asked for (0: no override).
void SetTcpPortForTests(int32_t port);
// Tests: the send and receive time limit in milliseconds (0: the 30 seconds).
void SetTcpReceiveTimeLimitForTests(int32_t milliseconds);

}  // namespace plat
