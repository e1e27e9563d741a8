#include "canvas/window/PrintResolutionHook.h"

#include "platform/ResetList.h"

namespace {

PrintResolutionHook::Reader gReader = nullptr;  // user-interface thread

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("print resolution reader", [] { gReader = nullptr; });

}  // namespace

void PrintResolutionHook::Install(Reader reader) { gReader = reader; }

int32_t PrintResolutionHook::Resolution() {
  const int32_t dots = gReader != nullptr ? gReader() : kNeutral;
  return dots > 0 ? dots : kNeutral;
}
