#include "scene3d/objects/VertexScratch.h"

#include <memory>

#include "platform/ResetList.h"

namespace {

// User-interface thread only (see the header).
std::unique_ptr<VertexRecord[]> gBlock;
size_t gCapacity = 0;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("3D bodies: the shared face scratch block", [] { VertexScratch::Release(); });

}  // namespace

VertexRecord* VertexScratch::Reserve(size_t count) {
  if (gBlock == nullptr || count > gCapacity) {
    gBlock.reset();
    gBlock = std::make_unique<VertexRecord[]>(count == 0 ? 1 : count);
    gCapacity = count == 0 ? 1 : count;
  }
  return gBlock.get();
}

size_t VertexScratch::Capacity() { return gCapacity; }

void VertexScratch::Release() {
  gBlock.reset();
  gCapacity = 0;
}
