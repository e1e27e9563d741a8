#include "scene3d/panes/ContextFlags.h"

#include "platform/ResetList.h"

uint32_t gContextFlags = 0;  // user-interface thread

namespace {
[[maybe_unused]] const bool kReset = plat::ResetList::Add("3D context flags", [] { gContextFlags = 0; });
}  // namespace

void SetContextOutlines(bool on) {
  if (on)
    gContextFlags |= kContextOutlines;
  else
    gContextFlags &= ~kContextOutlines;
}
