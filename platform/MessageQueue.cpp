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
