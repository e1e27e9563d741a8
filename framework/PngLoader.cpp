#include "framework/PngLoader.h"

#include <libdeflate.h>
#include <png.h>
#include <zlib.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "platform/ResetList.h"

namespace {

constexpr uint32_t kV4HeaderBytes = 108;
// Larger images are refused as out of memory rather than attempted.
constexpr uint64_t kLargestBlock = uint64_t(1) << 30;

// Everything the decoder allocates, reached only through this record so that a jump back from the
// error handler finds it current and can free it.
struct DecodeState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  uint8_t* block = nullptr;
  png_bytep* rows = nullptr;
  // The caller's storage for the block, when it gives one: zeroed as it is made, or left unset (then
  // every byte the decoding does not write is zeroed on the way).
  std::vector<uint8_t>* into = nullptr;
  PictureBlock* intoUnset = nullptr;
  PngRows way = PngRows::kDirect;
};

struct ImageLayout {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitCount = 0;
  uint32_t colors = 0;
  uint32_t stride = 0;
  int32_t xPelsPerMeter = 0;
  int32_t yPelsPerMeter = 0;
  uint32_t transparentColor = 0;
  bool hasTransparent = false;
  // Bytes per pixel of an 8-bit palette (1), RGB (3) or RGBA (4) picture stored plainly, whose rows
  // may be decoded directly (DirectRows); 0 for every other kind.
  uint32_t directChannels = 0;
  // A palette picture's colours as the block's bytes (blue, green, red, then a zero), for the direct
  // rows; entries past the palette's end are zero.
  uint32_t paletteSize = 0;
  uint32_t colours[256] = {};
  // The first sixteen colours a channel at a time (blue, green, red), for lookups by byte shuffles.
  uint8_t channels[3][16] = {};
};

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
  auto* source = static_cast<PngMemorySource*>(png_get_io_ptr(png));
  if (source->cursor > source->size || count > source->size - source->cursor) png_error(png, "truncated");
  std::memcpy(out, source->data + source->cursor, count);
  source->cursor += count;
}

void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// libpng checks the image data's Adler-32 sum when zlib reaches it. When that happens in the call
// that inflates the last row, a wrong sum is an error; when the sum comes in later input (the image
// data in several chunks), libpng only warns, with zlib's own message after the chunk's name, and
// would keep rows that do not inflate to what their writer stored. That warning is an error here
// too, so that the answer does not hang on how the data was cut into chunks. Every other warning
// is ignored.
void OnWarning(png_structp png, png_const_charp message) {
  if (message != nullptr && std::strcmp(message, "IDAT: incorrect data check") == 0) png_error(png, message);
}

void Release(DecodeState* st) {
  std::free(st->rows);
  st->rows = nullptr;
  std::free(st->block);
  st->block = nullptr;
  if (st->png) png_destroy_read_struct(&st->png, st->info ? &st->info : nullptr, nullptr);
  st->png = nullptr;
  st->info = nullptr;
}

// The transparent grey of a grey image's transparency chunk, scaled like its pixels.
uint32_t TransparentGrey(const png_color_16& trans, int bitDepth) {
  uint32_t g = trans.gray;
  if (bitDepth == 16)
    g >>= 8;
  else if (bitDepth < 8)
    g = g * 255 / ((1u << bitDepth) - 1);
  return (g & 0xFF) * 0x10101;
}

// A palette picture's `count` colours, given as red, green, blue triples, as the direct rows look
// them up.
void SetPalette(ImageLayout& l, const uint8_t* rgb, uint32_t count) {
  static_assert(sizeof(png_color) == 3, "libpng's palette entries are red, green, blue triples");
  l.paletteSize = count;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t bytes[4] = {rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i], 0};
    std::memcpy(&l.colours[i], bytes, 4);
    if (i < 16)
      for (int c = 0; c < 3; ++c) l.channels[c][i] = bytes[c];
  }
}

// Row bytes of the block for `bitCount` bits a pixel, padded to four bytes.
uint32_t Stride(uint32_t width, int bitCount) {
  return uint32_t(((uint64_t(width) * uint32_t(bitCount) + 31) / 32) * 4);
}

