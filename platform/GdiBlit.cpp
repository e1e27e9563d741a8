// Blits between contexts and from packed DIBs: raster operations, nearest-neighbour stretching,
// mirroring and the conversions between monochrome and colour.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/Dib.h"
#include "platform/GdiInternal.h"
#include "platform/Raster.h"

namespace plat {

namespace {

constexpr uint32_t kPresent = 0x01000000;  // marks a source pixel that exists

// The source pixels of a blit, copied out first so that a context may blit onto itself.
struct SourceImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // kPresent | 0x00RRGGBB, or 0 where the source has no pixel
  uint32_t At(int32_t x, int32_t y) const { return pixels[size_t(y) * width + x]; }
};

// Where the pixels come from and how their colours are turned into the destination's.
SourceImage ReadSource(int32_t width, int32_t height, const std::function<uint32_t(int32_t, int32_t)>& fetch) {
  SourceImage image;
  image.width = width;
  image.height = height;
  image.pixels.resize(size_t(width) * size_t(height));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) image.pixels[size_t(y) * width + x] = fetch(x, y);
  return image;
}

// Device rectangle of a blit side: origin, signed size.
struct Side {
  int32_t x, y, w, h;
};

Side DeviceSide(const DeviceContext& dc, int32_t x, int32_t y, int32_t w, int32_t h) {
  POINT p = dc.ToDevice(x, y), q = dc.ToDevice(w, h);
  return {p.x, p.y, q.x, q.y};
}

// Writes the blit: destination pixel k of the rectangle takes source pixel floor((k + 0.5) * |sw| / |w|),
// counted in the direction of each side's sign, so opposite signs mirror.
void Compose(DeviceContext& dest, Side d, const SourceImage* source, Side s, DWORD rop) {
  Surface* target = dest.Target();
  if (!target || d.w == 0 || d.h == 0) return;
  int32_t cols = std::abs(d.w), rows = std::abs(d.h);
  int32_t left = d.w > 0 ? d.x : d.x + d.w + 1, top = d.h > 0 ? d.y : d.y + d.h + 1;
  bool flipX = source && ((d.w < 0) != (s.w < 0));
  bool flipY = source && ((d.h < 0) != (s.h < 0));
  Region area = Region::Combine(dest.ClipArea(), Region(RECT{left, top, left + cols, top + rows}), Region::Op::And);
  uint32_t pattern = dest.brush->IsHollow() ? 0 : dest.DevicePixel(dest.brush->color);
  POINT o = dest.Origin();
  area.ForEachRect([&](int32_t y0, int32_t y1, int32_t x0, int32_t x1) {
    for (int32_t y = y0; y < y1; ++y) {
      uint32_t* row = target->Row32(y + o.y);
      int32_t ky = y - top;
      if (flipY) ky = rows - 1 - ky;
      int32_t sy = source ? int32_t((int64_t(ky) * 2 + 1) * source->height / (int64_t(rows) * 2)) : 0;
      for (int32_t x = x0; x < x1; ++x) {
        uint32_t src = 0;
        if (source) {
          int32_t kx = x - left;
          if (flipX) kx = cols - 1 - kx;
          int32_t sx = int32_t((int64_t(kx) * 2 + 1) * source->width / (int64_t(cols) * 2));
          src = source->At(sx, sy);
          if (!(src & kPresent)) continue;
        }
        row[x + o.x] = ApplyRop3(rop, pattern, src & 0xFFFFFF, row[x + o.x]);
      }
    }
  });
  dest.TargetChanged();
}

