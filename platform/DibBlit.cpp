#include "platform/DibBlit.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

#include "platform/Dib.h"
#include "platform/GdiInternal.h"
#include "platform/Raster.h"

namespace plat {

namespace {

constexpr uint32_t kColor = 0xFFFFFF;

// `count` pixels of `bytes` bytes each (blue, green, red first) into the colour bits of `out`, its
// unused byte kept. Each pixel is read as one word (on a little-endian machine), but the last by
// bytes: its word could reach past the bits.
void CopyRow(const uint8_t* in, uint32_t* out, int32_t count, int32_t bytes) {
  if (bytes == 3) {
    CopyColorBitsFrom24(out, in, count);
    return;
  }
  int32_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 1 < count; ++i, in += bytes) {
      uint32_t word;
      std::memcpy(&word, in, 4);
      out[i] = (out[i] & ~kColor) | (word & kColor);
    }
  }
  for (; i < count; ++i, in += bytes)
    out[i] = (out[i] & ~kColor) | in[0] | (uint32_t(in[1]) << 8) | (uint32_t(in[2]) << 16);
}

}  // namespace

bool CopyDibUnscaled(HDC hdc, int32_t x, int32_t y, const void* bits, const BITMAPINFO* info) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !bits || !info || dc->IsMonochrome()) return false;
  Surface* target = dc->Target();
  std::optional<DibFormat> format = ParseDibHeader(&info->bmiHeader);
  if (!target || !format) return false;
  const DibFormat& f = *format;
  const bool plain32 =
      f.bitCount == 32 && f.masks[0] == 0xFF0000 && f.masks[1] == 0xFF00 && f.masks[2] == 0xFF;
  if (f.bitCount != 24 && !plain32) return false;
  // Kept within 28 bits, as every blit keeps its sides, so that sums cannot overflow.
  const auto clamp = [](int32_t v) { return std::clamp(v, -(1 << 28), 1 << 28); };
  const POINT origin = dc->ToDevice(clamp(x), clamp(y)), size = dc->ToDevice(f.width, f.height);
  if (size.x != f.width || size.y != f.height) return false;
  const RECT d{origin.x, origin.y, origin.x + f.width, origin.y + f.height};
  const Region area = Region::Combine(dc->ClipArea(), Region(d), Region::Op::And);
  if (area.IsEmpty()) return true;
  const auto* data = static_cast<const uint8_t*>(bits);
  const int32_t bytes = f.bitCount / 8;
  const POINT o = dc->Origin();
  area.ForEachRect([&](int32_t y0, int32_t y1, int32_t x0, int32_t x1) {
    for (int32_t y = y0; y < y1; ++y) {
      const int32_t row = y - d.top;
      const uint8_t* in = data + size_t(f.bottomUp ? f.height - 1 - row : row) * size_t(f.rowBytes) +
                          size_t(x0 - d.left) * size_t(bytes);
      uint32_t* out = target->ColorRow32(y + o.y) + o.x + x0;
      CopyRow(in, out, x1 - x0, bytes);
    }
  });
  dc->TargetChanged();
  return true;
}

}  // namespace plat