// Chooses the output format and sets the decoder's transforms; false for an unknown colour type.
bool ChooseFormat(DecodeState* st, ImageLayout& l) {
  int bitDepth = 0, colorType = 0, interlace = 0, compression = 0, filter = 0;
  png_get_IHDR(st->png, st->info, &l.width, &l.height, &bitDepth, &colorType, &interlace, &compression,
               &filter);
  const bool hasTrns = png_get_valid(st->png, st->info, PNG_INFO_tRNS) != 0;
  if (bitDepth == 8 && interlace == PNG_INTERLACE_NONE && compression == PNG_COMPRESSION_TYPE_BASE &&
      filter == PNG_FILTER_TYPE_BASE)
    l.directChannels = colorType == PNG_COLOR_TYPE_RGB                   ? 3
                       : colorType == PNG_COLOR_TYPE_RGB_ALPHA           ? 4
                       : colorType == PNG_COLOR_TYPE_PALETTE && !hasTrns ? 1
                                                                         : 0;
  if (l.directChannels == 1) {
    png_colorp colours = nullptr;
    int count = 0;
    if (png_get_PLTE(st->png, st->info, &colours, &count) && colours != nullptr && count > 0 && count <= 256)
      SetPalette(l, reinterpret_cast<const uint8_t*>(colours), uint32_t(count));
    else
      l.directChannels = 0;
  }
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      l.bitCount = std::min(bitDepth, 8);
      l.colors = 1u << l.bitCount;
      if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_strip_alpha(st->png);  // rows of b bits per pixel
      if (colorType == PNG_COLOR_TYPE_GRAY && hasTrns) {
        png_color_16p trans = nullptr;
        png_get_tRNS(st->png, st->info, nullptr, nullptr, &trans);
        if (trans) {
          l.hasTransparent = true;
          l.transparentColor = TransparentGrey(*trans, bitDepth);
        }
      }
      break;
    case PNG_COLOR_TYPE_RGB:
      l.bitCount = 24;
      png_set_bgr(st->png);
      break;
    case PNG_COLOR_TYPE_PALETTE:
      l.bitCount = hasTrns ? 32 : 24;
      png_set_bgr(st->png);
      png_set_palette_to_rgb(st->png);
      if (hasTrns) png_set_tRNS_to_alpha(st->png);
      break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      l.bitCount = 32;
      png_set_bgr(st->png);
      break;
    default:
      return false;
  }
  png_set_invert_alpha(st->png);
  png_set_strip_16(st->png);
  png_set_interlace_handling(st->png);
  png_uint_32 xRes = 0, yRes = 0;
  int unit = 0;
  if (png_get_pHYs(st->png, st->info, &xRes, &yRes, &unit) && unit == PNG_RESOLUTION_METER) {
    l.xPelsPerMeter = int32_t(std::min<png_uint_32>(xRes, 0x7FFFFFFF));
    l.yPelsPerMeter = int32_t(std::min<png_uint_32>(yRes, 0x7FFFFFFF));
  }
  l.stride = Stride(l.width, l.bitCount);
  return true;
}

void WriteHeader(uint8_t* block, const ImageLayout& l) {
  plat::BITMAPV4HEADER h;
  h.bV4Width = int32_t(l.width);
  h.bV4Height = int32_t(l.height);
  h.bV4BitCount = plat::WORD(l.bitCount);
  h.bV4SizeImage = l.stride * l.height;
  h.bV4XPelsPerMeter = l.xPelsPerMeter;
  h.bV4YPelsPerMeter = l.yPelsPerMeter;
  h.bV4ClrUsed = l.colors;
  h.bV4RedMask = 0x00FF0000;
  h.bV4GreenMask = 0x0000FF00;
  h.bV4BlueMask = 0x000000FF;
  h.bV4AlphaMask = l.bitCount == 32 ? 0xFF000000 : 0;
  std::memcpy(block, &h, sizeof h);
}

// ---- The rows of plain 8-bit RGB, RGBA and palette pictures, decoded here rather than through libpng.
// libpng inflates one row per call with zlib, and each row passes libpng's transforms one after
// another. Here the image data is inflated whole in one call (libdeflate, about twice zlib's speed
// on these pictures), and each row unfiltered and turned into the block's blue-green-red(-alpha)
// order in one pass. Whatever is out of the ordinary (a chunk's CRC that does not hold, a stream that
// ends early or goes on or whose Adler-32 sum does not hold, a preset dictionary, any chunk between
// the image data and the end chunk) gives the picture back to libpng, which then decodes or refuses
// it as ever, so this way gives the same bytes as libpng for every picture it takes. libdeflate is
// laxer than zlib in a few ways no encoder uses: it takes a code description that declares more than
// the 286 length or 30 distance codes, the two reserved codes of each alphabet, and a code-length
// code of one codeword; such a picture decodes here where libpng refuses it as damaged.

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

struct Chunk {
  uint32_t length = 0;
  const uint8_t* type = nullptr;  // the four type bytes; the data follows, then the CRC
  const uint8_t* data = nullptr;
};

// The chunk at `at`, moving `at` past it; false when it is longer than PNG allows or runs past the bytes.
bool NextChunk(const PngMemorySource& source, size_t& at, Chunk& chunk) {
  if (at > source.size || source.size - at < 12) return false;
  const uint32_t length = BigEndian32(source.data + at);
  if (length > PNG_UINT_31_MAX || source.size - at - 12 < length) return false;
  chunk = Chunk{length, source.data + at + 4, source.data + at + 8};
  at += size_t(length) + 12;
  return true;
}

