#include "scene3d/panes/Shared3DContext.h"

#include <memory>

#include "platform/ResetList.h"
#include "scene3d/gl/glContext.h"

namespace {

// User-interface thread.
std::unique_ptr<glContext> gShared;
plat::HDC gSharedDC = nullptr;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("shared 3D context", [] { Shared3DContext::Delete(); });

}  // namespace

glContext* Shared3DContext::Get() { return gShared.get(); }

glContext* Shared3DContext::GetOrMake(plat::HDC dc) {
  if (!gShared && dc) {
    gShared = std::make_unique<glContext>(dc, false);
    gSharedDC = dc;
  }
  return gShared.get();
}

void Shared3DContext::ForgetDC(plat::HDC dc) {
  if (gShared && gSharedDC == dc) Delete();
}

void Shared3DContext::Delete() {
  gShared.reset();
  gSharedDC = nullptr;
}
