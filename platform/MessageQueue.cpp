#include "platform/MessageQueue.h"

#include <vector>

#include "platform/InputState.h"
#include "platform/LayerClock.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

UINT KindOf(UINT message) {
  if (message == WM_MOUSEMOVE) return QS_MOUSEMOVE;
  if (message >= WM_LBUTTONDOWN && message <= WM_MOUSEWHEEL) return QS_MOUSEBUTTON;
  if (message >= WM_KEYDOWN && message <= WM_SYSCHAR) return QS_KEY;
  return QS_POSTMESSAGE;
}

// Whether `m` presses (1) or releases (-1) key or button `virtualKey`, or leaves it alone (0).
int32_t KeyChange(const MSG& m, int32_t virtualKey) {
  switch (m.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return int32_t(m.wParam) == virtualKey ? 1 : 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return int32_t(m.wParam) == virtualKey ? -1 : 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return virtualKey == VK_LBUTTON ? 1 : 0;
    case WM_LBUTTONUP:
      return virtualKey == VK_LBUTTON ? -1 : 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return virtualKey == VK_RBUTTON ? 1 : 0;
    case WM_RBUTTONUP:
      return virtualKey == VK_RBUTTON ? -1 : 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      return virtualKey == VK_MBUTTON ? 1 : 0;
    case WM_MBUTTONUP:
      return virtualKey == VK_MBUTTON ? -1 : 0;
    default:
      return 0;
  }
}

// A key message's lParam bit 30: the key was down before this message (a repeat, or any release).
bool WasDown(const MSG& m) { return (m.lParam & (LPARAM(1) << 30)) != 0; }

}  // namespace

MessageQueue& MessageQueue::Instance() {
  static MessageQueue queue;
  return queue;
}

MSG MessageQueue::Stamp(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m;
  m.hwnd = window;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = LayerClock::Now();
  m.pt = InputState::CursorPos();
  return m;
}

bool MessageQueue::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window && !WindowManager::Instance().IsAlive(window)) return false;
  MSG m = Stamp(window, message, wParam, lParam);
  {
    std::lock_guard<std::mutex> guard(lock_);
    fifo_.push_back(m);
    ++posts_;
  }
  posted_.notify_all();
  return true;
}

void MessageQueue::PostQuit(int32_t code) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    quit_ = true;
    quitCode_ = code;
    ++posts_;
  }
  posted_.notify_all();
}

bool MessageQueue::Next(MSG& out, bool remove, HWND window, UINT first, UINT last) {
  auto& windows = WindowManager::Instance();
  auto wanted = [&](const MSG& m) {
    if (window && m.hwnd != window && !(m.hwnd && windows.TopLevelOf(m.hwnd) == window)) return false;
    return (first == 0 && last == 0) || (m.message >= first && m.message <= last);
  };
  std::vector<MSG> dead;
  bool found = false;
  {
    std::lock_guard<std::mutex> guard(lock_);
    seenPosts_ = posts_;
    for (auto it = fifo_.begin(); it != fifo_.end();) {
      if (it->hwnd && !windows.Find(it->hwnd)) {  // its window died after the post
        dead.push_back(*it);
        it = fifo_.erase(it);
        continue;
      }
      if (wanted(*it)) {
        out = *it;
        if (remove) fifo_.erase(it);
        found = true;
        break;
      }
      ++it;
    }
  }
  for (const MSG& m : dead) windows.NotifyDropped(m);
  if (found) return true;
  bool anyKind = first == 0 && last == 0;
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (quit_ && (anyKind || (WM_QUIT >= first && WM_QUIT <= last))) {
      out = MSG{};
      out.message = WM_QUIT;
      out.wParam = static_cast<WPARAM>(quitCode_);
      out.time = LayerClock::Now();
      if (remove) quit_ = false;
      return true;
    }
  }
  if (!anyKind && !(WM_PAINT >= first && WM_PAINT <= last)) return false;
  if (HWND paint = windows.NextToPaint();
      paint && (!window || windows.TopLevelOf(paint) == window || paint == window)) {
    out = MSG{};
    out.hwnd = paint;
    out.message = WM_PAINT;
    out.time = LayerClock::Now();
    return true;
  }
  return false;
}

bool MessageQueue::WaitForPost(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> guard(lock_);
  return posted_.wait_for(guard, timeout, [this] { return !fifo_.empty() || quit_; });
}

UINT MessageQueue::Status() const {
  std::lock_guard<std::mutex> guard(lock_);
  UINT kinds = 0;
  for (const MSG& m : fifo_) kinds |= KindOf(m.message);
  if (quit_) kinds |= QS_POSTMESSAGE;
  if (WindowManager::Instance().NextToPaint()) kinds |= QS_PAINT;
  return kinds;
}

bool MessageQueue::HasNew() const {
  std::lock_guard<std::mutex> guard(lock_);
  return posts_ != seenPosts_;
}

void MessageQueue::MarkSeen() {
  std::lock_guard<std::mutex> guard(lock_);
  seenPosts_ = posts_;
}

MessageQueue::PendingKey MessageQueue::PendingFor(int32_t virtualKey) const {
  PendingKey pending;
  std::lock_guard<std::mutex> guard(lock_);
  for (const MSG& m : fifo_) {
    const int32_t change = KeyChange(m, virtualKey);
    if (change == 0) continue;
    const bool isKey = m.message >= WM_KEYDOWN && m.message <= WM_SYSKEYUP;
    const bool downBefore = change < 0 || (isKey && WasDown(m));
    if (!pending.changes) {
      pending.changes = true;
      pending.downBefore = downBefore;
    }
    // A key or button going down from up flips its toggle, as the backend's state did.
    if (change > 0 && !downBefore) pending.flipsToggle = !pending.flipsToggle;
  }
  return pending;
}

void MessageQueue::DropFor(HWND window) {
  std::vector<MSG> dropped;
  {
    std::lock_guard<std::mutex> guard(lock_);
    for (auto it = fifo_.begin(); it != fifo_.end();) {
      if (it->hwnd == window) {
        dropped.push_back(*it);
        it = fifo_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (const MSG& m : dropped) WindowManager::Instance().NotifyDropped(m);
}

void MessageQueue::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  fifo_.clear();
  quit_ = false;
  quitCode_ = 0;
}

}  // namespace plat
