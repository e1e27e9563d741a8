#include "platform/Dib.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <unordered_map>

namespace plat {

namespace {

constexpr int32_t kMaxSide = 32767;

bool KnownBitCount(int32_t bits) {
  return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Scales a masked channel value to 0..255.
uint32_t Channel(uint32_t value, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  uint32_t max = mask >> shift;
  return ((value & mask) >> shift) * 255 / max;
}

std::optional<DibFormat> ParseFixedPart(const BITMAPINFOHEADER& h) {
  if (h.biSize != 40 && h.biSize != 108 && h.biSize != 124) return std::nullopt;
  if (!KnownBitCount(h.biBitCount) || h.biPlanes != 1) return std::nullopt;
  if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return std::nullopt;
  if (h.biCompression == BI_BITFIELDS && h.biBitCount != 16 && h.biBitCount != 32) return std::nullopt;
  if (h.biWidth <= 0 || h.biWidth > kMaxSide || h.biHeight == 0 || h.biHeight < -kMaxSide ||
      h.biHeight > kMaxSide)
    return std::nullopt;
  return DibLayout(h, {});
}

size_t ColorCount(const BITMAPINFOHEADER& h) {
  if (h.biBitCount > 8) return 0;
  size_t full = size_t(1) << h.biBitCount;
  return h.biClrUsed == 0 || h.biClrUsed > full ? full : h.biClrUsed;
}

// Fills masks and colours from the bytes after the fixed header; `available` bounds the read.
bool ReadTables(const uint8_t* base, size_t available, const BITMAPINFOHEADER& h, DibFormat& f) {
  size_t offset = h.biSize;
  if (h.biCompression == BI_BITFIELDS) {
    const uint8_t* at = base + 40;  // the masks sit at the same place in every header size
    if (h.biSize == 40) {
      if (available < 52) return false;
      offset += 12;
    }
    std::memcpy(f.masks, at, 12);
  }
  size_t colors = ColorCount(h);
  if (offset + colors * 4 > available) return false;
  f.colors.resize(colors);
  if (colors) std::memcpy(f.colors.data(), base + offset, colors * 4);
  f.headerBytes = offset + colors * 4;
  return true;
}

}  // namespace

DibFormat DibLayout(const BITMAPINFOHEADER& h, std::vector<RGBQUAD> colors) {
  DibFormat f;
  f.width = h.biWidth;
  f.bottomUp = h.biHeight > 0;
  f.height = f.bottomUp ? h.biHeight : -h.biHeight;
  f.bitCount = h.biBitCount;
  f.rowBytes = DibRowBytes(f.width, f.bitCount);
  f.colors = std::move(colors);
  if (f.bitCount == 16) {
    f.masks[0] = 0x7C00;
    f.masks[1] = 0x03E0;
    f.masks[2] = 0x001F;
  } else if (f.bitCount == 32) {
    f.masks[0] = 0xFF0000;
    f.masks[1] = 0x00FF00;
    f.masks[2] = 0x0000FF;
  }
  return f;
}

int32_t DibRowBytes(int32_t width, int32_t bitCount) {
  return int32_t(((int64_t(width) * bitCount + 31) / 32) * 4);
}

std::optional<DibFormat> ParseDibHeader(const BITMAPINFOHEADER* header) {
  if (!header) return std::nullopt;
  std::optional<DibFormat> f = ParseFixedPart(*header);
  if (!f) return std::nullopt;
  // Without a length, trust the header for its own tables (as the platform does).
  if (!ReadTables(reinterpret_cast<const uint8_t*>(header), SIZE_MAX, *header, *f)) return std::nullopt;
  return f;
}

std::optional<DibFormat> ParsePackedDib(std::span<const uint8_t> bytes) {
  if (bytes.size() < 40) return std::nullopt;
  BITMAPINFOHEADER h;
  std::memcpy(&h, bytes.data(), 40);
  if (h.biSize > bytes.size()) return std::nullopt;
  std::optional<DibFormat> f = ParseFixedPart(h);
  if (!f || !ReadTables(bytes.data(), bytes.size(), h, *f)) return std::nullopt;
  if (f->headerBytes + f->ImageBytes() > bytes.size()) return std::nullopt;
  return f;
}

uint32_t DibPixel(const DibFormat& f, const uint8_t* bits, int32_t x, int32_t y) {
  const uint8_t* row = bits + size_t(f.bottomUp ? f.height - 1 - y : y) * f.rowBytes;
  auto fromTable = [&](uint32_t index) -> uint32_t {
    if (index >= f.colors.size()) return 0;
    const RGBQUAD& q = f.colors[index];
    return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
  };
  switch (f.bitCount) {
    case 1:
      return fromTable((row[x >> 3] >> (7 - (x & 7))) & 1);
    case 2:
      return fromTable((row[x >> 2] >> (6 - 2 * (x & 3))) & 3);
    case 4:
      return fromTable((row[x >> 1] >> (x & 1 ? 0 : 4)) & 15);
    case 8:
      return fromTable(row[x]);
    case 16: {
      uint32_t v = row[2 * x] | (uint32_t(row[2 * x + 1]) << 8);
      return (Channel(v, f.masks[0]) << 16) | (Channel(v, f.masks[1]) << 8) | Channel(v, f.masks[2]);
    }
    case 24:
      return row[3 * x] | (uint32_t(row[3 * x + 1]) << 8) | (uint32_t(row[3 * x + 2]) << 16);
    default: {
      uint32_t v;
      std::memcpy(&v, row + 4 * x, 4);
      if (f.masks[0] == 0xFF0000 && f.masks[1] == 0xFF00 && f.masks[2] == 0xFF) return v & 0xFFFFFF;
      return (Channel(v, f.masks[0]) << 16) | (Channel(v, f.masks[1]) << 8) | Channel(v, f.masks[2]);
    }
  }
}

namespace {

// One row of 24-bit pixels (blue, green, red) into 0x00RRGGBB words. On a little-endian machine each
// pixel's three bytes are read as one word with the next pixel's first byte masked off, rather than
// assembled byte by byte; the last pixel is read by bytes, as its word could reach past the bits.
void Copy24BitRow(const uint8_t* row, uint32_t* out, int32_t width) {
  int32_t x = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; x + 1 < width; ++x) {
      uint32_t word;
      std::memcpy(&word, row + 3 * x, 4);
      out[x] = word & 0xFFFFFF;
    }
  }
  for (; x < width; ++x)
    out[x] = row[3 * x] | (uint32_t(row[3 * x + 1]) << 8) | (uint32_t(row[3 * x + 2]) << 16);
}

}  // namespace

