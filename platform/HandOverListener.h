#pragma once
// The running instance's side of the hand-over (see HandOverSender for the wire): a thread accepts
// connections of the same user on the instance's abstract socket, one at a time, reads the text and
// hands it to the user-interface thread, which sends it to the target window as WM_COPYDATA
// (dwData 0, cbData the length + 1, lpData the text with its NUL; the handler copies what it keeps)
// or, for an empty text, shows and raises the target. Only then is the sender acknowledged, so the
// sender is released after the text was handled. A text that never gets handled (the loop does not
// run, the window went) is given up after the hand-over time limit and the sender is not acknowledged.
//
// The delivery travels as a private posted message that DispatchMessage turns into the WM_COPYDATA,
// so it runs in any message loop of the user-interface thread, a modal one included.
//
// Started and stopped on the user-interface thread, typically once the document window exists and at
// teardown; the object owns its thread and socket. The pending deliveries are process-wide (shared by
// the listener threads and the user-interface thread under a lock) and on the reset list.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>

#include "platform/WindowTypes.h"

namespace plat {

class HandOverListener {
 public:
  // The private message that carries a delivery: wParam its number, lParam 0.
  static constexpr UINT kDeliveryMessage = 0xC0DE;

  HandOverListener() = default;
  ~HandOverListener();  // stops
  HandOverListener(const HandOverListener&) = delete;
  HandOverListener& operator=(const HandOverListener&) = delete;

  // Listens for the instance holding the lock file `lockPath` (InstanceLock::Path) and delivers to
  // `target`. False, with Failure() saying why, when the name cannot be bound (already listening, or
  // held by another process) or no thread can start.
  bool Start(std::string_view lockPath, HWND target);
  // Ends the thread: a delivery waiting for the user-interface thread is given up. Returns promptly.
  void Stop();
  bool IsListening() const { return thread_.joinable(); }
  const std::string& Failure() const { return failure_; }

  // Called by DispatchMessage for kDeliveryMessage on the user-interface thread: delivers number
  // `delivery` to `window` and acknowledges it. A delivery no longer waited for does nothing.
  static LRESULT DeliverPosted(HWND window, WPARAM delivery);

 private:
  void Run();
  void Serve(int connection);

  HWND target_ = nullptr;
  int listening_ = -1;
  int wake_ = -1;  // an eventfd that Stop signals
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  std::string failure_;
};

}  // namespace plat
