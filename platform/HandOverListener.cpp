#include "platform/HandOverListener.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/HandOverSender.h"
#include "platform/ResetList.h"
#include "platform/TcpSocket.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

// A text read from a sender, waiting for the user-interface thread.
struct Delivery {
  std::string text;
  bool handled = false;
};

// The deliveries waiting for the user-interface thread, by number; shared by the listener threads
// (which add and remove them) and the user-interface thread (which handles them), under gDeliveryLock.
std::mutex gDeliveryLock;
std::condition_variable gDeliveryChanged;
std::map<WPARAM, std::shared_ptr<Delivery>> gDeliveries;
WPARAM gNextDelivery = 1;
// The connection a listener is serving, so that Stop can cut a slow sender short; under gDeliveryLock.
std::map<const HandOverListener*, int> gServing;

[[maybe_unused]] const bool kReset = ResetList::Add("hand-over: pending deliveries", [] {
  std::lock_guard<std::mutex> hold(gDeliveryLock);
  gDeliveries.clear();  // a listener still waiting gives up at its time limit
  gDeliveryChanged.notify_all();
});

// Reads exactly `count` bytes; false when the sender closed, broke off or stalled.
bool ReceiveExactly(TcpSocket& socket, void* buffer, size_t count) {
  auto* at = static_cast<char*>(buffer);
  while (count > 0) {
    const int64_t got = socket.ReceiveSome(at, count);
    if (got <= 0) return false;
    at += got;
    count -= size_t(got);
  }
  return true;
}

}  // namespace

HandOverListener::~HandOverListener() { Stop(); }

bool HandOverListener::Start(std::string_view lockPath, HWND target) {
  failure_.clear();
  if (IsListening()) {
    failure_ = "already listening";
    return false;
  }
  const std::string name = HandOverSender::SocketName(lockPath);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, name.data(), name.size());
  const auto addressLength = socklen_t(offsetof(sockaddr_un, sun_path) + name.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    failure_ = std::string("no socket could be made (") + std::strerror(errno) + ")";
    return false;
  }
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), addressLength) != 0 || ::listen(fd, 8) != 0) {
    failure_ = std::string("the hand-over name could not be taken (") + std::strerror(errno) + ")";
    ::close(fd);
    return false;
  }
  wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_ < 0) {
    failure_ = std::string("no wake-up event could be made (") + std::strerror(errno) + ")";
    ::close(fd);
    return false;
  }
  listening_ = fd;
  target_ = target;
  stopping_ = false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void HandOverListener::Stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> hold(gDeliveryLock);
    stopping_ = true;
    auto serving = gServing.find(this);
    if (serving != gServing.end()) ::shutdown(serving->second, SHUT_RDWR);
    gDeliveryChanged.notify_all();
  }
  const uint64_t one = 1;
  (void)!::write(wake_, &one, sizeof one);
  thread_.join();
  ::close(listening_);
  ::close(wake_);
  listening_ = -1;
  wake_ = -1;
}

void HandOverListener::Run() {
  while (!stopping_) {
    pollfd waits[2] = {{listening_, POLLIN, 0}, {wake_, POLLIN, 0}};
    const int ready = ::poll(waits, 2, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (stopping_ || (waits[1].revents & POLLIN) != 0) return;
    if ((waits[0].revents & POLLIN) == 0) continue;
    const int connection = ::accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    Serve(connection);
  }
}

void HandOverListener::Serve(int connection) {
  ucred peer{};
  socklen_t peerLength = sizeof peer;
  if (::getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &peerLength) != 0 || peer.uid != ::getuid()) {
    ::close(connection);
    return;
  }
  {
    std::lock_guard<std::mutex> hold(gDeliveryLock);
    if (stopping_) {
      ::close(connection);
      return;
    }
    gServing[this] = connection;
  }
  const int32_t limitMs = HandOverSender::TimeLimitMs();
  auto socket = std::make_unique<TcpSocket>(connection);
  socket->SetTimeLimit(limitMs);
  auto finish = [&](char answer) {
    if (answer != 0) socket->SendAll(&answer, 1);
    std::lock_guard<std::mutex> hold(gDeliveryLock);
    gServing.erase(this);
    socket.reset();  // closes the connection while Stop cannot shut it down any more
  };

  unsigned char header[4];
  if (!ReceiveExactly(*socket, header, sizeof header)) return finish(0);
  const size_t length =
      size_t(header[0]) | size_t(header[1]) << 8 | size_t(header[2]) << 16 | size_t(header[3]) << 24;
  if (length > HandOverSender::kMaxTextBytes) return finish('R');
  auto delivery = std::make_shared<Delivery>();
  delivery->text.resize(length);
  if (!ReceiveExactly(*socket, delivery->text.data(), length)) return finish(0);

  WPARAM number;
  {
    std::lock_guard<std::mutex> hold(gDeliveryLock);
    number = gNextDelivery++;
    gDeliveries[number] = delivery;
  }
  bool handled = false;
  if (PostMessageW(target_, kDeliveryMessage, number, 0)) {
    std::unique_lock<std::mutex> hold(gDeliveryLock);
    gDeliveryChanged.wait_for(hold, std::chrono::milliseconds(limitMs),
                              [&] { return delivery->handled || stopping_ || !gDeliveries.count(number); });
    handled = delivery->handled;
  }
  {
    std::lock_guard<std::mutex> hold(gDeliveryLock);
    gDeliveries.erase(number);
  }
  finish(handled ? 'A' : 'R');
}

LRESULT HandOverListener::DeliverPosted(HWND window, WPARAM number) {
  std::shared_ptr<Delivery> delivery;
  {
    std::lock_guard<std::mutex> hold(gDeliveryLock);
    auto found = gDeliveries.find(number);
    if (found == gDeliveries.end()) return 0;  // given up already: the sender was not acknowledged
    delivery = found->second;
  }
  // Marks the delivery handled even when the handler throws: the sender must not wait for nothing.
  struct Acknowledge {
    std::shared_ptr<Delivery>& delivery;
    ~Acknowledge() {
      std::lock_guard<std::mutex> hold(gDeliveryLock);
      delivery->handled = true;
      gDeliveryChanged.notify_all();
    }
  } acknowledge{delivery};
  if (delivery->text.empty()) {
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window);
    return 0;
  }
  COPYDATASTRUCT data;
  data.dwData = 0;
  data.cbData = DWORD(delivery->text.size() + 1);
  data.lpData = delivery->text.c_str();
  SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  return 0;
}

}  // namespace plat