void DibToSurface(const DibFormat& f, const uint8_t* bits, Surface& surface) {
  const int32_t width = std::min(f.width, surface.Width());
  // The formats pictures come in (24 bits, 32 bits of 8-8-8) are read a row at a time; the others
  // pixel by pixel.
  const bool plain32 =
      f.bitCount == 32 && f.masks[0] == 0xFF0000 && f.masks[1] == 0xFF00 && f.masks[2] == 0xFF;
  for (int32_t y = 0; y < f.height && y < surface.Height(); ++y) {
    uint32_t* out = surface.ColorRow32(y);
    const uint8_t* row = bits + size_t(f.bottomUp ? f.height - 1 - y : y) * f.rowBytes;
    if (plain32) {
      std::memcpy(out, row, size_t(width) * 4);
      for (int32_t x = 0; x < width; ++x) out[x] &= 0xFFFFFF;
    } else if (f.bitCount == 24) {
      Copy24BitRow(row, out, width);
    } else {
      for (int32_t x = 0; x < width; ++x) out[x] = DibPixel(f, bits, x, y);
    }
  }
  surface.Touch();
}

void SurfaceToDib(const Surface& surface, const DibFormat& f, uint8_t* bits) {
  // Colour-table formats take the nearest entry; results are cached per colour.
  std::unordered_map<uint32_t, uint32_t> nearest;
  auto index = [&](uint32_t rgb) -> uint32_t {
    auto it = nearest.find(rgb);
    if (it != nearest.end()) return it->second;
    uint32_t best = 0;
    int64_t bestDistance = INT64_MAX;
    for (size_t i = 0; i < f.colors.size(); ++i) {
      int64_t dr = int64_t(f.colors[i].rgbRed) - ((rgb >> 16) & 0xFF);
      int64_t dg = int64_t(f.colors[i].rgbGreen) - ((rgb >> 8) & 0xFF);
      int64_t db = int64_t(f.colors[i].rgbBlue) - (rgb & 0xFF);
      int64_t d = dr * dr + dg * dg + db * db;
      if (d < bestDistance) {
        bestDistance = d;
        best = uint32_t(i);
      }
    }
    return nearest[rgb] = best;
  };
  for (int32_t y = 0; y < f.height && y < surface.Height(); ++y) {
    uint8_t* row = bits + size_t(f.bottomUp ? f.height - 1 - y : y) * f.rowBytes;
    const uint32_t* in = surface.Row32(y);
    for (int32_t x = 0; x < f.width && x < surface.Width(); ++x) {
      uint32_t rgb = in[x] & 0xFFFFFF;
      switch (f.bitCount) {
        case 1: {
          uint8_t bit = uint8_t(0x80 >> (x & 7));
          row[x >> 3] = index(rgb) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
          break;
        }
        case 2: {
          int shift = 6 - 2 * (x & 3);
          row[x >> 2] = uint8_t((row[x >> 2] & ~(3 << shift)) | (index(rgb) << shift));
          break;
        }
        case 4: {
          int shift = x & 1 ? 0 : 4;
          row[x >> 1] = uint8_t((row[x >> 1] & ~(15 << shift)) | (index(rgb) << shift));
          break;
        }
        case 8:
          row[x] = uint8_t(index(rgb));
          break;
        case 16: {
          uint16_t v = uint16_t(((rgb >> 19) & 0x1F) << 10 | ((rgb >> 11) & 0x1F) << 5 | ((rgb >> 3) & 0x1F));
          row[2 * x] = uint8_t(v);
          row[2 * x + 1] = uint8_t(v >> 8);
          break;
        }
        case 24:
          row[3 * x] = uint8_t(rgb);
          row[3 * x + 1] = uint8_t(rgb >> 8);
          row[3 * x + 2] = uint8_t(rgb >> 16);
          break;
        default:
          std::memcpy(row + 4 * x, &in[x], 4);
          break;
      }
    }
  }
}

}  // namespace plat
