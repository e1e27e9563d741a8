// A plan element's hit region kept with its bounds until the geometry it was built from changes, so
// that a hit test on every mouse move neither builds a region nor asks one the point lies far from.
// The owner describes the geometry as key bytes (ends, thickness, arc, the plan-to-pixel mapping,
// an outline's records): a key that differs from the last one builds the region again. Pixels are
// window pixels. Owned by its element; user-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/ppRegion.h"
#include "platform/GdiTypes.h"

class HitRegionCache {
 public:
  // The region for the key made of `head` (`headSize` bytes) and then `tail` (`tailSize` bytes, may
  // be null when 0), built into an empty region by build(ppRegion&) only when the key differs from
  // the one it was last built for.
  template <typename Build>
  const ppRegion& Get(const void* head, size_t headSize, const void* tail, size_t tailSize, Build&& build) {
    if (region_ == nullptr || !SameKey(head, headSize, tail, tailSize)) {
      region_ = std::make_unique<ppRegion>();
      build(*region_);
      Keep(head, headSize, tail, tailSize);
    }
    return *region_;
  }
  template <typename Build>
  const ppRegion& Get(const void* key, size_t size, Build&& build) {
    return Get(key, size, nullptr, 0, build);
  }
  // Whether (x, y) lies in the region last built: its bounds are asked first. False before any.
  bool Contains(int32_t x, int32_t y) const {
    if (region_ == nullptr || x < bounds_.left || x >= bounds_.right || y < bounds_.top ||
        y >= bounds_.bottom)
      return false;
    return region_->Contains(x, y);
  }
  // How many times a region was built (a rebuild shows up here).
  int32_t Builds() const { return builds_; }

 private:
  // Inline, so that a key of a size known where Get is called compares without a library call.
  bool SameKey(const void* head, size_t headSize, const void* tail, size_t tailSize) const {
    return key_.size() == headSize + tailSize && std::memcmp(key_.data(), head, headSize) == 0 &&
           (tailSize == 0 || std::memcmp(key_.data() + headSize, tail, tailSize) == 0);
  }
  void Keep(const void* head, size_t headSize, const void* tail, size_t tailSize);

  std::vector<unsigned char> key_;
  std::unique_ptr<ppRegion> region_;
  plat::RECT bounds_{};
  int32_t builds_ = 0;
};
