#include "elements/base/ElementTextures.h"

#include <memory>

#include "platform/ResetList.h"

namespace {

// Made at the first request; user-interface thread only.
std::unique_ptr<ppObjectMap> gTextures;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("element textures", [] { ElementTextures::Reset(); });

}  // namespace

ppObjectMap& ElementTextures::Map() {
  if (gTextures == nullptr) gTextures = std::make_unique<ppObjectMap>();
  return *gTextures;
}

void ElementTextures::Reset() { gTextures.reset(); }
