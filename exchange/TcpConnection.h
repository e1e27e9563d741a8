#pragma once
// The connection of the order over TCP: a connected socket to the order service, sending and
// receiving the contents of handles.
//
// Receiving is bounded twice: each wait by the socket's receive time limit (30 seconds), and an
// answer by kMaxAnswerBytes. A receive that gets nothing leaves the handle as it was, so an old or
// unset buffer never passes for an answer. User-interface thread; the calls block it while they wait.

#include <cstdint>
#include <string>

#include "foundation/Vcon_HandleManager.h"
#include "platform/TcpSocket.h"

class TcpConnection {
 public:
  static constexpr int32_t kMaxAnswerBytes = 100'000;

  // Resolves `host` with `port` and connects to its first IPv4 address.
  TcpConnection(const std::string& host, const std::string& port);

  bool IsConnected() const { return socket_.IsConnected(); }
  // Why the connection, the last send or the last receive failed, in English; empty when nothing did.
  const std::string& Failure() const { return socket_.Failure(); }

  // Sends every byte of `h` (null sends nothing). Answers the count sent, or -1.
  int32_t Send(Handle h);
  // One receive of at most kMaxAnswerBytes: on 1 or more bytes `h` holds exactly them; on 0 (the
  // peer closed) or -1 (not connected, an error, no bytes within the time limit) `h` is unchanged.
  int32_t Receive(Handle h);
  // Receives until the peer closes or kMaxAnswerBytes have come, whichever is first, and gives `h`
  // everything received, in order (an answer the network splits stays whole). Answers the count;
  // -1 when a receive failed or the time limit ran out before the peer closed, and `h` is unchanged.
  int32_t ReceiveUntilClosed(Handle h);

 private:
  plat::TcpSocket socket_;
};