bool IsType(const Chunk& chunk, const char* type) { return std::memcmp(chunk.type, type, 4) == 0; }

// Image data chunks up to this length (bytes) are within what libpng takes of any picture.
constexpr uint32_t kLargestImageChunk = 8000000;

// Whether the chunk's stored CRC is that of its type and data.
bool CrcHolds(const Chunk& chunk) {
  return crc32(crc32(0, nullptr, 0), chunk.type, uInt(chunk.length) + 4) ==
         BigEndian32(chunk.data + chunk.length);
}

// ---- The chunks before the pixels of the pictures whose rows are decoded directly, read here too:
// making libpng's reader and reading the header through it cost more than decoding a small picture.
// One layout only is taken: the signature; a header of an 8-bit RGB, RGBA or palette picture, not
// interlaced, within libpng's limits; for a palette picture its palette of 1 to 256 colours next;
// then the image data. Every CRC must hold. Any other chunk, value or order leaves the picture to
// libpng from its first byte, which reads or refuses it as ever, so a picture read here is one that
// libpng reads to the same layout, and a damaged one gets libpng's answer.

// libpng's default limit on a picture's width and height, in pixels.
constexpr uint32_t kLargestSide = 1000000;

// Reads the signature and the chunks up to the image data into `l`; `imageData` becomes the offset
// of the first IDAT chunk. False when the picture is to be read by libpng.
bool ReadLeadingChunks(const PngMemorySource& source, ImageLayout& l, size_t& imageData) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (source.data == nullptr || source.size < 8 || std::memcmp(source.data, kSignature, 8) != 0) return false;
  size_t at = 8;
  Chunk chunk;
  if (!NextChunk(source, at, chunk) || !IsType(chunk, "IHDR") || chunk.length != 13 || !CrcHolds(chunk))
    return false;
  const uint8_t* h = chunk.data;
  l.width = BigEndian32(h);
  l.height = BigEndian32(h + 4);
  // Bit depth 8; colour type 2 (RGB), 6 (RGBA) or 3 (palette); compression, filter and interlace 0.
  const uint8_t colourType = h[9];
  if (l.width == 0 || l.width > kLargestSide || l.height == 0 || l.height > kLargestSide || h[8] != 8 ||
      h[10] != 0 || h[11] != 0 || h[12] != 0)
    return false;
  l.directChannels = colourType == 2 ? 3 : colourType == 6 ? 4 : colourType == 3 ? 1 : 0;
  if (l.directChannels == 0) return false;
  l.bitCount = l.directChannels == 4 ? 32 : 24;
  l.stride = Stride(l.width, l.bitCount);
  imageData = at;
  if (!NextChunk(source, at, chunk)) return false;
  if (l.directChannels == 1) {
    if (!IsType(chunk, "PLTE") || chunk.length == 0 || chunk.length > 3 * 256 || chunk.length % 3 != 0 ||
        !CrcHolds(chunk))
      return false;
    SetPalette(l, chunk.data, chunk.length / 3);
    imageData = at;
    if (!NextChunk(source, at, chunk)) return false;
  }
  return IsType(chunk, "IDAT") && chunk.length <= kLargestImageChunk;
}

// Each thread's inflater, made on its first picture and kept for the next (making one clears some
// 10 kB). The desktop's reset moves the generation on, so that the next picture of every thread makes
// a new inflater as the first picture of a fresh process would. The generation is written by the
// user-interface thread's reset and read by any thread that decodes.
std::atomic<uint32_t> gInflaterGeneration{0};
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("picture decoding: each thread's inflater", [] { ++gInflaterGeneration; });

class ThreadInflater {
 public:
  ThreadInflater() = default;
  ~ThreadInflater() { libdeflate_free_decompressor(inflater_); }
  ThreadInflater(const ThreadInflater&) = delete;
  ThreadInflater& operator=(const ThreadInflater&) = delete;

  // This thread's inflater, or null when none can be made.
  static libdeflate_decompressor* Get() {
    thread_local ThreadInflater mine;
    const uint32_t generation = gInflaterGeneration.load(std::memory_order_relaxed);
    if (mine.inflater_ == nullptr || mine.generation_ != generation) {
      libdeflate_free_decompressor(mine.inflater_);
      mine.inflater_ = libdeflate_alloc_decompressor();
      mine.generation_ = generation;
    }
    return mine.inflater_;
  }

 private:
  libdeflate_decompressor* inflater_ = nullptr;
  uint32_t generation_ = 0;
};

