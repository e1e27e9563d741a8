#include "platform/HeapThresholds.h"

#include <cstdlib>  // names the C library (__GLIBC__)

#if defined(__GLIBC__)
#include <malloc.h>

// glibc's own entry for mallopt, the same function in a plain build. A sanitizer build replaces malloc
// and mallopt, the latter by one that ignores its arguments; through this entry glibc's allocator has
// the same settings in every build, so the tests can watch them.
extern "C" int __libc_mallopt(int parameter, int value);
#endif

namespace plat {

void KeepFreedHeapMemoryMapped() {
#if defined(__GLIBC__)
  // The highest values glibc's own adaptation reaches (32 MiB for a block of its own mapping, twice
  // that left free at the top of the heap before it is trimmed): memory freed below them stays
  // mapped, and blocks above 32 MiB (the handle zone itself) still get mappings of their own that go
  // back to the kernel when freed. Setting either turns glibc's adaptation off for both.
  static const bool set = [] {
    __libc_mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    __libc_mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    return true;
  }();
  (void)set;
#endif
}

}  // namespace plat
