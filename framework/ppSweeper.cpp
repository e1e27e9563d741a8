#include "framework/ppSweeper.h"

#include <atomic>

#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace {

// Live sweepers, counted on any thread; it drains as they go, so no reset touches it.
std::atomic<int32_t> gPending{0};

// Sweepers whose window vanished before they ran are deleted unrun, so the count drains.
void DeleteUnrunSweeper(const plat::MSG& msg) {
  if (msg.message == ppSweeper::kMessage && msg.lParam) delete reinterpret_cast<ppSweeper*>(msg.lParam);
}

void InstallDropHandlerOnce() {
  static bool installed = [] {
    plat::WindowManager::Instance().SetDroppedMessageHandler(DeleteUnrunSweeper);
    return true;
  }();
  (void)installed;
}

}  // namespace

ppSweeper::ppSweeper(plat::HWND window) {
  ++gPending;
  InstallDropHandlerOnce();
  plat::LPARAM self = reinterpret_cast<plat::LPARAM>(this);
  if (!plat::PostMessageA(window, kMessage, 0, self)) plat::PostMessageA(nullptr, kMessage, 0, self);
}

ppSweeper::~ppSweeper() { --gPending; }

void ppSweeper::Sweep() {}

void ppSweeper::RunAndDelete(plat::LPARAM lParam) {
  auto* sweeper = reinterpret_cast<ppSweeper*>(lParam);
  if (!sweeper) return;
  sweeper->Sweep();
  delete sweeper;
}

int32_t ppSweeper::PendingCount() { return gPending; }

bool AnySweeperPending() { return gPending > 0; }