// The zlib stream of the chain of IDAT chunks, whole: pointing into the source when one chunk holds
// it, joined into a buffer of its own when several do.
class ImageData {
 public:
  explicit ImageData(const PngMemorySource& source) : source_(source) {}

  // Finds the first IDAT chunk from offset `at` on (every chunk before it has been read and checked)
  // and takes the chain up to the end chunk, which must follow directly, empty; every CRC must hold,
  // and no chunk may be longer than libpng takes. `end` becomes the offset after the end chunk. False
  // for anything else.
  bool Gather(size_t at, size_t& end) {
    Chunk chunk;
    do {
      if (!NextChunk(source_, at, chunk)) return false;
    } while (!IsType(chunk, "IDAT"));
    const Chunk first = chunk;
    size_t total = 0, chunks = 0;
    for (; IsType(chunk, "IDAT"); ++chunks) {
      if (chunk.length > kLargestImageChunk || !CrcHolds(chunk)) return false;
      total += chunk.length;
      if (!NextChunk(source_, at, chunk)) return false;
    }
    if (!IsType(chunk, "IEND") || chunk.length != 0 || !CrcHolds(chunk)) return false;
    end = at;
    if (chunks == 1) {
      bytes_ = first.data;
      size_ = first.length;
      return true;
    }
    if (!Join(first, total)) return false;
    bytes_ = joined_.get();
    size_ = total;
    return true;
  }

  // Inflates the stream into exactly `count` bytes at `out`, as libpng's zlib would take it: the
  // header checked as zlib checks it, no preset dictionary, the repeats within reach (see
  // WindowCoversRepeats), the stream ending with its 4-byte Adler-32 sum at the data's last byte, and
  // that sum holding for the inflated bytes. A chunk's CRC only says the compressed bytes are those
  // its writer stored; the sum is what says they inflate to the writer's rows.
  bool Inflate(uint8_t* out, size_t count) const {
    constexpr size_t kHeader = 2, kSum = 4;
    if (size_ < kHeader + kSum) return false;
    const uint32_t method = bytes_[0], flags = bytes_[1];
    if ((method & 0x0F) != 8 || (method >> 4) > 7 || (method << 8 | flags) % 31 != 0 || (flags & 0x20) != 0)
      return false;
    if (!WindowCoversRepeats(count)) return false;
    libdeflate_decompressor* inflater = ThreadInflater::Get();
    if (inflater == nullptr) return false;
    const size_t deflated = size_ - kHeader - kSum;
    size_t used = 0;
    const libdeflate_result result =
        libdeflate_deflate_decompress_ex(inflater, bytes_ + kHeader, deflated, out, count, &used, nullptr);
    if (result != LIBDEFLATE_SUCCESS || used != deflated) return false;
    // One pass of the running sum over the whole output (vectorised, its modulo taken once every few
    // kilobytes), cheap beside the inflating.
    return libdeflate_adler32(1, out, count) == BigEndian32(bytes_ + size_ - kSum);
  }

 private:
  // Whether the whole inflating reaches back no further than libpng's rows do. zlib checks a repeat
  // against the window the stream's header states only where the repeat reaches before the output of
  // the current call: libpng, inflating one row per call, refuses a stream whose repeats reach further
  // back than its window, while one call for the whole image takes it. No repeat can reach that far
  // when the window is the largest (no repeat is longer), or when the whole image data fits in it
  // (as in small pictures, which are written with small windows).
  bool WindowCoversRepeats(size_t inflatedBytes) const {
    const uint32_t windowLog = (bytes_[0] >> 4) + 8u;
    return windowLog >= 15 || inflatedBytes <= (size_t(1) << windowLog);
  }

  // Copies the data of the IDAT chain from `first` on, `total` bytes, into joined_.
  bool Join(const Chunk& first, size_t total) {
    joined_.reset(new (std::nothrow) uint8_t[total]);
    if (!joined_) return false;
    size_t at = size_t(first.data - source_.data) - 8, filled = 0;
    Chunk chunk;
    while (filled < total && NextChunk(source_, at, chunk)) {
      std::memcpy(joined_.get() + filled, chunk.data, chunk.length);
      filled += chunk.length;
    }
    return filled == total;
  }

  const PngMemorySource& source_;
  const uint8_t* bytes_ = nullptr;
  size_t size_ = 0;
  std::unique_ptr<uint8_t[]> joined_;
};

uint8_t Paeth(uint8_t left, uint8_t up, uint8_t upLeft) {
  const int32_t toLeft = std::abs(int32_t(up) - upLeft);
  const int32_t toUp = std::abs(int32_t(left) - upLeft);
  const int32_t toUpLeft = std::abs(int32_t(left) + up - 2 * int32_t(upLeft));
  if (toLeft <= toUp && toLeft <= toUpLeft) return left;
  return toUp <= toUpLeft ? up : upLeft;
}

