#include "platform/MessageTrace.h"

#include "platform/MessageQueue.h"
#include "platform/ResetList.h"

namespace plat {
namespace {

// The trace and whether it records; user-interface thread.
bool gOn = false;
std::vector<MSG> gLog;

[[maybe_unused]] const bool kReset = ResetList::Add("message trace", [] {
  gOn = false;
  gLog.clear();
});

}  // namespace

void MessageTrace::Start() {
  gLog.clear();
  gOn = true;
}

void MessageTrace::Stop() { gOn = false; }

const std::vector<MSG>& MessageTrace::Messages() { return gLog; }

void MessageTrace::Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!gOn) return;
  gLog.push_back(MessageQueue::Stamp(window, message, wParam, lParam));
}

}  // namespace plat
