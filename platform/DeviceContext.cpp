#include "platform/DeviceContext.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "platform/Gdi.h"
#include "platform/Raster.h"
#include "platform/StockObjects.h"

namespace plat {

namespace {

// Dash patterns of one-pixel pens: lengths in pixels, alternately drawn and skipped.
const std::vector<int32_t>& DashPattern(int32_t style) {
  static const std::vector<int32_t> kDash{18, 6}, kDot{3, 3}, kDashDot{9, 6, 3, 6},
      kDashDotDot{9, 3, 3, 3, 3, 3}, kSolid{};
  switch (style) {
    case PS_DASH:
      return kDash;
    case PS_DOT:
      return kDot;
    case PS_DASHDOT:
      return kDashDot;
    case PS_DASHDOTDOT:
      return kDashDotDot;
    default:
      return kSolid;
  }
}

// Device coordinates are kept within 28 bits, well inside what the pixel arithmetic can hold.
int32_t ClampedRound(double v) {
  constexpr double kLimit = double(1 << 28);
  return int32_t(std::lround(std::clamp(v, -kLimit, kLimit)));
}

// Moves the segment a-b into a frame whose origin is (ox, oy) and cuts it to [x0, x1] x [y0, y1]
// there (Liang-Barsky); false when nothing is left.
bool ClipSegment(PointF& a, PointF& b, double x0, double y0, double x1, double y1, double ox, double oy) {
  a = {a.x - ox, a.y - oy};
  b = {b.x - ox, b.y - oy};
  double t0 = 0, t1 = 1, dx = b.x - a.x, dy = b.y - a.y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - x0, x1 - a.x, a.y - y0, y1 - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
  }
  if (t0 > t1) return false;
  PointF start{a.x + t0 * dx, a.y + t0 * dy}, end{a.x + t1 * dx, a.y + t1 * dy};
  a = start;
  b = end;
  return true;
}

bool DashOn(const std::vector<int32_t>& pattern, int32_t position) {
  int32_t total = 0;
  for (int32_t v : pattern) total += v;
  int32_t p = position % total;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (p < pattern[i]) return i % 2 == 0;
    p -= pattern[i];
  }
  return true;
}

// The colour bits of a surface pixel; the byte above them belongs to whoever wrote the pixel.
constexpr uint32_t kColorBits = 0x00FFFFFF;

}  // namespace

DeviceContext::DeviceContext(Surface& surface, POINT origin, Region visible)
    : surface_(&surface), origin_(origin), visible_(std::move(visible)) {
  pen = static_cast<PenObject*>(StockObject(BLACK_PEN));
  brush = static_cast<BrushObject*>(StockObject(WHITE_BRUSH));
  font = static_cast<FontObject*>(StockObject(SYSTEM_FONT));
  bitmap = nullptr;
  palette = StockPalette();
}

DeviceContext::DeviceContext() {
  pen = static_cast<PenObject*>(StockObject(BLACK_PEN));
  brush = static_cast<BrushObject*>(StockObject(WHITE_BRUSH));
  font = static_cast<FontObject*>(StockObject(SYSTEM_FONT));
  bitmap = StockBitmap();
  palette = StockPalette();
}

DeviceContext::~DeviceContext() {
  Release(pen);
  Release(brush);
  Release(font);
  Release(palette);
  if (bitmap) {
    if (bitmap->owner == this) bitmap->owner = nullptr;
    bitmap->Flush();
    Release(bitmap);
  }
}

Surface* DeviceContext::Target() {
  if (!IsMemory()) return surface_;
  return bitmap ? &bitmap->Pixels() : nullptr;
}

void DeviceContext::Follow() {
  if (!follower_ || IsMemory()) return;
  POINT origin = origin_;
  HRGN visible = follower_(&origin);
  if (!visible) return;
  auto* region = static_cast<RegionObject*>(GdiObject::FromHandle(visible));
  origin_ = origin;
  visible_ = region != nullptr ? region->region : Region();
  DeleteObject(visible);
  visibleAreaKept_ = false;
  clipAreaKept_ = false;
}

void DeviceContext::Scrolled(const Region& moved, int32_t dx, int32_t dy) {
  if (!scrollListener_ || IsMemory() || moved.IsEmpty()) return;
  HRGN area = CreateRectRgn(0, 0, 0, 0);
  if (auto* region = static_cast<RegionObject*>(GdiObject::FromHandle(area))) region->region = moved;
  scrollListener_(area, dx, dy);
  DeleteObject(area);
}