// Undoes the filter of `bytes` bytes of a row in place; `above` is the row above, already unfiltered
// (zeros above the first row). False for a filter type PNG does not define.
bool Unfilter(uint8_t filter, uint8_t* row, const uint8_t* above, size_t bytes, size_t pixelBytes) {
  const size_t first = std::min(pixelBytes, bytes);  // bytes of the first pixel: nothing on their left
  switch (filter) {
    case 0:
      return true;
    case 1:
      for (size_t i = pixelBytes; i < bytes; ++i) row[i] = uint8_t(row[i] + row[i - pixelBytes]);
      return true;
    case 2:
      for (size_t i = 0; i < bytes; ++i) row[i] = uint8_t(row[i] + above[i]);
      return true;
    case 3:
      for (size_t i = 0; i < first; ++i) row[i] = uint8_t(row[i] + (above[i] >> 1));
      for (size_t i = first; i < bytes; ++i)
        row[i] = uint8_t(row[i] + ((uint32_t(row[i - pixelBytes]) + above[i]) >> 1));
      return true;
    case 4:
      for (size_t i = 0; i < first; ++i) row[i] = uint8_t(row[i] + above[i]);
      for (size_t i = first; i < bytes; ++i)
        row[i] = uint8_t(row[i] + Paeth(row[i - pixelBytes], above[i], above[i - pixelBytes]));
      return true;
    default:
      return false;
  }
}

// The swap of red and blue is a byte shuffle that SSSE3 does 16 bytes at a time; the build targets
// processors without it, so the loop is compiled both ways and the program picks one as it loads.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define SHUFFLE_CLONES __attribute__((target_clones("ssse3", "default")))
#else
#define SHUFFLE_CLONES
#endif

// One row of red-green-blue(-alpha) pixels in the block's order: blue, green, red, and 255 - alpha.
SHUFFLE_CLONES void ToBlueGreenRed(const uint8_t* __restrict from, uint8_t* __restrict to, size_t width,
                                   size_t channels) {
  if (channels == 3) {
    for (size_t x = 0; x < width; ++x) {
      to[3 * x] = from[3 * x + 2];
      to[3 * x + 1] = from[3 * x + 1];
      to[3 * x + 2] = from[3 * x];
    }
    return;
  }
  for (size_t x = 0; x < width; ++x) {
    to[4 * x] = from[4 * x + 2];
    to[4 * x + 1] = from[4 * x + 1];
    to[4 * x + 2] = from[4 * x];
    to[4 * x + 3] = uint8_t(255 - from[4 * x + 3]);
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
// Where output byte 16 * part + i takes its byte from, for the bytes of one colour channel (0 blue,
// 1 green, 2 red) of sixteen pixels held one a byte: the pixel's number, or -128 (a zero byte) where
// another channel's byte goes.
constexpr std::array<int8_t, 16> Spread(int part, int channel) {
  std::array<int8_t, 16> at{};
  for (int i = 0; i < 16; ++i) {
    const int byte = 16 * part + i;
    at[size_t(i)] = byte % 3 == channel ? int8_t(byte / 3) : int8_t(-128);
  }
  return at;
}
// [part][channel]
constexpr std::array<std::array<std::array<int8_t, 16>, 3>, 3> kSpreads{
    {{Spread(0, 0), Spread(0, 1), Spread(0, 2)},
     {Spread(1, 0), Spread(1, 1), Spread(1, 2)},
     {Spread(2, 0), Spread(2, 1), Spread(2, 2)}}};

// Sixteen pixels a step for a palette of at most sixteen colours: each channel looked up by a byte
// shuffle of its sixteen values, the three spread into 48 bytes. Answers how many pixels it wrote
// and whether every index was inside the palette.
__attribute__((target("ssse3"))) size_t FromSmallPalette(const uint8_t* from, uint8_t* to, size_t width,
                                                         const ImageLayout& layout, bool& inside) {
  __m128i table[3], spread[3][3];
  for (int c = 0; c < 3; ++c) {
    table[c] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(layout.channels[c]));
    for (int part = 0; part < 3; ++part)
      spread[part][c] =
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(kSpreads[size_t(part)][size_t(c)].data()));
  }
  const __m128i last = _mm_set1_epi8(char(layout.paletteSize - 1));
  __m128i beyond = _mm_setzero_si128();
  size_t x = 0;
  for (; x + 16 <= width; x += 16) {
    const __m128i index = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
    beyond = _mm_or_si128(beyond, _mm_subs_epu8(index, last));
    const __m128i value[3] = {_mm_shuffle_epi8(table[0], index), _mm_shuffle_epi8(table[1], index),
                              _mm_shuffle_epi8(table[2], index)};
    for (int part = 0; part < 3; ++part) {
      const __m128i bytes = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(value[0], spread[part][0]),
                                                      _mm_shuffle_epi8(value[1], spread[part][1])),
                                         _mm_shuffle_epi8(value[2], spread[part][2]));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 3 * x + 16 * size_t(part)), bytes);
    }
  }
  inside = _mm_movemask_epi8(_mm_cmpeq_epi8(beyond, _mm_setzero_si128())) == 0xFFFF;
  return x;
}

