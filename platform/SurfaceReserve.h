#pragma once
// Pixel memory made ready ahead of a surface that is known to come. The maximised frame's first
// surface is megabytes that the kernel clears page by page when they are first written: most of a
// millisecond of a start-up, spent before its first painted frame. `Prepare` maps such a block at once
// and has the background worker (BackgroundWork) ask the kernel to put writable pages under it, first
// to last, so that the kernel clears them on another processor while the user-interface thread opens
// the program's files. The next surface of exactly that many pixels takes the block at once, whether
// or not the job has finished: its pixels are zero either way, and a page the job has not reached yet
// is cleared when first written, as in any block. A block nobody takes is unmapped by the next `Prepare`, by
// `Release` and by the desktop's reset.
//
// The job only asks the kernel for pages (it never writes a pixel), so it may go on in a block a
// surface already paints. It is waited for before its block is unmapped (PixelMemory calls
// `BeforeUnmap`). Prepare, Take and Release belong to the user-interface thread; BeforeUnmap may come
// from any thread.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/PixelMemory.h"

namespace plat {

class SurfaceReserve {
 public:
  // Makes memory ready for a surface of `width` by `height` pixels, replacing a block made ready
  // before. Blocks too small to be mapped on their own (PixelMemory::kHugeBytes) are left alone:
  // nothing is made ready for them.
  static void Prepare(int32_t width, int32_t height);
  // The ready block when it holds exactly `count` pixels (all zero), else nothing.
  static std::optional<PixelMemory> Take(size_t count);
  // Waits for the job and unmaps a block nobody took.
  static void Release();
  // Whether a block is held and not yet taken.
  static bool Holding();
  // Called before the mapped block whose pixels start at `pixels` is unmapped: waits for the job when
  // it may still be at work in that block.
  static void BeforeUnmap(const void* pixels);
};

}  // namespace plat
