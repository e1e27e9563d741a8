// PNG pictures held in memory (catalogue pictures, pasted images): decoded into a packed bitmap whose
// every row is read back, so a block smaller than its descriptor says shows under the sanitizers; and
// the header check that tells a picture without decoding it, over the same bytes; and the direct
// decoding of plain colour rows against libpng's.
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <vector>

#include "framework/PngLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The header check reads the same bytes first; it may not refuse what then decodes.
  PngMemorySource headerSource{data, size, 0};
  const int32_t header = checkPngHeader(&headerSource);
  if (headerSource.cursor > size) __builtin_trap();
  PngMemorySource source{data, size, 0};
  PngBitmapDescriptor out;
  uint32_t transparent = 0;
  bool hasTransparent = false;
  // Plain 8-bit colour and palette rows are decoded directly, others through libpng; the direct way must
  // answer as libpng does and give the same bytes.
  std::vector<uint8_t> direct, reference;
  PngMemorySource directSource{data, size, 0}, referenceSource{data, size, 0};
  if (loadPngInto(&directSource, direct, PngRows::kDirect) !=
          loadPngInto(&referenceSource, reference, PngRows::kThroughLibpng) ||
      direct != reference)
    __builtin_trap();
  if (loadPng(&source, &out, &transparent, &hasTransparent) != kPngOk) {
    if (out.memory != nullptr) __builtin_trap();  // nothing may stay allocated on failure
    return 0;
  }
  if (header != kPngOk) __builtin_trap();
  if (source.cursor > size || out.bitsOffset > out.totalSize) __builtin_trap();
  volatile uint32_t sum = std::accumulate(out.memory, out.memory + out.totalSize, 0u);
  (void)sum;
  FreePngBlock(out.memory);
  return 0;
}