// Eight pixels a step for a palette of any size: the eight colours fetched at once from the table of
// four-byte colours, each packed to its three bytes. Each step writes four bytes past its 24, which
// the next step overwrites, so the steps stop ten pixels before the row's end and leave the rest.
// Answers how many pixels it wrote and whether every index was inside the palette.
__attribute__((target("avx2"))) size_t FromPaletteByGathering(const uint8_t* from, uint8_t* to, size_t width,
                                                              const ImageLayout& layout, bool& inside) {
  // In each half: bytes 0-2, 4-6, 8-10, 12-14 to the first twelve.
  const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5,
                                        6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  const auto* colours = reinterpret_cast<const int*>(layout.colours);
  const __m128i last = _mm_set1_epi8(char(layout.paletteSize - 1));
  __m128i beyond = _mm_setzero_si128();
  size_t x = 0;
  for (; x + 10 <= width; x += 8) {
    const __m128i index = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(from + x));
    beyond = _mm_or_si128(beyond, _mm_subs_epu8(index, last));
    const __m256i colour = _mm256_i32gather_epi32(colours, _mm256_cvtepu8_epi32(index), 4);
    const __m256i packed = _mm256_shuffle_epi8(colour, pack);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 3 * x), _mm256_castsi256_si128(packed));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 3 * x + 12), _mm256_extracti128_si256(packed, 1));
  }
  inside = _mm_movemask_epi8(_mm_cmpeq_epi8(beyond, _mm_setzero_si128())) == 0xFFFF;
  return x;
}

bool HasByteShuffles() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}

bool HasGathers() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

// One row of palette indices as blue, green, red; false at an index the palette lacks, which is left
// to libpng to answer. Each pixel but the last is written as four bytes, the fourth overwritten by
// the next pixel: the row may end at its stride, where the next row in memory begins.
bool FromPalette(const uint8_t* from, uint8_t* to, const ImageLayout& layout) {
  size_t x = 0;
#if defined(__x86_64__) && defined(__GNUC__)
  bool inside = true;
  if (layout.paletteSize <= 16 && HasByteShuffles())
    x = FromSmallPalette(from, to, layout.width, layout, inside);
  else if (HasGathers())
    x = FromPaletteByGathering(from, to, layout.width, layout, inside);
  if (!inside) return false;
  if (x == layout.width) return true;
#endif
  uint32_t largest = 0;
  const size_t last = layout.width - 1;
  for (; x < last; ++x) {
    const uint32_t index = from[x];
    largest = std::max(largest, index);
    std::memcpy(to + 3 * x, &layout.colours[index], 4);
  }
  largest = std::max<uint32_t>(largest, from[last]);
  std::memcpy(to + 3 * last, &layout.colours[from[last]], 3);
  return largest < layout.paletteSize;
}

// Decodes every row of a picture with layout.directChannels set into `bits` (bottom-up rows of
// layout.stride bytes, padding zeroed), from the image data chunks at or after offset `imageData`. False,
// with any number of rows written, when the picture is to go through libpng instead; then the source's cursor
// is unchanged.
bool DecodeDirectly(PngMemorySource& source, const ImageLayout& layout, size_t imageData, uint8_t* bits) {
  const size_t channels = layout.directChannels;
  const size_t pixelBytes = size_t(layout.width) * channels;
  const size_t rowBytes = pixelBytes + 1;  // the filter type first
  ImageData data(source);
  size_t end = 0;
  if (!data.Gather(imageData, end)) return false;
  // The row above the first comes first: zeros.
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[rowBytes * (size_t(layout.height) + 1)]);
  if (!buffer) return false;
  std::memset(buffer.get(), 0, rowBytes);
  if (!data.Inflate(buffer.get() + rowBytes, rowBytes * layout.height)) return false;
  const size_t written = size_t(layout.width) * (channels == 1 ? 3 : channels);
  for (uint32_t y = 0; y < layout.height; ++y) {
    uint8_t* row = buffer.get() + (size_t(y) + 1) * rowBytes;
    if (!Unfilter(row[0], row + 1, row + 1 - rowBytes, pixelBytes, channels)) return false;
    uint8_t* to = bits + size_t(layout.height - 1 - y) * layout.stride;
    if (channels == 1) {
      if (!FromPalette(row + 1, to, layout)) return false;
    } else {
      ToBlueGreenRed(row + 1, to, layout.width, channels);
    }
    if (written < layout.stride) std::memset(to + written, 0, layout.stride - written);
  }
  source.cursor = end;  // as libpng leaves it once it has read the end chunk
  return true;
}

