#include "foundation/FileFaultHook.h"

#include <atomic>

namespace Vcon {

namespace {
std::atomic<FileFaultHook> gHook{nullptr};
}

void SetFileFaultHook(FileFaultHook hook) { gHook.store(hook, std::memory_order_release); }

void CallFileFaultHook(FileOp op, const char* path) {
  FileFaultHook hook = gHook.load(std::memory_order_acquire);
  if (hook != nullptr) hook(op, path != nullptr ? path : "");
}

}  // namespace Vcon
