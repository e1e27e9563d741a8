#include "platform/InteractiveBackend.h"

#include <chrono>
#include <cstdlib>

#include "platform/DialogMessageBox.h"
#include "platform/Desktop.h"
#include "platform/LayerClock.h"
#include "platform/SdlBackend.h"
#include "platform/Shell.h"
#include "platform/UserLanguage.h"

namespace plat {
namespace {

// How long one wait for desktop input lasts before the loop looks at its queue again (messages that
// other threads post arrive without waking SDL).
constexpr std::chrono::milliseconds kWaitSlice{10};

// The waiter the interactive backend took over from (the headless driver's), given back at Stop;
// user-interface thread.
Desktop::Waiter gPreviousWaiter;

bool DisplayPresent() {
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wayland && *wayland);
}

}  // namespace

bool InteractiveBackend::StartIfDisplay() {
  if (!DisplayPresent() || !SdlBackend::Start()) return false;
  gPreviousWaiter = Desktop::SetWaiter([] { SdlBackend::Pump(kWaitSlice); });
  LayerClock::SetInputReader([](uint32_t most) { SdlBackend::Pump(std::chrono::milliseconds(most)); });
  LayerClock::SetReal();       // people's clicks and double clicks happen in real time
  UseDrawnMessageBoxes(true);  // a person answers the boxes, not a script
  SetShellLaunching(true);     // documents and links really open
  // The session's locale names the user's language.
  UseEnvironmentLanguage(true);
  return true;
}

void InteractiveBackend::Stop() {
  UseDrawnMessageBoxes(false);
  SetShellLaunching(false);
  UseEnvironmentLanguage(false);
  Desktop::SetWaiter(std::move(gPreviousWaiter));
  gPreviousWaiter = nullptr;
  LayerClock::SetInputReader(nullptr);
  SdlBackend::Stop();
}

}  // namespace plat
