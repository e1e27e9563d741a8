// The bytes of a picture whose maker writes every one of them: growing the vector leaves the new
// bytes unset instead of zeroing them first, so a decoded picture of a few megabytes is written, and
// its pages touched, once rather than twice. Whatever grows one writes all it adds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

template <class T>
struct UnsetOnGrowAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UnsetOnGrowAllocator<U>;
  };
  UnsetOnGrowAllocator() = default;
  template <class U>
  UnsetOnGrowAllocator(const UnsetOnGrowAllocator<U>&) noexcept {}

  // A value made without arguments (resize) is left unset; every other is made as usual.
  template <class U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <class U, class... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
};

using PictureBlock = std::vector<uint8_t, UnsetOnGrowAllocator<uint8_t>>;

// A block holding a copy of `size` bytes from `data`, copied in one go (a vector of this allocator
// copies element by element).
inline PictureBlock CopyToBlock(const uint8_t* data, size_t size) {
  PictureBlock block;
  block.resize(size);
  if (size != 0) std::memcpy(block.data(), data, size);
  return block;
}
