#pragma once
// The zero-filled memory an owned surface keeps its pixels in. A full-screen surface is megabytes
// that are first touched while the window paints for the first time: taken page by page that is
// over a thousand page faults, milliseconds of a start-up. Blocks of at least kHugeBytes are
// therefore mapped straight from the kernel on a huge-page boundary with huge pages asked for, and
// with all their pages asked for at once (both only advice: small pages, and pages that come on first
// touch, work as well); smaller ones come from the heap. Either way the memory arrives zeroed without
// being written first. Moves, never copies.

#include <cstddef>
#include <cstdint>

namespace plat {

class PixelMemory {
 public:
  // Blocks from this size on (bytes) are mapped on their own with huge pages asked for.
  static constexpr size_t kHugeBytes = size_t(2) << 20;

  // What the pixels hold when handed over: zeros, or whatever the memory held, for a caller that
  // writes every pixel before any is read (a small block then skips being cleared first; a large one
  // comes zeroed from the kernel either way).
  enum class Start { kZeroed, kWrittenByCaller };

  PixelMemory() = default;
  // `count` 32-bit pixels; throws std::bad_alloc when the memory cannot be had.
  explicit PixelMemory(size_t count, Start start = Start::kZeroed);
  ~PixelMemory();
  PixelMemory(PixelMemory&& other) noexcept;
  PixelMemory& operator=(PixelMemory&& other) noexcept;
  PixelMemory(const PixelMemory&) = delete;
  PixelMemory& operator=(const PixelMemory&) = delete;

  uint32_t* Data() const { return pixels_; }
  size_t Count() const { return count_; }
  // Whether the block is a mapping of its own (else heap memory, or nothing); a mapping arrives zeroed
  // whatever the start asked for.
  bool Mapped() const { return mapping_ != nullptr; }

 private:
  void Release();

  uint32_t* pixels_ = nullptr;
  size_t count_ = 0;
  void* mapping_ = nullptr;  // the whole mapping when mapped; pixels_ lies inside it
  size_t mappedBytes_ = 0;
};

}  // namespace plat
