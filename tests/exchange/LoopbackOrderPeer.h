#pragma once
// A TCP order service on 127.0.0.1 and a free port, run by a thread of its own, for the order over
// TCP. It takes one connection at a time and behaves by its mode:
//   kAnswer          reads the head up to its blank line, answers "HTTP/1.1 100 Continue" at once,
//                    reads exactly the body the head's Content-Length announces, sends the answer's
//                    pieces one by one (a short pause between them, so they arrive apart) and closes;
//   kCloseAfterHead  reads the head and closes;
//   kSilent          reads the head and says nothing until the peer goes away;
//   kFlood           sends the answer's pieces straight away and keeps the connection open;
//   kNoListener      listens nowhere: the port is one that was free a moment ago.
// What came in is kept for the test to compare byte by byte.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackOrderPeer {
 public:
  enum class Mode { kAnswer, kCloseAfterHead, kSilent, kFlood, kNoListener };

  explicit LoopbackOrderPeer(Mode mode, std::vector<std::string> answerPieces = {});
  ~LoopbackOrderPeer();
  LoopbackOrderPeer(const LoopbackOrderPeer&) = delete;
  LoopbackOrderPeer& operator=(const LoopbackOrderPeer&) = delete;

  int32_t Port() const { return port_; }
  // Connections accepted so far.
  int32_t Connections() const { return connections_.load(); }
  // The head up to and including its blank line, and the body read after it, of the last request.
  std::string Head() const;
  std::string Body() const;

 private:
  void Serve();
  void Handle(int connection);

  const Mode mode_;
  const std::vector<std::string> pieces_;
  int listener_ = -1;
  int32_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int32_t> connections_{0};
  mutable std::mutex mutex_;
  std::string head_, body_;
  std::thread thread_;
};