// The source rectangle of a context, its colours converted for the destination.
SourceImage ReadContext(DeviceContext& dest, DeviceContext& source, Side s) {
  Surface* surface = source.Target();
  int32_t w = std::abs(s.w), h = std::abs(s.h);
  int32_t left = s.w > 0 ? s.x : s.x + s.w + 1, top = s.h > 0 ? s.y : s.y + s.h + 1;
  Region readable = source.VisibleArea();
  POINT o = source.Origin();
  bool monoToColor = source.IsMonochrome() && !dest.IsMonochrome();
  bool colorToMono = !source.IsMonochrome() && dest.IsMonochrome();
  uint32_t sourceBack = ColorRefToPixel(source.bkColor);
  uint32_t text = ColorRefToPixel(dest.textColor), back = ColorRefToPixel(dest.bkColor);
  return ReadSource(w, h, [&](int32_t x, int32_t y) -> uint32_t {
    int32_t px = left + x, py = top + y;
    if (!surface || !readable.Contains(px, py)) return 0;
    uint32_t v = surface->Pixel(px + o.x, py + o.y);
    if (monoToColor) v = v ? back : text;
    if (colorToMono) v = v == sourceBack ? 0xFFFFFF : 0;
    return kPresent | v;
  });
}

}  // namespace

BOOL StretchBlt(HDC hdest, int32_t x, int32_t y, int32_t width, int32_t height, HDC hsource, int32_t sx,
                int32_t sy, int32_t sourceWidth, int32_t sourceHeight, DWORD rop) {
  DeviceContext* dest = LiveDc(hdest);
  if (!dest) return 0;
  Side d = DeviceSide(*dest, x, y, width, height);
  if (!Rop3UsesSource(rop)) {
    Compose(*dest, d, nullptr, {}, rop);
    return 1;
  }
  DeviceContext* source = LiveDc(hsource);
  if (!source || sourceWidth == 0 || sourceHeight == 0) return 0;
  Side s = DeviceSide(*source, sx, sy, sourceWidth, sourceHeight);
  if (s.w == 0 || s.h == 0) return 0;
  SourceImage image = ReadContext(*dest, *source, s);
  Compose(*dest, d, &image, s, rop);
  return 1;
}

BOOL BitBlt(HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, HDC source, int32_t sx,
            int32_t sy, DWORD rop) {
  if (width < 0 || height < 0) return 0;
  return StretchBlt(dest, x, y, width, height, source, sx, sy, width, height, rop);
}

BOOL PatBlt(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, DWORD rop) {
  if (Rop3UsesSource(rop)) return 0;
  return StretchBlt(dc, x, y, width, height, nullptr, 0, 0, 0, 0, rop);
}

int32_t StretchDIBits(HDC hdc, int32_t x, int32_t y, int32_t width, int32_t height, int32_t xSrc,
                      int32_t ySrc, int32_t sourceWidth, int32_t sourceHeight, const void* bits,
                      const BITMAPINFO* info, UINT usage, DWORD rop) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !bits || !info || usage != DIB_RGB_COLORS || sourceWidth == 0 || sourceHeight == 0) return 0;
  std::optional<DibFormat> format = ParseDibHeader(&info->bmiHeader);
  if (!format) return 0;
  int32_t w = std::abs(sourceWidth), h = std::abs(sourceHeight);
  int32_t left = sourceWidth > 0 ? xSrc : xSrc + sourceWidth + 1;
  int32_t low = sourceHeight > 0 ? ySrc : ySrc + sourceHeight + 1;
  // Bottom-up bits count the source rectangle from the bottom row.
  int32_t top = format->bottomUp ? format->height - low - h : low;
  const auto* data = static_cast<const uint8_t*>(bits);
  SourceImage image = ReadSource(w, h, [&](int32_t px, int32_t py) -> uint32_t {
    int32_t ix = left + px, iy = top + py;
    if (ix < 0 || iy < 0 || ix >= format->width || iy >= format->height) return 0;
    return kPresent | DibPixel(*format, data, ix, iy);
  });
  Side d = DeviceSide(*dc, x, y, width, height);
  Compose(*dc, d, &image, {xSrc, ySrc, sourceWidth, sourceHeight}, rop);
  return std::abs(height);
}

}  // namespace plat
