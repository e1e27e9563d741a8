// Decoding of PNG pictures held in memory into a packed device-independent bitmap: a 108-byte header,
// a colour table and bottom-up rows padded to 4 bytes, pixels in blue-green-red(-alpha) order, in
// one block that the caller frees with FreePngBlock.
//
//   grey, grey with alpha  1 to 8 bits per pixel with a grey ramp of 2^bits entries (alpha dropped)
//   RGB                    24 bits
//   palette                24 bits, or 32 when the file has a transparency chunk
//   RGB with alpha         32 bits
// The fourth byte of 32-bit pixels is transparency: 0 opaque, 255 clear (the PNG alpha inverted).
// 16-bit channels are reduced to 8 bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/PictureBlock.h"
#include "platform/GdiTypes.h"

// The PNG bytes being read; the reader advances `cursor` and never reads past `size`.
struct PngMemorySource {
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t cursor = 0;
};

// What loadPng produced. `size` must be 40 on entry.
struct PngBitmapDescriptor {
  uint32_t size = 40;
  uint32_t reserved[2] = {0, 0};
  uint8_t* memory = nullptr;            // the block: header, colour table, rows (free with FreePngBlock)
  uint32_t totalSize = 0;               // 108 + 4 * colours + height * stride
  uint32_t headerSize = 0;              // 108
  uint32_t bitsOffset = 0;              // 108 + 4 * colours
  plat::RGBQUAD* colorTable = nullptr;  // memory + 108
  uint32_t colors = 0;
  uint8_t* bits = nullptr;  // memory + bitsOffset
};

// Results of loadPng.
enum : int32_t {
  kPngOk = 0,
  kPngBadDescriptor = 2,  // the descriptor's size is not 40
  kPngNoMemory = 3,       // decoder structures or the block could not be made (or the image is too big)
  kPngDamaged = 5,        // the decoder reported an error (damaged or truncated data, or image data that
                          // does not inflate to what its Adler-32 sum says)
  kPngUnsupported = 7,    // a colour type this reader does not take
};

// Decodes the PNG in `source` into a new block described in `out`. For a grey image with a
// transparent grey, `*hasTransparent` becomes true and `*transparentColor` that grey as 0x00RRGGBB.
// On any failure nothing is left allocated and out->memory must not be used.
int32_t loadPng(PngMemorySource* source, PngBitmapDescriptor* out, uint32_t* transparentColor,
                bool* hasTransparent);
void FreePngBlock(uint8_t* memory);
// How plain (not interlaced) 8-bit RGB, RGBA and palette pictures (without transparency) are
// decoded: their chunks read, the image data inflated whole and the rows converted in one pass here
// (kDirect, what every caller wants), or through libpng like every other kind (kThroughLibpng: the
// reference the direct way is held to, giving the same answer and the same bytes).
enum class PngRows { kDirect, kThroughLibpng };
// The same decoding into `block` (the header, colour table and rows as loadPng lays them out), for a
// caller that keeps the picture in a vector: no block to copy and free. Empty on any failure.
int32_t loadPngInto(PngMemorySource* source, std::vector<uint8_t>& block, PngRows way = PngRows::kDirect);
// The same into bytes that are not zeroed before the decoding writes them: the same block. Safe on
// any thread: nothing is shared between decodings.
int32_t loadPngInto(PngMemorySource* source, PictureBlock& block, PngRows way = PngRows::kDirect);
// What loadPng would answer from the chunks before the pixels alone (signature, header, palette and
// transparency, the supported colour types, the size limit): kPngOk, kPngNoMemory, kPngDamaged or
// kPngUnsupported. Decodes no pixels, so damage in the image data itself goes unseen. The chunks
// of the pictures whose rows are decoded directly are read without libpng (kDirect) or, like every
// other picture's, through it (kThroughLibpng): the same answer.
int32_t checkPngHeader(PngMemorySource* source, PngRows way = PngRows::kDirect);

// True when the bytes start with the 8-byte PNG signature.
bool HasPngSignature(const uint8_t* data, size_t size);
