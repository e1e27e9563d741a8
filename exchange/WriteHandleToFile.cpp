#include "exchange/WriteHandleToFile.h"

#include <cstdint>

#include "foundation/FileOperations.h"

void WriteHandleToFile(ppFileSpec& target, Handle data) {
  ppFileSpec open;
  WriteFileSafely(target, open, [&open, data] {
    const int32_t size = MemGetSize(data);
    if (size <= 0) return;
    MemLock(data);
    try {
      FileWrite(open, *data, static_cast<uint32_t>(size), 0);
    } catch (...) {
      MemUnlock(data);
      throw;
    }
    MemUnlock(data);
  });
}
