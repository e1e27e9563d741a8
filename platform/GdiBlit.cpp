// Blits between contexts and from packed DIBs: raster operations, nearest-neighbour stretching,
// mirroring and the conversions between monochrome and colour.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>
#include <utility>

#include "platform/Dib.h"
#include "platform/GdiInternal.h"
#include "platform/Raster.h"

namespace plat {

namespace {

constexpr uint32_t kPresent = 0x01000000;  // marks a source pixel that exists

// The source pixels of a blit, copied out first so that a context may blit onto itself. Only the part
// of the source rectangle (width x height) that holds pixels is kept: the stored window starts at
// (storedX, storedY) of the rectangle.
struct SourceImage {
  int32_t width = 0;
  int32_t height = 0;
  int32_t storedX = 0;
  int32_t storedY = 0;
  int32_t storedWidth = 0;
  int32_t storedHeight = 0;
  std::vector<uint32_t> pixels;  // kPresent | 0x00RRGGBB, or 0 where the source has no pixel
  bool complete = false;         // every stored pixel is present
};

// Reads the source rectangle at (left, top) of size width x height, limited to `available` (the
// source's pixels, in the same coordinates); fetch(x, y) answers in those coordinates.
SourceImage ReadSource(int32_t left, int32_t top, int32_t width, int32_t height, const RECT& available,
                       const std::function<uint32_t(int32_t, int32_t)>& fetch) {
  SourceImage image;
  image.width = width;
  image.height = height;
  int64_t x0 = std::max<int64_t>(left, available.left), y0 = std::max<int64_t>(top, available.top);
  int64_t x1 = std::min<int64_t>(int64_t(left) + width, available.right);
  int64_t y1 = std::min<int64_t>(int64_t(top) + height, available.bottom);
  if (x1 <= x0 || y1 <= y0) return image;
  image.storedX = int32_t(x0 - left);
  image.storedY = int32_t(y0 - top);
  image.storedWidth = int32_t(x1 - x0);
  image.storedHeight = int32_t(y1 - y0);
  image.pixels.resize(size_t(image.storedWidth) * size_t(image.storedHeight));
  image.complete = true;
  for (int32_t y = 0; y < image.storedHeight; ++y)
    for (int32_t x = 0; x < image.storedWidth; ++x)
      image.pixels[size_t(y) * image.storedWidth + x] = fetch(int32_t(x0) + x, int32_t(y0) + y);
  return image;
}

// Device rectangle of a blit side: origin, signed size.
struct Side {
  int32_t x, y, w, h;
};

Side DeviceSide(const DeviceContext& dc, int32_t x, int32_t y, int32_t w, int32_t h) {
  // Kept within 28 bits so that sums of origin and size cannot overflow.
  auto clamp = [](int32_t v) { return std::clamp(v, -(1 << 28), 1 << 28); };
  POINT p = dc.ToDevice(clamp(x), clamp(y)), q = dc.ToDevice(clamp(w), clamp(h));
  return {p.x, p.y, q.x, q.y};
}

// The stored source index of destination steps k = first, first + dir, first + 2 * dir, ... along
// a side of `steps` destination pixels showing `extent` source pixels: floor((k + 0.5) * extent /
// steps) less `stored`, worked out by adding instead of dividing at every step (exactly: the
// numerator and the remainder are whole numbers).
class SourceSteps {
 public:
  SourceSteps(int64_t first, int64_t dir, int64_t extent, int64_t steps, int64_t stored)
      : denominator_(2 * steps), stored_(stored), dir_(dir) {
    const int64_t numerator = (2 * first + 1) * extent;
    quotient_ = numerator / denominator_;
    remainder_ = numerator % denominator_;
    stepQuotient_ = (2 * extent) / denominator_;
    stepRemainder_ = (2 * extent) % denominator_;
  }
  int64_t Current() const { return quotient_ - stored_; }
  void Next() {
    if (dir_ > 0) {
      quotient_ += stepQuotient_;
      remainder_ += stepRemainder_;
      if (remainder_ >= denominator_) {
        remainder_ -= denominator_;
        ++quotient_;
      }
    } else {
      quotient_ -= stepQuotient_;
      remainder_ -= stepRemainder_;
      if (remainder_ < 0) {
        remainder_ += denominator_;
        --quotient_;
      }
    }
  }

