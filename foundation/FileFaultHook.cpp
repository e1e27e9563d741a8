#include "foundation/FileFaultHook.h"

#include <atomic>

#include "platform/ResetList.h"

namespace Vcon {

namespace {
std::atomic<FileFaultHook> gHook{nullptr};  // set by crash tests on the main thread, read by any
[[maybe_unused]] const bool kReset = plat::ResetList::Add("file fault hook", [] { gHook = nullptr; });
}  // namespace

void SetFileFaultHook(FileFaultHook hook) { gHook.store(hook, std::memory_order_release); }

void CallFileFaultHook(FileOp op, const char* path) {
  FileFaultHook hook = gHook.load(std::memory_order_acquire);
  if (hook != nullptr) hook(op, path != nullptr ? path : "");
}

}  // namespace Vcon