void DeviceContext::TargetChanged() {
  if (IsMemory()) {
    if (bitmap) bitmap->Changed();
  } else {
    surface_->Touch();
  }
}

const Region& DeviceContext::VisibleArea() {
  const void* target = IsMemory() ? static_cast<const void*>(bitmap) : surface_;
  const int32_t width = IsMemory() ? bitmap->Width() : surface_->Width();
  const int32_t height = IsMemory() ? bitmap->Height() : surface_->Height();
  if (visibleAreaKept_ && target == visibleAreaTarget_ && width == visibleAreaWidth_ &&
      height == visibleAreaHeight_)
    return visibleArea_;
  if (IsMemory()) {
    visibleArea_ = Region(RECT{0, 0, width, height});
  } else {
    // Never outside the surface, whatever the window code asked for.
    const RECT bounds{-origin_.x, -origin_.y, width - origin_.x, height - origin_.y};
    visibleArea_ = Region::Combine(visible_, Region(bounds), Region::Op::And);
  }
  visibleAreaKept_ = true;
  visibleAreaTarget_ = target;
  visibleAreaWidth_ = width;
  visibleAreaHeight_ = height;
  return visibleArea_;
}

const Region& DeviceContext::ClipArea() {
  const void* target = IsMemory() ? static_cast<const void*>(bitmap) : surface_;
  const int32_t width = IsMemory() ? bitmap->Width() : surface_->Width();
  const int32_t height = IsMemory() ? bitmap->Height() : surface_->Height();
  if (clipAreaKept_ && target == clipAreaTarget_ && width == clipAreaWidth_ && height == clipAreaHeight_)
    return clipArea_;
  clipArea_ = clip_ ? Region::Combine(VisibleArea(), *clip_, Region::Op::And) : VisibleArea();
  clipAreaKept_ = true;
  clipAreaTarget_ = target;
  clipAreaWidth_ = width;
  clipAreaHeight_ = height;
  return clipArea_;
}

void DeviceContext::SetClip(const Region& clip) {
  if (clip_ && *clip_ == clip) return;
  clip_ = clip;
  clipAreaKept_ = false;
}

void DeviceContext::SetClip(Region&& clip) {
  if (clip_ && *clip_ == clip) return;
  clip_ = std::move(clip);
  clipAreaKept_ = false;
}

void DeviceContext::ClearClip() {
  if (!clip_) return;
  clip_.reset();
  clipAreaKept_ = false;
}

void DeviceContext::Release(GdiObject* object) {
  if (object && !object->IsStock() && object->RemoveSelection()) delete object;
}

HGDIOBJ DeviceContext::Select(GdiObject* object) {
  GdiObject** slot = nullptr;
  switch (object->Type()) {
    case OBJ_PEN:
      slot = reinterpret_cast<GdiObject**>(&pen);
      break;
    case OBJ_BRUSH:
      slot = reinterpret_cast<GdiObject**>(&brush);
      break;
    case OBJ_FONT:
      slot = reinterpret_cast<GdiObject**>(&font);
      break;
    case OBJ_PAL:
      slot = reinterpret_cast<GdiObject**>(&palette);
      break;
    case OBJ_BITMAP: {
      auto* incoming = static_cast<BitmapObject*>(object);
      if (!IsMemory()) return nullptr;
      if (incoming->owner && incoming->owner != this) return nullptr;  // selected elsewhere
      slot = reinterpret_cast<GdiObject**>(&bitmap);
      if (bitmap != incoming) {
        bitmap->Flush();
        if (bitmap->owner == this) bitmap->owner = nullptr;
        if (!incoming->IsStock()) incoming->owner = this;
      }
      break;
    }
    default:
      return nullptr;
  }
  GdiObject* previous = *slot;
  HGDIOBJ previousHandle = HandleOf<HGDIOBJ>(previous);
  if (previous == object) return previousHandle;
  if (!object->IsStock()) object->AddSelection();
  *slot = object;
  // A deletion deferred while the previous object was selected happens now; the handle handed back
  // is then no longer live, and DeleteObject or SelectObject of it is refused.
  Release(previous);
  return previousHandle;
}

double DeviceContext::Scale() const {
  if (mapMode != MM_ISOTROPIC || windowExt.cx == 0 || windowExt.cy == 0) return 1.0;
  double sx = std::abs(double(viewportExt.cx) / windowExt.cx);
  double sy = std::abs(double(viewportExt.cy) / windowExt.cy);
  return std::min(sx, sy);
}

