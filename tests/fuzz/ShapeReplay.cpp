// Recorded drawings as documents and catalogue shapes store them: the records are replayed onto a
// recording shape, and that recording once more, at an offset and a scale.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "framework/ppShape.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  ppShape stored;
  stored.Reset();
  MemSetSize(stored.Records(), uint32_t(size));
  if (size != 0) std::memcpy(*stored.Records(), data, size);
  ppShape copy;
  stored.Replay(&copy, 0, 0, 1);
  ppShape moved;
  copy.Replay(&moved, 12.5f, -3, 0.25f);
  return 0;
}
