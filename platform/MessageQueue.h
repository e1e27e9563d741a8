#pragma once
// The one user-interface queue. Posted and input messages form a single FIFO, so a posted message
// runs after everything queued before it, input included. WM_QUIT comes when the FIFO is empty, and
// WM_PAINT is made only after that, for a window whose invalid area is not empty.
// Posting is safe from any thread; taking belongs to the user-interface thread.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/WindowTypes.h"

namespace plat {

class MessageQueue {
 public:
  static MessageQueue& Instance();

  // A message as the queue carries it: stamped with the layer clock's time and the cursor position.
  static MSG Stamp(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Appends a message; false when it names a window that does not exist.
  bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void PostQuit(int32_t code);

  // The next message for the loop, or false when there is none now. `remove` takes it off the queue
  // (a WM_PAINT is never removed: it comes again until the window's area is validated).
  // Only messages for `window` (and its children) and within [first, last] count, unless those are 0.
  bool Next(MSG& out, bool remove, HWND window = nullptr, UINT first = 0, UINT last = 0);
  // Blocks until a message is posted or the timeout passes; true when one arrived.
  bool WaitForPost(std::chrono::milliseconds timeout);

  // QS_ bits of the kinds of message waiting in the FIFO, without removing any; a pending WM_QUIT
  // counts as a posted message.
  UINT Status() const;
  // Whether a message was posted since the loop last looked at the queue (Next, or MarkSeen through
  // GetQueueStatus and WaitMessage): a message already looked at does not end a wait for input.
  bool HasNew() const;
  void MarkSeen();
  // What input still waiting in the FIFO does to key or button `virtualKey`: whether any of it
  // presses or releases it, the state before the first such message, and whether it flips the
  // key's toggle an odd number of times. The key state a message handler sees is the state before
  // the input not yet taken, not the newest the backend read.
  struct PendingKey {
    bool changes = false;
    bool downBefore = false;
    bool flipsToggle = false;
  };
  PendingKey PendingFor(int32_t virtualKey) const;
  // Forgets everything queued for a window (it is being destroyed), reporting each dropped message.
  void DropFor(HWND window);
  // Forgets everything, the quit request included.
  void Clear();

 private:
  MessageQueue() = default;

  mutable std::mutex lock_;
  std::condition_variable posted_;
  std::deque<MSG> fifo_;
  bool quit_ = false;
  uint64_t posts_ = 0;      // messages ever posted, quit requests included
  uint64_t seenPosts_ = 0;  // posts_ when the loop last looked
  int32_t quitCode_ = 0;
};

}  // namespace plat
