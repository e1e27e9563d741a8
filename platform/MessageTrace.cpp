#include "platform/MessageTrace.h"

#include "platform/LayerClock.h"

namespace plat {
namespace {

bool gOn = false;
std::vector<MSG> gLog;

}  // namespace

void MessageTrace::Start() {
  gLog.clear();
  gOn = true;
}

void MessageTrace::Stop() { gOn = false; }

const std::vector<MSG>& MessageTrace::Messages() { return gLog; }

void MessageTrace::Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!gOn) return;
  MSG m;
  m.hwnd = window;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = LayerClock::Now();
  gLog.push_back(m);
}

}  // namespace plat
