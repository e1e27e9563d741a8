// PNG pictures held in memory (catalogue pictures, pasted images): decoded into a packed bitmap whose
// every row is read back, so a block smaller than its descriptor says shows under the sanitizers; and
// the header check that tells a picture without decoding it, over the same bytes; and the direct
// decoding of plain colour and palette pictures (their chunks and rows read without libpng) against
// libpng's. Every chunk's CRC is made to hold before anything reads the bytes, so that the mutations
// reach the inflater, the stream's sum and the row filters instead of stopping at the CRC check,
// which refuses nearly every chunk a mutation touches.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <numeric>
#include <vector>

#include <zlib.h>

#include "framework/PngLoader.h"

namespace {

// The bytes with every whole chunk's CRC that of its type and data; a trailing part chunk is left as
// it is.
std::vector<uint8_t> WithCrcsThatHold(const uint8_t* data, size_t size) {
  std::vector<uint8_t> png(data, data + size);
  for (size_t at = 8; at <= png.size() && png.size() - at >= 12;) {
    const uint32_t length = uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 |
                            uint32_t(png[at + 2]) << 8 | uint32_t(png[at + 3]);
    if (length > png.size() - at - 12) break;
    const uLong crc = crc32(crc32(0, nullptr, 0), png.data() + at + 4, uInt(length) + 4);
    for (size_t i = 0; i < 4; ++i) png[at + 8 + length + i] = uint8_t(crc >> (24 - 8 * i));
    at += size_t(length) + 12;
  }
  return png;
}

// Whether zlib refuses the file's image data for one of the code descriptions the direct rows'
// inflater takes and zlib does not (more than 286 length or 30 distance codes declared, a reserved
// code used, a code-length code of one codeword): the one way the direct rows may decode a picture
// libpng refuses.
bool ZlibRefusesLaxCodes(const uint8_t* data, size_t size) {
  std::vector<uint8_t> stream;
  for (size_t at = 8; at <= size && size - at >= 12;) {
    const uint32_t length = uint32_t(data[at]) << 24 | uint32_t(data[at + 1]) << 16 |
                            uint32_t(data[at + 2]) << 8 | uint32_t(data[at + 3]);
    if (length > size - at - 12) break;
    if (std::memcmp(data + at + 4, "IDAT", 4) == 0)
      stream.insert(stream.end(), data + at + 8, data + at + 8 + length);
    at += size_t(length) + 12;
  }
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  std::vector<uint8_t> out(1 << 16);
  z.next_in = stream.data();
  z.avail_in = uInt(stream.size());
  int result = Z_OK;
  while (result == Z_OK) {
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    result = inflate(&z, Z_NO_FLUSH);
    if (result == Z_OK && z.avail_out == out.size()) break;  // no progress: the data ran out
  }
  const std::string message = z.msg != nullptr ? z.msg : "";
  inflateEnd(&z);
  return result == Z_DATA_ERROR &&
         (message == "too many length or distance symbols" || message == "invalid literal/length code" ||
          message == "invalid distance code" || message == "invalid code lengths set");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t inputSize) {
  const std::vector<uint8_t> mended = WithCrcsThatHold(input, inputSize);
  const uint8_t* data = mended.data();
  const size_t size = mended.size();
  // The header check reads the same bytes first; it may not refuse what then decodes.
  PngMemorySource headerSource{data, size, 0};
  const int32_t header = checkPngHeader(&headerSource);
  if (headerSource.cursor > size) __builtin_trap();
  // Read without libpng or through it, the chunks before the pixels give the same answer.
  PngMemorySource libpngHeaderSource{data, size, 0};
  if (checkPngHeader(&libpngHeaderSource, PngRows::kThroughLibpng) != header) __builtin_trap();
  PngMemorySource source{data, size, 0};
  PngBitmapDescriptor out;
  uint32_t transparent = 0;
  bool hasTransparent = false;
  // Plain 8-bit colour and palette rows are decoded directly, others through libpng; the direct way must
  // answer as libpng does and give the same bytes.
  std::vector<uint8_t> direct, reference;
  PngMemorySource directSource{data, size, 0}, referenceSource{data, size, 0};
  const int32_t directStatus = loadPngInto(&directSource, direct, PngRows::kDirect);
  const int32_t referenceStatus = loadPngInto(&referenceSource, reference, PngRows::kThroughLibpng);
  const bool laxer =
      directStatus == kPngOk && referenceStatus == kPngDamaged && ZlibRefusesLaxCodes(data, size);
  if (!laxer && (directStatus != referenceStatus || direct != reference)) __builtin_trap();
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
