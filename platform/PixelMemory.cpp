#include "platform/PixelMemory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>
#include <utility>

namespace plat {

PixelMemory::PixelMemory(size_t count, Start start) : count_(count) {
  if (count == 0) return;
  if (count > SIZE_MAX / 4 - kHugeBytes) throw std::bad_alloc();
  const size_t bytes = count * 4;
  if (bytes < kHugeBytes) {
    pixels_ = static_cast<uint32_t*>(start == Start::kZeroed ? std::calloc(count, 4) : std::malloc(bytes));
    if (pixels_ == nullptr) throw std::bad_alloc();
    return;
  }
  // One huge page more than needed, so that the pixels can start on a huge-page boundary and the
  // kernel can back every whole huge page of them with one.
  const size_t rounded = (bytes + kHugeBytes - 1) / kHugeBytes * kHugeBytes;
  mappedBytes_ = rounded + kHugeBytes;
  void* base = mmap(nullptr, mappedBytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) throw std::bad_alloc();
  mapping_ = base;
  const uintptr_t aligned = (reinterpret_cast<uintptr_t>(base) + kHugeBytes - 1) & ~uintptr_t(kHugeBytes - 1);
  pixels_ = reinterpret_cast<uint32_t*>(aligned);
  madvise(pixels_, rounded, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
  // Every page is written soon (a surface is painted whole), and the first touch of many is a read:
  // a fill keeps each pixel's fourth byte. Read first, a page is mapped to the shared zero page and
  // then copied on the write, with the other processors told to forget the old mapping. Asking for
  // writable pages at once takes the same clearing without those steps. Only advice: a kernel
  // without it (before Linux 5.14) clears pages as they are touched.
  madvise(pixels_, bytes, MADV_POPULATE_WRITE);
#endif
}

PixelMemory::~PixelMemory() { Release(); }

PixelMemory::PixelMemory(PixelMemory&& other) noexcept
    : pixels_(std::exchange(other.pixels_, nullptr)),
      count_(std::exchange(other.count_, 0)),
      mapping_(std::exchange(other.mapping_, nullptr)),
      mappedBytes_(std::exchange(other.mappedBytes_, 0)) {}

PixelMemory& PixelMemory::operator=(PixelMemory&& other) noexcept {
  if (this != &other) {
    Release();
    pixels_ = std::exchange(other.pixels_, nullptr);
    count_ = std::exchange(other.count_, 0);
    mapping_ = std::exchange(other.mapping_, nullptr);
    mappedBytes_ = std::exchange(other.mappedBytes_, 0);
  }
  return *this;
}

void PixelMemory::Release() {
  if (mapping_ != nullptr)
    munmap(mapping_, mappedBytes_);
  else
    std::free(pixels_);
  pixels_ = nullptr;
  count_ = 0;
  mapping_ = nullptr;
  mappedBytes_ = 0;
}

}  // namespace plat