POINT DeviceContext::ToDevice(int32_t x, int32_t y) const {
  double s = Scale();
  return {ClampedRound(x * s), ClampedRound(y * s)};
}

RECT DeviceContext::ToDevice(const RECT& r) const {
  POINT a = ToDevice(r.left, r.top), b = ToDevice(r.right, r.bottom);
  return {a.x, a.y, b.x, b.y};
}

int32_t DeviceContext::PenWidthDevice() const {
  if (pen->style == PS_NULL) return 0;
  return std::max(1, int32_t(std::lround(pen->width * Scale())));
}

uint32_t DeviceContext::DevicePixel(COLORREF color) const {
  if (IsMonochrome()) {
    int sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
    return sum >= 384 ? 0xFFFFFF : 0;
  }
  return ColorRefToPixel(color);
}

void DeviceContext::PaintRegion(const Region& region, COLORREF color, int32_t rop) {
  if (region.Kind() == SIMPLEREGION) {
    PaintRect(region.Box(), color, rop);
    return;
  }
  Surface* target = Target();
  if (!target || region.IsEmpty()) return;
  Region clipped = Region::Combine(region, ClipArea(), Region::Op::And);
  if (clipped.IsEmpty()) return;
  const uint32_t pixel = DevicePixel(color);
  clipped.ForEachRect([&](int32_t top, int32_t bottom, int32_t x0, int32_t x1) {
    PaintRows(*target, RECT{x0, top, x1, bottom}, pixel, rop);
  });
  TargetChanged();
}

void DeviceContext::PaintRect(const RECT& rect, COLORREF color, int32_t rop) {
  Surface* target = Target();
  if (!target || rect.left >= rect.right || rect.top >= rect.bottom) return;
  const uint32_t pixel = DevicePixel(color);
  bool painted = false;
  for (const Region::Band& band : ClipArea().Bands()) {
    if (band.bottom <= rect.top) continue;
    if (band.top >= rect.bottom) break;
    const int32_t top = std::max(band.top, rect.top), bottom = std::min(band.bottom, rect.bottom);
    for (const Region::Span& span : band.spans) {
      if (span.second <= rect.left) continue;
      if (span.first >= rect.right) break;
      PaintRows(*target,
                RECT{std::max(span.first, rect.left), top, std::min(span.second, rect.right), bottom}, pixel,
                rop);
      painted = true;
    }
  }
  if (painted) TargetChanged();
}

void DeviceContext::PaintRows(Surface& target, const RECT& area, uint32_t pixel, int32_t rop) const {
  const POINT o = Origin();
  const int32_t count = area.right - area.left;
  if (rop == R2_COPYPEN) {
    // The common solid fill: the colour bits replaced, the rest of each pixel kept. Where that rest is
    // known to be 0, whole pixels are written without reading them first: a frame's first erase and
    // a canvas's background are megabytes, and the reads cost as much as the writes.
    const uint32_t color = pixel & kColorBits;
    const int32_t rows = area.bottom - area.top;
    uint32_t* first = target.ColorRow32(area.top + o.y) + o.x + area.left;
    const std::ptrdiff_t stride = target.Stride() / std::ptrdiff_t(sizeof(uint32_t));
    if (target.UnusedBytesZero())
      FillPixelsRows(first, stride, count, rows, color);
    else
      FillColorBitsRows(first, stride, count, rows, color);
    return;
  }
  for (int32_t y = area.top; y < area.bottom; ++y) {
    uint32_t* row = target.ColorRow32(y + o.y) + o.x;
    for (int32_t x = area.left; x < area.right; ++x) row[x] = ApplyRop2(rop, pixel, row[x]);
  }
}

