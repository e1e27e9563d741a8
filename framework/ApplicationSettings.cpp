#include "framework/ApplicationSettings.h"

#include "framework/ppWindow.h"
#include "platform/ResetList.h"

namespace {
// Set while the application starts, on the user-interface thread.
std::string gFrameTitle;
int32_t gPlacementMode = 0;
ppMenuTextCallback gMenuTextCallback = nullptr;
uint32_t gFlags1 = 0;
uint32_t gFlags2 = 0;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("application settings", [] {
  gFrameTitle.clear();
  gPlacementMode = 0;
  gMenuTextCallback = nullptr;
  gFlags1 = gFlags2 = 0;
});
}  // namespace

// The lock itself lives with the window procedures, which act on it.
bool FrameLocked() { return ppWindow::FrameLocked(); }
void SetFrameLocked(bool locked) { ppWindow::SetFrameLocked(locked); }

const std::string& FrameTitle() { return gFrameTitle; }
void SetFrameTitle(const std::string& title) { gFrameTitle = title; }

int32_t PlacementMode() { return gPlacementMode; }
void SetPlacementMode(int32_t mode) { gPlacementMode = mode; }

ppMenuTextCallback MenuTextCallback() { return gMenuTextCallback; }
void SetMenuTextCallback(ppMenuTextCallback callback) { gMenuTextCallback = callback; }

uint32_t ApplicationFlags1() { return gFlags1; }
void SetApplicationFlags1(uint32_t flags) { gFlags1 = flags; }
uint32_t ApplicationFlags2() { return gFlags2; }
void SetApplicationFlags2(uint32_t flags) { gFlags2 = flags; }
