#include "framework/ApplicationSettings.h"

#include "framework/ppWindow.h"
#include "platform/ResetList.h"

namespace {
// Set while the application starts, on the user-interface thread.
std::string gFrameTitle;
int32_t gPlacementMode = 0;
ppMenuTextCallback gMenuTextCallback = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("application settings", [] {
  gFrameTitle.clear();
  gPlacementMode = 0;
  gMenuTextCallback = nullptr;
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
