#include "exchange/TcpConnection.h"

#include <cstring>
#include <vector>

TcpConnection::TcpConnection(const std::string& host, const std::string& port) : socket_(host, port) {}

int32_t TcpConnection::Send(Handle h) {
  if (!IsConnected()) return -1;
  const size_t size = h == nullptr ? 0 : size_t(MemGetSize(h));
  if (size == 0) return 0;
  return socket_.SendAll(*h, size) < 0 ? -1 : int32_t(size);
}

int32_t TcpConnection::Receive(Handle h) {
  if (!IsConnected()) return -1;
  std::vector<char> buffer(kMaxAnswerBytes);
  const int64_t got = socket_.ReceiveSome(buffer.data(), buffer.size());
  if (got >= 1 && h != nullptr) {
    MemSetSize(h, uint32_t(got));
    std::memcpy(*h, buffer.data(), size_t(got));
  }
  return int32_t(got);
}

int32_t TcpConnection::ReceiveUntilClosed(Handle h) {
  if (!IsConnected()) return -1;
  std::vector<char> buffer(kMaxAnswerBytes);
  size_t total = 0;
  while (total < buffer.size()) {
    const int64_t got = socket_.ReceiveSome(buffer.data() + total, buffer.size() - total);
    if (got < 0) return -1;
    if (got == 0) break;
    total += size_t(got);
  }
  if (h != nullptr) {
    MemSetSize(h, uint32_t(total));
    if (total > 0) std::memcpy(*h, buffer.data(), total);
  }
  return int32_t(total);
}
