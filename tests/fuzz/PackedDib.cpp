// Packed device-independent bitmaps as pictures and the clipboard hand them over: the header, masks
// and colour table are read, and when they are accepted every pixel is converted.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/Dib.h"
#include "platform/Surface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto format = plat::ParsePackedDib(std::span<const uint8_t>(data, size));
  if (!format) return 0;
  // The parser promised that header, table and pixels lie inside the bytes.
  if (format->headerBytes + format->ImageBytes() > size) __builtin_trap();
  // Large pictures are valid but only slow the search down.
  if (int64_t(format->width) * format->height > 1 << 20) return 0;
  plat::Surface surface(format->width, format->height);
  plat::DibToSurface(*format, data + format->headerBytes, surface);
  return 0;
}
