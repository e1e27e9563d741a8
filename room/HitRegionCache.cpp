#include "room/HitRegionCache.h"

void HitRegionCache::Keep(const void* head, size_t headSize, const void* tail, size_t tailSize) {
  const auto* first = static_cast<const unsigned char*>(head);
  key_.assign(first, first + headSize);
  if (tailSize > 0) {
    const auto* rest = static_cast<const unsigned char*>(tail);
    key_.insert(key_.end(), rest, rest + tailSize);
  }
  region_->GetBounds(&bounds_);
  ++builds_;
}