 private:
  int64_t denominator_, stored_, dir_;
  int64_t quotient_ = 0, remainder_ = 0, stepQuotient_ = 0, stepRemainder_ = 0;
};

// The stored source index (-1 where there is none) of each of `count` destination pixels from
// `from` (offset along the side of `steps` pixels, counted from the far end when flipped).
std::vector<int32_t> SourceIndexes(int32_t from, int32_t count, int32_t steps, bool flip, int32_t extent,
                                   int32_t stored, int32_t storedCount) {
  std::vector<int32_t> out(size_t(std::max(count, 0)));
  if (count <= 0) return out;
  // The two common sides without stepping: one source pixel stretched over the whole side (a frame
  // picture's edge slice), and a side copied one to one.
  if (extent == 1) {
    std::fill(out.begin(), out.end(), -stored >= 0 && -stored < storedCount ? -stored : -1);
    return out;
  }
  if (extent == steps && !flip) {
    for (int32_t i = 0; i < count; ++i) {
      const int64_t c = int64_t(from) + i - stored;
      out[size_t(i)] = c >= 0 && c < storedCount ? int32_t(c) : -1;
    }
    return out;
  }
  SourceSteps step(flip ? steps - 1 - from : from, flip ? -1 : 1, extent, steps, stored);
  for (int32_t i = 0; i < count; ++i, step.Next()) {
    const int64_t c = step.Current();
    out[size_t(i)] = c >= 0 && c < storedCount ? int32_t(c) : -1;
  }
  return out;
}

// The source copy of a rectangle (x0..x1, y0..y1) whose columns read the source straight across from
// stored column `firstColumn`, and whose source pixels all exist: runs of rows that read one source
// row (a row stretched down) or the rows one after another are copied at once.
void CopyStraightRuns(Surface& target, POINT o, const RECT& rect, int32_t boxTop,
                      const std::vector<int32_t>& sourceRow, const SourceImage& source, int32_t firstColumn) {
  const std::ptrdiff_t outStride = target.Stride() / std::ptrdiff_t(sizeof(uint32_t));
  for (int32_t y = rect.top; y < rect.bottom;) {
    const int32_t sy = sourceRow[size_t(y - boxTop)];
    if (sy < 0) {
      ++y;
      continue;
    }
    int32_t end = y + 1;
    const int32_t step = end < rect.bottom ? sourceRow[size_t(end - boxTop)] - sy : 0;
    if (step == 0 || step == 1)
      while (end < rect.bottom && sourceRow[size_t(end - boxTop)] == sy + step * (end - y)) ++end;
    CopyColorBitsRows(target.ColorRow32(y + o.y) + o.x + rect.left, outStride,
                      source.pixels.data() + size_t(sy) * size_t(source.storedWidth) + size_t(firstColumn),
                      std::ptrdiff_t(step == 1 ? source.storedWidth : 0), rect.right - rect.left, end - y);
    y = end;
  }
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
  Region area =
      Region::Combine(dest.ClipArea(), Region(RECT{left, top, left + cols, top + rows}), Region::Op::And);
  if (area.IsEmpty()) return;
  uint32_t pattern = dest.brush->IsHollow() ? 0 : dest.DevicePixel(dest.brush->color);
  POINT o = dest.Origin();
  // The stored source column of every destination column the area touches, and the stored source
  // row of every destination row, -1 where the source has none.
  RECT box = area.Box();
  std::vector<int32_t> column, sourceRow;
  if (source) {
    column = SourceIndexes(box.left - left, box.right - box.left, cols, flipX, source->width, source->storedX,
                           source->storedWidth);
    sourceRow = SourceIndexes(box.top - top, box.bottom - box.top, rows, flipY, source->height,
                              source->storedY, source->storedHeight);
  }
  // The plain copies (source or pattern) are written inline; other operations go through the truth
  // table pixel by pixel. The unused byte of every pixel is kept either way.
  const uint32_t operation = (rop >> 16) & 0xFF;
  constexpr uint32_t kSourceCopy = 0xCC, kPatternCopy = 0xF0, kColor = 0xFFFFFF;
  area.ForEachRect([&](int32_t y0, int32_t y1, int32_t x0, int32_t x1) {
    const int32_t* from = column.data() + (x0 - box.left);
    const int32_t count = x1 - x0;
    // Columns only ever step by the same whole amount or the next one up, so a row whose ends lie
    // one source pixel apart per destination pixel reads its source straight through (every plain
    // copy and each unstretched row of a stretch), and one whose ends read the same source pixel
    // reads it all along (a pixel stretched across).
    const bool straight = source && !flipX && count > 0 && from[0] >= 0 && from[count - 1] >= 0 &&
                          from[count - 1] - from[0] == count - 1;
    const bool single = source && count > 0 && from[0] >= 0 && from[0] == from[count - 1];
    if (operation == kSourceCopy && straight && !single && source->complete) {
      CopyStraightRuns(*target, o, RECT{x0, y0, x1, y1}, box.top, sourceRow, *source, from[0]);
      return;
    }
    for (int32_t y = y0; y < y1; ++y) {
      uint32_t* row = target->ColorRow32(y + o.y) + o.x;
      if (!source) {
        if (operation == kPatternCopy) {
          FillColorBits(row + x0, count, pattern & kColor);
        } else {
          for (int32_t x = x0; x < x1; ++x) row[x] = ApplyRop3(rop, pattern, 0, row[x]);
        }
        continue;
      }
      const int32_t sy = sourceRow[size_t(y - box.top)];
      if (sy < 0) continue;
      const uint32_t* in = source->pixels.data() + size_t(sy) * size_t(source->storedWidth);
      uint32_t* out = row + x0;
      if (operation == kSourceCopy && single) {
        if (in[from[0]] & kPresent) FillColorBits(out, count, in[from[0]] & kColor);
      } else if (operation == kSourceCopy && straight) {
        const uint32_t* src = in + from[0];
        for (int32_t i = 0; i < count; ++i)
          out[i] = (src[i] & kPresent) ? (out[i] & ~kColor) | (src[i] & kColor) : out[i];
      } else if (operation == kSourceCopy) {
        for (int32_t i = 0; i < count; ++i) {
          const uint32_t src = from[i] >= 0 ? in[from[i]] : 0;
          if (src & kPresent) out[i] = (out[i] & ~kColor) | (src & kColor);
        }
      } else {
        for (int32_t i = 0; i < count; ++i) {
          const uint32_t src = from[i] >= 0 ? in[from[i]] : 0;
          if (src & kPresent) out[i] = ApplyRop3(rop, pattern, src & kColor, out[i]);
        }
      }
    }
  });
  dest.TargetChanged();
}

// The source rectangle of a context, its colours converted for the destination.
SourceImage ReadContext(DeviceContext& dest, DeviceContext& source, Side s) {
  Surface* surface = source.Target();
  SourceImage image;
  image.width = std::abs(s.w);
  image.height = std::abs(s.h);
  if (!surface) return image;
  int32_t left = s.w > 0 ? s.x : s.x + s.w + 1, top = s.h > 0 ? s.y : s.y + s.h + 1;
  const RECT wanted{left, top, int32_t(std::min<int64_t>(int64_t(left) + image.width, INT32_MAX)),
                    int32_t(std::min<int64_t>(int64_t(top) + image.height, INT32_MAX))};
  Region readable = Region::Combine(source.VisibleArea(), Region(wanted), Region::Op::And);
  if (readable.IsEmpty()) return image;
  // Keep the window of the rectangle that has pixels; the rest stays absent (0).
  RECT box = readable.Box();
  image.complete = readable.Kind() == SIMPLEREGION;
  image.storedX = box.left - left;
  image.storedY = box.top - top;
  image.storedWidth = box.right - box.left;
  image.storedHeight = box.bottom - box.top;
  image.pixels.assign(size_t(image.storedWidth) * size_t(image.storedHeight), 0);
  const bool monoToColor = source.IsMonochrome() && !dest.IsMonochrome();
  const bool colorToMono = !source.IsMonochrome() && dest.IsMonochrome();
  const uint32_t sourceBack = ColorRefToPixel(source.bkColor);
  const uint32_t text = ColorRefToPixel(dest.textColor), back = ColorRefToPixel(dest.bkColor);
  const POINT o = source.Origin();
  readable.ForEachRect([&](int32_t y0, int32_t y1, int32_t x0, int32_t x1) {
    for (int32_t y = y0; y < y1; ++y) {
      const uint32_t* in = std::as_const(*surface).Row32(y + o.y) + o.x;
      uint32_t* out = image.pixels.data() + size_t(y - box.top) * image.storedWidth;
      for (int32_t x = x0; x < x1; ++x) {
        uint32_t v = in[x] & 0xFFFFFF;
        if (monoToColor) v = v ? back : text;
        if (colorToMono) v = v == sourceBack ? 0xFFFFFF : 0;
        out[x - box.left] = kPresent | v;
      }
    }
  });
  return image;
}

// A plain copy, one to one, of source pixels that all exist, from another surface of the same kind
// (colour or monochrome): written row by row straight from the source, as Compose would write it,
// without copying the source out first. False, having drawn nothing, for any other blit.
bool CopyStraight(DeviceContext& dest, Side d, DeviceContext& source, Side s) {
  if (d.w <= 0 || d.h <= 0 || d.w != s.w || d.h != s.h) return false;
  Surface* target = dest.Target();
  Surface* from = source.Target();
  if (!target || !from || target == from || source.IsMonochrome() != dest.IsMonochrome()) return false;
  const RECT wanted{s.x, s.y, s.x + s.w, s.y + s.h};
  const Region readable = Region::Combine(source.VisibleArea(), Region(wanted), Region::Op::And);
  if (readable.Kind() != SIMPLEREGION || !(readable.Box() == wanted)) return false;
  const Region area =
      Region::Combine(dest.ClipArea(), Region(RECT{d.x, d.y, d.x + d.w, d.y + d.h}), Region::Op::And);
  if (area.IsEmpty()) return true;
  const POINT o = dest.Origin(), so = source.Origin();
  const int32_t dx = s.x - d.x, dy = s.y - d.y;
  area.ForEachRect([&](int32_t y0, int32_t y1, int32_t x0, int32_t x1) {
    for (int32_t y = y0; y < y1; ++y)
      CopyColorBits(target->ColorRow32(y + o.y) + o.x + x0,
                    std::as_const(*from).Row32(y + dy + so.y) + so.x + x0 + dx, x1 - x0);
  });
  dest.TargetChanged();
  return true;
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
  if (rop == SRCCOPY && CopyStraight(*dest, d, *source, s)) return 1;
  SourceImage image = ReadContext(*dest, *source, s);
  Compose(*dest, d, &image, s, rop);
  return 1;
}

BOOL BitBlt(HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, HDC source, int32_t sx, int32_t sy,
            DWORD rop) {
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
  const RECT bounds{0, 0, format->width, format->height};
  SourceImage image = ReadSource(left, top, w, h, bounds, [&](int32_t ix, int32_t iy) -> uint32_t {
    return kPresent | DibPixel(*format, data, ix, iy);
  });
  Side d = DeviceSide(*dc, x, y, width, height);
  Compose(*dc, d, &image, {xSrc, ySrc, sourceWidth, sourceHeight}, rop);
  return std::abs(height);
}

}  // namespace plat
