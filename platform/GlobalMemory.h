#pragma once
// Global memory blocks: the exact-size byte blocks that clipboard and drag data, and the print
// settings' device blocks, travel in. A handle names one block; its size is exactly what was asked
// (GlobalSize answers it), and a block handed to GlobalFree is gone: later calls with that handle are
// refused (answer 0 or null) instead of touching freed memory. Lock counts are kept for the callers
// that test them; a locked block does not move (no block ever moves here).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/GdiTypes.h"

namespace plat {

class GlobalMemoryBlock;
using HGLOBAL = GlobalMemoryBlock*;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// One block: its bytes and its lock count. Owned by the table of live blocks, reached by handle.
class GlobalMemoryBlock {
 public:
  explicit GlobalMemoryBlock(size_t size) : bytes_(size) {}
  size_t Size() const { return bytes_.size(); }
  uint8_t* Data() { return bytes_.data(); }
  int32_t locks = 0;

 private:
  std::vector<uint8_t> bytes_;  // zero-filled, so GMEM_ZEROINIT costs nothing
};

// Null when the size does not fit in 32 bits (the platform's limit).
HGLOBAL GlobalAlloc(UINT flags, size_t size);
// The block's first byte (also for a block of size 0: a valid, empty pointer), null for a bad handle.
void* GlobalLock(HGLOBAL block);
// True while the block stays locked; false when the count reached 0 or the handle is bad.
BOOL GlobalUnlock(HGLOBAL block);
size_t GlobalSize(HGLOBAL block);  // 0 for a null or freed handle
// Null on success; the handle itself when it is not a live block (the platform's failure answer).
HGLOBAL GlobalFree(HGLOBAL block);
// Number of live blocks; tests use it to see that every block was freed.
size_t GlobalBlockCount();

}  // namespace plat
