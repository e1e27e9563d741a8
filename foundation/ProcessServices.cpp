#include "foundation/ProcessServices.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/Vcon_HandleManager.h"
#include "platform/MessageBox.h"
#include "platform/ResetList.h"
#include "platform/ScreenMetrics.h"

const void* gInstance = nullptr;
ScreenRect gScreenRect;

namespace {

Vcon::WString gStartupDirectory;  // user-interface thread, like the two above

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("process services: instance, screen, start-up folder", [] {
      gInstance = nullptr;
      gScreenRect = ScreenRect{};
      gStartupDirectory = Vcon::WString();
    });

// Set by whoever watches errors (a test, on its own thread); read by every thread that raises one,
// hence atomic. Null at start.
std::atomic<ErrorObserver> gErrorObserver{nullptr};

// The zone every run uses: 40,000,000 data bytes and the master-pointer argument 400,000.
constexpr uint32_t kZoneBytes = 40'000'000;
constexpr uint32_t kMasterPointers = 400'000;

constexpr uint32_t kErrorBoxStyle = plat::MB_ICONHAND | plat::MB_TASKMODAL;

}  // namespace

bool InitScreenAndMemory() {
  gScreenRect = {0, 0, plat::GetSystemMetrics(plat::SM_CXFULLSCREEN),
                 plat::GetSystemMetrics(plat::SM_CYFULLSCREEN)};
  const int16_t result = MemInit(kZoneBytes, kMasterPointers);
  if (result == 0) return true;
  ShowMemoryError(result);
  return false;
}

void SetStartupDirectory(const Vcon::WString& directory) {
  gStartupDirectory = directory;
  if (gStartupDirectory.empty() || gStartupDirectory.back() != u'\\') gStartupDirectory += u'\\';
}

void GetStartupDirectory(Vcon::WString& out) { out = gStartupDirectory; }

void ShowMemoryError(int32_t code) {
  const std::string text = "A Memory Error occured : " + std::to_string(code);
  plat::MessageBoxA(nullptr, text.c_str(), "Memory Error", kErrorBoxStyle);
}

void ErrorHook(int32_t code) {
  if (ErrorObserver observer = gErrorObserver.load(std::memory_order_acquire)) observer(code);
}

ErrorObserver SetErrorObserver(ErrorObserver observer) {
  return gErrorObserver.exchange(observer, std::memory_order_acq_rel);
}

void ShowFatalErrorBox(int32_t code, const char* message, const char* category) {
  const std::string text = std::to_string(code) + ": " + message;
  const std::string caption = std::string(category) + " error";
  plat::MessageBoxA(nullptr, text.c_str(), caption.c_str(), kErrorBoxStyle);
  // The box may not be seen (no display); leave the reason where a log or a test can read it.
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::abort();
}
