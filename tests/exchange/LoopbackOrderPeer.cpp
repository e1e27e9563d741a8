#include "LoopbackOrderPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <stdexcept>

namespace {

// Waits for `events` on `fd` in short steps so that a stop request is seen; false when stopping.
bool WaitFor(int fd, short events, const std::atomic<bool>& stop) {
  while (!stop.load()) {
    pollfd entry{fd, events, 0};
    if (::poll(&entry, 1, 20) > 0) return true;
  }
  return false;
}

// The announced body length of a head, or 0.
size_t ContentLength(const std::string& head) {
  std::string lower = head;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  const size_t at = lower.find("content-length:");
  if (at == std::string::npos) return 0;
  return size_t(std::strtoull(head.c_str() + at + 15, nullptr, 10));
}

}  // namespace

LoopbackOrderPeer::LoopbackOrderPeer(Mode mode, std::vector<std::string> answerPieces)
    : mode_(mode), pieces_(std::move(answerPieces)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) throw std::runtime_error("no socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    throw std::runtime_error("no bind");
  socklen_t length = sizeof address;
  ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  if (mode_ == Mode::kNoListener) {
    // The port was free a moment ago and nothing listens on it now: a connection is refused.
    ::close(listener_);
    listener_ = -1;
    return;
  }
  ::listen(listener_, 4);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackOrderPeer::~LoopbackOrderPeer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) ::close(listener_);
}

std::string LoopbackOrderPeer::Head() const {
  std::lock_guard lock(mutex_);
  return head_;
}

std::string LoopbackOrderPeer::Body() const {
  std::lock_guard lock(mutex_);
  return body_;
}

void LoopbackOrderPeer::Serve() {
  while (WaitFor(listener_, POLLIN, stop_)) {
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    ++connections_;
    int on = 1;
    ::setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    Handle(connection);
    ::close(connection);
  }
}

void LoopbackOrderPeer::Handle(int connection) {
  const auto sendAll = [&](const std::string& bytes) {
    size_t at = 0;
    while (at < bytes.size()) {
      const ssize_t sent = ::send(connection, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
      if (sent <= 0) return;
      at += size_t(sent);
    }
  };
  if (mode_ == Mode::kFlood) {
    for (const std::string& piece : pieces_) sendAll(piece);
    while (WaitFor(connection, POLLIN, stop_)) {
      char sink[4096];
      if (::recv(connection, sink, sizeof sink, 0) <= 0) break;
    }
    return;
  }

  std::string received;
  size_t headEnd = std::string::npos;
  char buffer[65536];
  while (headEnd == std::string::npos) {
    if (!WaitFor(connection, POLLIN, stop_)) return;
    const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
    if (got <= 0) return;
    received.append(buffer, size_t(got));
    headEnd = received.find("\r\n\r\n");
  }
  {
    std::lock_guard lock(mutex_);
    head_ = received.substr(0, headEnd + 4);
    body_.clear();
  }
  if (mode_ == Mode::kCloseAfterHead) return;
  if (mode_ == Mode::kSilent) {
    // Holds the connection open, reading whatever comes, until the client goes or the test ends.
    while (WaitFor(connection, POLLIN, stop_))
      if (::recv(connection, buffer, sizeof buffer, 0) <= 0) break;
    return;
  }

  sendAll("HTTP/1.1 100 Continue\r\n\r\n");
  const size_t wanted = ContentLength(head_);
  std::string body = received.substr(headEnd + 4);
  while (body.size() < wanted) {
    if (!WaitFor(connection, POLLIN, stop_)) return;
    const ssize_t got = ::recv(connection, buffer, std::min(sizeof buffer, wanted - body.size()), 0);
    if (got <= 0) break;
    body.append(buffer, size_t(got));
  }
  {
    std::lock_guard lock(mutex_);
    body_ = body;
  }
  for (size_t i = 0; i < pieces_.size(); ++i) {
    // The pause is the peer's, so the client's receive sees the pieces apart; no test waits on it.
    if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    sendAll(pieces_[i]);
  }
}