// The block's size in bytes for the layout: header, colour table, rows.
uint64_t BlockBytes(const ImageLayout& l) {
  return kV4HeaderBytes + 4ull * l.colors + uint64_t(l.stride) * l.height;
}

// Reads the chunks before the pixels and lays out the block; errors jump back to the caller's
// setjmp. Returns a result code.
int32_t ReadHeader(DecodeState* st, ImageLayout* l) {
  png_read_info(st->png, st->info);
  if (!ChooseFormat(st, *l)) return kPngUnsupported;
  png_read_update_info(st->png, st->info);
  if (png_get_rowbytes(st->png, st->info) > l->stride) png_error(st->png, "unexpected row size");
  return BlockBytes(*l) > kLargestBlock ? kPngNoMemory : kPngOk;
}

// The block of `total` bytes, in the caller's storage when it gives one, else made zeroed and kept in
// st->block until handed over; null when memory ran out.
uint8_t* MakeBlock(DecodeState* st, uint64_t total) {
  try {
    if (st->intoUnset != nullptr) {
      st->intoUnset->resize(size_t(total));
      return st->intoUnset->data();
    }
    if (st->into != nullptr) {
      st->into->assign(size_t(total), 0);
      return st->into->data();
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return st->block = static_cast<uint8_t*>(std::calloc(size_t(total), 1));
}

// Writes the colour table and the header of a decoded block and describes it in `out`.
void Describe(DecodeState* st, uint8_t* block, const ImageLayout& l, PngBitmapDescriptor* out) {
  auto* table = reinterpret_cast<plat::RGBQUAD*>(block + kV4HeaderBytes);
  for (uint32_t i = 0; i < l.colors; ++i) {
    const uint8_t g = uint8_t(i * 255 / (l.colors - 1));
    table[i] = plat::RGBQUAD{g, g, g, 0};
  }
  WriteHeader(block, l);
  const uint64_t bitsOffset = kV4HeaderBytes + 4ull * l.colors;
  out->memory = block;
  out->totalSize = uint32_t(BlockBytes(l));
  out->headerSize = kV4HeaderBytes;
  out->bitsOffset = uint32_t(bitsOffset);
  out->colorTable = table;
  out->colors = l.colors;
  out->bits = block + bitsOffset;
  st->block = nullptr;  // handed over
}

// The decoding proper; errors jump back to loadPng. Returns a result code.
int32_t Decode(DecodeState* st, ImageLayout* l, PngBitmapDescriptor* out) {
  if (const int32_t header = ReadHeader(st, l); header != kPngOk) return header;
  uint8_t* block = MakeBlock(st, BlockBytes(*l));
  st->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * l->height));
  if (!block || !st->rows) return kPngNoMemory;
  uint8_t* bits = block + kV4HeaderBytes + 4ull * l->colors;
  for (png_uint_32 i = 0; i < l->height; ++i) st->rows[i] = bits + size_t(l->height - 1 - i) * l->stride;
  if (st->way == PngRows::kThroughLibpng || l->directChannels == 0 ||
      !DecodeDirectly(*static_cast<PngMemorySource*>(png_get_io_ptr(st->png)), *l, 8, bits)) {
    // libpng leaves row padding, and the unused bits of a row's last byte, as they are.
    if (st->intoUnset != nullptr) std::memset(bits, 0, size_t(l->stride) * l->height);
    png_read_image(st->png, st->rows);
    png_read_end(st->png, nullptr);
  }
  std::free(st->rows);
  st->rows = nullptr;
  Describe(st, block, *l, out);
  return kPngOk;
}

// What DecodeWithoutLibpng answers when the picture is to be decoded by libpng from its first byte.
constexpr int32_t kLeftToLibpng = -1;

// Decodes a picture whose leading chunks ReadLeadingChunks took into `l`, libpng left out: kPngOk,
// kPngNoMemory, or kLeftToLibpng (with nothing left allocated) for anything out of the ordinary in
// its image data.
int32_t DecodeWithoutLibpng(DecodeState* st, PngMemorySource* source, const ImageLayout& l, size_t imageData,
                            PngBitmapDescriptor* out) {
  if (BlockBytes(l) > kLargestBlock) {
    source->cursor = imageData + 8;  // where libpng stops reading the header: in the first IDAT chunk
    return kPngNoMemory;
  }
  uint8_t* block = MakeBlock(st, BlockBytes(l));
  if (!block) return kPngNoMemory;
  if (!DecodeDirectly(*source, l, imageData, block + kV4HeaderBytes)) {
    std::free(st->block);
    st->block = nullptr;
    return kLeftToLibpng;
  }
  Describe(st, block, l, out);
  return kPngOk;
}