void DeviceContext::PaintPixels(std::vector<POINT>& pixels, COLORREF color, int32_t rop) {
  Surface* target = Target();
  if (!target || pixels.empty()) return;
  // Painting a pixel twice in the pen's colour gives the same pixel, so plain pen pixels are painted
  // as they come (a ruler's ticks are thousands a paint); only the other operations need each pixel
  // once.
  if (rop != R2_COPYPEN) {
    std::sort(pixels.begin(), pixels.end(),
              [](const POINT& a, const POINT& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
  }
  const Region& area = ClipArea();
  // A clip area of one rectangle (the usual) is met without the region's band search.
  const bool rectangle = area.Kind() == SIMPLEREGION;
  const RECT box = area.Box();
  uint32_t pixel = DevicePixel(color);
  POINT o = Origin();
  for (const POINT& p : pixels) {
    const bool inside = rectangle ? p.x >= box.left && p.x < box.right && p.y >= box.top && p.y < box.bottom
                                  : area.Contains(p.x, p.y);
    if (!inside) continue;
    uint32_t& d = target->ColorRow32(p.y + o.y)[p.x + o.x];
    d = ApplyRop2(rop, pixel, d);
  }
  TargetChanged();
}

void DeviceContext::StrokeThin(const std::vector<POINT>& points, bool closed) {
  const std::vector<int32_t>& pattern = DashPattern(pen->style);
  const RECT limit = ClipArea().Box();
  std::vector<POINT> on, off;
  int64_t walked = dashPhase;
  auto segment = [&](POINT a, POINT b) {
    walked += LinePixels(a, b, limit, [&](int64_t step, POINT p) {
      bool drawn = pattern.empty() || DashOn(pattern, int32_t((walked + step) % 7200));
      (drawn ? on : off).push_back(p);
    });
  };
  for (size_t i = 0; i + 1 < points.size(); ++i) segment(points[i], points[i + 1]);
  if (closed && points.size() > 2) segment(points.back(), points.front());
  dashPhase = int32_t(walked % 7200);
  PaintPixels(on, pen->color, rop2);
  if (bkMode == OPAQUE) PaintPixels(off, bkColor, rop2);
}

void DeviceContext::Stroke(const std::vector<PointF>& points, bool closed) {
  int32_t width = PenWidthDevice();
  if (width == 0 || points.empty()) return;
  if (width == 1 || (pen->style != PS_SOLID && pen->style != PS_INSIDEFRAME)) {
    std::vector<POINT> rounded;
    for (const PointF& p : points) {
      POINT q{ClampedRound(p.x), ClampedRound(p.y)};
      if (rounded.empty() || !(rounded.back() == q)) rounded.push_back(q);
    }
    StrokeThin(rounded, closed);
    return;
  }
  // Wide pens: cairo traces each segment (round ends, which also make round joins) into a coverage
  // mask over the part of the clip area the pen can reach.
  RECT box = ClipArea().Box();
  double minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
  for (const PointF& p : points) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  // The mask covers what the pen can reach of the clip area's box: the figure's box grown by the width.
  box.left = std::max(box.left, ClampedRound(std::floor(minX)) - width);
  box.top = std::max(box.top, ClampedRound(std::floor(minY)) - width);
  box.right = std::min(box.right, ClampedRound(std::ceil(maxX)) + width + 1);
  box.bottom = std::min(box.bottom, ClampedRound(std::ceil(maxY)) + width + 1);
  if (box.right <= box.left || box.bottom <= box.top) return;
  const int32_t left = box.left - width - 1, top = box.top - width - 1;
  const int32_t w = box.right + width + 1 - left, h = box.bottom + width + 1 - top;
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  cairo_t* cr = cairo_create(mask);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  size_t count = points.size();
  for (size_t i = 0; i + 1 < count + (closed && count > 2 ? 1 : 0); ++i) {
    PointF a = points[i], b = points[(i + 1) % count];
    // Pixel centres lie at +0.5 in cairo's space.
    if (!ClipSegment(a, b, 0, 0, w, h, left - 0.5, top - 0.5)) continue;
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
  }
  if (count == 1) {
    PointF a = points[0], b = points[0];
    if (ClipSegment(a, b, 0, 0, w, h, left - 0.5, top - 0.5)) {
      cairo_move_to(cr, a.x, a.y);
      cairo_line_to(cr, b.x, b.y);
    }
  }
  cairo_stroke(cr);
  cairo_destroy(cr);
  cairo_surface_flush(mask);
  std::vector<POINT> covered;
  const uint8_t* data = cairo_image_surface_get_data(mask);
  int32_t stride = cairo_image_surface_get_stride(mask);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      if (data[y * stride + x] >= 128) covered.push_back({x + left, y + top});
  cairo_surface_destroy(mask);
  PaintPixels(covered, pen->color, rop2);
}

void DeviceContext::FillWithBrush(const Region& region) {
  if (brush->IsHollow()) return;
  PaintRegion(region, brush->color, rop2);
}

}  // namespace plat
