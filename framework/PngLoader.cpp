#include "framework/PngLoader.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

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
  std::vector<uint8_t>* into = nullptr;  // the caller's storage for the block, when it gives one
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
};

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
  auto* source = static_cast<PngMemorySource*>(png_get_io_ptr(png));
  if (source->cursor > source->size || count > source->size - source->cursor) png_error(png, "truncated");
  std::memcpy(out, source->data + source->cursor, count);
  source->cursor += count;
}

void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

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

// Chooses the output format and sets the decoder's transforms; false for an unknown colour type.
bool ChooseFormat(DecodeState* st, ImageLayout& l) {
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(st->png, st->info, &l.width, &l.height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  const bool hasTrns = png_get_valid(st->png, st->info, PNG_INFO_tRNS) != 0;
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
  l.stride = uint32_t(((uint64_t(l.width) * uint32_t(l.bitCount) + 31) / 32) * 4);
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

// Reads the chunks before the pixels and lays out the block; errors jump back to the caller's
// setjmp. Returns a result code.
int32_t ReadHeader(DecodeState* st, ImageLayout* l) {
  png_read_info(st->png, st->info);
  if (!ChooseFormat(st, *l)) return kPngUnsupported;
  png_read_update_info(st->png, st->info);
  if (png_get_rowbytes(st->png, st->info) > l->stride) png_error(st->png, "unexpected row size");
  const uint64_t total = kV4HeaderBytes + 4ull * l->colors + uint64_t(l->stride) * l->height;
  return total > kLargestBlock ? kPngNoMemory : kPngOk;
}

// The decoding proper; errors jump back to loadPng. Returns a result code.
int32_t Decode(DecodeState* st, ImageLayout* l, PngBitmapDescriptor* out) {
  if (const int32_t header = ReadHeader(st, l); header != kPngOk) return header;
  const uint64_t bitsOffset = kV4HeaderBytes + 4ull * l->colors;
  const uint64_t total = bitsOffset + uint64_t(l->stride) * l->height;
  uint8_t* block = nullptr;
  if (st->into != nullptr) {
    try {
      st->into->assign(size_t(total), 0);
    } catch (const std::bad_alloc&) {
      return kPngNoMemory;
    }
    block = st->into->data();
  } else {
    block = st->block = static_cast<uint8_t*>(std::calloc(size_t(total), 1));
  }
  st->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * l->height));
  if (!block || !st->rows) return kPngNoMemory;
  uint8_t* bits = block + bitsOffset;
  for (png_uint_32 i = 0; i < l->height; ++i) st->rows[i] = bits + size_t(l->height - 1 - i) * l->stride;
  auto* table = reinterpret_cast<plat::RGBQUAD*>(block + kV4HeaderBytes);
  for (uint32_t i = 0; i < l->colors; ++i) {
    const uint8_t g = uint8_t(i * 255 / (l->colors - 1));
    table[i] = plat::RGBQUAD{g, g, g, 0};
  }
  png_read_image(st->png, st->rows);
  std::free(st->rows);
  st->rows = nullptr;
  png_read_end(st->png, nullptr);
  WriteHeader(block, *l);
  out->memory = block;
  out->totalSize = uint32_t(total);
  out->headerSize = kV4HeaderBytes;
  out->bitsOffset = uint32_t(bitsOffset);
  out->colorTable = table;
  out->colors = l->colors;
  out->bits = bits;
  st->block = nullptr;  // handed over
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

// loadPng's work; with `into`, the block is made in that vector instead of by calloc, and
// out->memory points into it (nothing for the caller to free).
int32_t DecodeInto(PngMemorySource* source, PngBitmapDescriptor* out, std::vector<uint8_t>* into,
                   uint32_t* transparentColor, bool* hasTransparent) {
  if (!out || out->size != 40) return kPngBadDescriptor;
  if (!source) return kPngDamaged;
  // Kept outside this frame: the error handler jumps back here, and only objects that did not change
  // since setjmp may be read then.
  auto st = std::make_unique<DecodeState>();
  auto layout = std::make_unique<ImageLayout>();
  st->into = into;
  if (const int32_t opened = OpenReader(st.get(), source); opened != kPngOk) return opened;
  if (setjmp(png_jmpbuf(st->png))) {
    Release(st.get());
    return kPngDamaged;
  }
  // Every chunk's CRC already covers the compressed bytes; the stream's own Adler-32 sum over the
  // inflated rows would only cost a second pass over them.
  png_set_option(st->png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
  const int32_t result = Decode(st.get(), layout.get(), out);
  Release(st.get());
  if (result == kPngOk) {
    if (transparentColor && layout->hasTransparent) *transparentColor = layout->transparentColor;
    if (hasTransparent) *hasTransparent = layout->hasTransparent;
  }
  return result;
}

}  // namespace

bool HasPngSignature(const uint8_t* data, size_t size) {
  return data && size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

void FreePngBlock(uint8_t* memory) { std::free(memory); }

int32_t checkPngHeader(PngMemorySource* source) {
  if (!source) return kPngDamaged;
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
  return DecodeInto(source, out, nullptr, transparentColor, hasTransparent);
}

int32_t loadPngInto(PngMemorySource* source, std::vector<uint8_t>& block) {
  PngBitmapDescriptor described;
  const int32_t result = DecodeInto(source, &described, &block, nullptr, nullptr);
  if (result != kPngOk) block.clear();
  return result;
}