// Makes the reader and its information for `source`: kPngOk, or kPngNoMemory with nothing left to
// release. Error jumps are set up by the caller, in its own frame.
int32_t OpenReader(DecodeState* st, PngMemorySource* source) {
  st->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!st->png) return kPngNoMemory;
  st->info = png_create_info_struct(st->png);
  if (!st->info) {
    Release(st);
    return kPngNoMemory;
  }
  png_set_read_fn(st->png, source, ReadFromMemory);
  return kPngOk;
}

// Decodes through libpng, which reads the picture from its first byte. Returns a result code.
int32_t DecodeThroughLibpng(DecodeState* st, PngMemorySource* source, PngBitmapDescriptor* out,
                            uint32_t* transparentColor, bool* hasTransparent) {
  // Kept outside this frame: the error handler jumps back here, and only objects that did not change
  // since setjmp may be read then.
  auto layout = std::make_unique<ImageLayout>();
  if (const int32_t opened = OpenReader(st, source); opened != kPngOk) return opened;
  if (setjmp(png_jmpbuf(st->png))) {
    Release(st);
    return kPngDamaged;
  }
  const int32_t result = Decode(st, layout.get(), out);
  Release(st);
  if (result == kPngOk) {
    if (transparentColor && layout->hasTransparent) *transparentColor = layout->transparentColor;
    if (hasTransparent) *hasTransparent = layout->hasTransparent;
  }
  return result;
}

// loadPng's work; with `into` or `intoUnset`, the block is made in that vector instead of by calloc,
// and out->memory points into it (nothing for the caller to free).
int32_t DecodeInto(PngMemorySource* source, PngBitmapDescriptor* out, std::vector<uint8_t>* into,
                   PictureBlock* intoUnset, uint32_t* transparentColor, bool* hasTransparent, PngRows way) {
  if (!out || out->size != 40) return kPngBadDescriptor;
  if (!source) return kPngDamaged;
  DecodeState st;
  st.into = into;
  st.intoUnset = intoUnset;
  // The direct way finds its chunks by their offsets in the bytes: a picture that starts there.
  st.way = source->cursor == 0 ? way : PngRows::kThroughLibpng;
  if (st.way == PngRows::kDirect) {
    ImageLayout layout;
    size_t imageData = 0;
    if (ReadLeadingChunks(*source, layout, imageData)) {
      const int32_t result = DecodeWithoutLibpng(&st, source, layout, imageData, out);
      if (result != kLeftToLibpng) {
        if (result == kPngOk && hasTransparent) *hasTransparent = false;
        return result;
      }
      st.way = PngRows::kThroughLibpng;  // its rows would be refused again
    }
  }
  return DecodeThroughLibpng(&st, source, out, transparentColor, hasTransparent);
}

}  // namespace

bool HasPngSignature(const uint8_t* data, size_t size) {
  return data && size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

void FreePngBlock(uint8_t* memory) { std::free(memory); }

int32_t checkPngHeader(PngMemorySource* source, PngRows way) {
  if (!source) return kPngDamaged;
  ImageLayout read;
  size_t imageData = 0;
  if (way == PngRows::kDirect && source->cursor == 0 && ReadLeadingChunks(*source, read, imageData)) {
    source->cursor = imageData + 8;  // as libpng leaves it
    return BlockBytes(read) > kLargestBlock ? kPngNoMemory : kPngOk;
  }
  auto st = std::make_unique<DecodeState>();
  auto layout = std::make_unique<ImageLayout>();
  if (const int32_t opened = OpenReader(st.get(), source); opened != kPngOk) return opened;
  if (setjmp(png_jmpbuf(st->png))) {
    Release(st.get());
    return kPngDamaged;
  }
  const int32_t result = ReadHeader(st.get(), layout.get());
  Release(st.get());
  return result;
}

int32_t loadPng(PngMemorySource* source, PngBitmapDescriptor* out, uint32_t* transparentColor,
                bool* hasTransparent) {
  return DecodeInto(source, out, nullptr, nullptr, transparentColor, hasTransparent, PngRows::kDirect);
}

int32_t loadPngInto(PngMemorySource* source, std::vector<uint8_t>& block, PngRows way) {
  PngBitmapDescriptor described;
  const int32_t result = DecodeInto(source, &described, &block, nullptr, nullptr, nullptr, way);
  if (result != kPngOk) block.clear();
  return result;
}

int32_t loadPngInto(PngMemorySource* source, PictureBlock& block, PngRows way) {
  PngBitmapDescriptor described;
  const int32_t result = DecodeInto(source, &described, nullptr, &block, nullptr, nullptr, way);
  if (result != kPngOk) block.clear();
  return result;
}
