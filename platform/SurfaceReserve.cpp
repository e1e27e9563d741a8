#include "platform/SurfaceReserve.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <utility>

#include "platform/BackgroundWork.h"
#include "platform/ResetList.h"

namespace plat {

namespace {

// The block made ready, the background job making its pages ready and the pixels that job works in
// (those of the held block, or of a block already handed over). Guarded by `lock`, which is never
// held while a block is unmapped.
struct Reserve {
  std::mutex lock;
  PixelMemory block;
  BackgroundWork::Ticket job = 0;
  const void* working = nullptr;
};
Reserve gReserve;

// Asks the kernel for writable pages under `bytes` bytes from `first` (a page boundary), one huge
// page's worth at a time from the first, the order in which a surface is painted. A kernel without
// the request (before Linux 5.14) refuses it: the pages are then cleared when first written.
void PopulatePages(uint8_t* first, size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  for (size_t offset = 0; offset < bytes; offset += PixelMemory::kHugeBytes) {
    const size_t length = std::min(PixelMemory::kHugeBytes, bytes - offset);
    if (madvise(first + offset, length, MADV_POPULATE_WRITE) != 0) return;
  }
#else
  (void)first;
  (void)bytes;
#endif
}

// Waits for the job; the caller holds the lock.
void WaitForJob() {
  BackgroundWork::WaitFor(gReserve.job);
  gReserve.job = 0;
  gReserve.working = nullptr;
}

[[maybe_unused]] const bool kReset =
    ResetList::Add("surface reserve: the block made ready for a surface", [] { SurfaceReserve::Release(); });

}  // namespace

void SurfaceReserve::Prepare(int32_t width, int32_t height) {
  Release();
  if (width <= 0 || height <= 0) return;
  const size_t count = size_t(width) * size_t(height);
  if (count > SIZE_MAX / 8 || count * 4 < PixelMemory::kHugeBytes) return;
  PixelMemory block(count, PixelMemory::Start::kZeroed);
  if (!block.Mapped()) return;
  std::lock_guard<std::mutex> hold(gReserve.lock);
  uint8_t* first = reinterpret_cast<uint8_t*>(block.Data());
  gReserve.working = first;
  gReserve.job = BackgroundWork::Post([first, bytes = count * 4] { PopulatePages(first, bytes); });
  gReserve.block = std::move(block);
}

std::optional<PixelMemory> SurfaceReserve::Take(size_t count) {
  std::lock_guard<std::mutex> hold(gReserve.lock);
  if (gReserve.block.Data() == nullptr || gReserve.block.Count() != count) return std::nullopt;
  return std::move(gReserve.block);
}

void SurfaceReserve::Release() {
  PixelMemory unused;
  {
    std::lock_guard<std::mutex> hold(gReserve.lock);
    WaitForJob();
    unused = std::move(gReserve.block);
  }
  // Unmapped here, outside the lock (BeforeUnmap takes it).
}

bool SurfaceReserve::Holding() {
  std::lock_guard<std::mutex> hold(gReserve.lock);
  return gReserve.block.Data() != nullptr;
}

void SurfaceReserve::BeforeUnmap(const void* pixels) {
  std::lock_guard<std::mutex> hold(gReserve.lock);
  if (pixels != nullptr && pixels == gReserve.working) WaitForJob();
}

}  // namespace plat
