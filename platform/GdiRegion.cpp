// Region handles, clipping and scrolling.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <utility>

#include "platform/GdiInternal.h"

namespace plat {

namespace {

// Curved and slanted regions are built row by row; taller ones than this are refused.
constexpr int64_t kMaxRegionHeight = 1 << 20;

RegionObject* Rgn(HRGN region) { return LiveObject<RegionObject>(region, OBJ_REGION); }

}  // namespace

HRGN CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return HandleOf<HRGN>(new RegionObject(Region(Normalized(left, top, right, bottom))));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreatePolygonRgn(const POINT* points, int32_t count, int32_t fillMode) {
  if (!points || count < 0 || (fillMode != ALTERNATE && fillMode != WINDING)) return nullptr;
  if (count > 0) {
    auto [low, high] =
        std::minmax_element(points, points + count, [](POINT a, POINT b) { return a.y < b.y; });
    if (int64_t(high->y) - low->y > kMaxRegionHeight) return nullptr;
  }
  return HandleOf<HRGN>(new RegionObject(Region::FromPolygon(points, size_t(count), fillMode)));
}

HRGN CreateEllipticRgn(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (std::abs(int64_t(bottom) - top) > kMaxRegionHeight) return nullptr;
  return HandleOf<HRGN>(new RegionObject(Region::FromEllipse(Normalized(left, top, right, bottom))));
}

int32_t CombineRgn(HRGN destination, HRGN source1, HRGN source2, int32_t mode) {
  RegionObject* d = Rgn(destination);
  RegionObject* a = Rgn(source1);
  if (!d || !a) return RGN_ERROR;
  if (mode == RGN_COPY) {
    d->region = a->region;
    return d->region.Kind();
  }
  RegionObject* b = Rgn(source2);
  if (!b) return RGN_ERROR;
  Region::Op op;
  switch (mode) {
    case RGN_AND:
      op = Region::Op::And;
      break;
    case RGN_OR:
      op = Region::Op::Or;
      break;
    case RGN_XOR:
      op = Region::Op::Xor;
      break;
    case RGN_DIFF:
      op = Region::Op::Diff;
      break;
    default:
      return RGN_ERROR;
  }
  // Views gather repaint and frame areas by joining piece after piece onto one region in place.
  if (d == a)
    d->region.CombineWith(b->region, op);
  else
    d->region = Region::Combine(a->region, b->region, op);
  return d->region.Kind();
}

int32_t OffsetRgn(HRGN region, int32_t dx, int32_t dy) {
  RegionObject* r = Rgn(region);
  if (!r) return RGN_ERROR;
  r->region.Offset(dx, dy);
  return r->region.Kind();
}

int32_t GetRgnBox(HRGN region, RECT* box) {
  RegionObject* r = Rgn(region);
  if (!r || !box) return RGN_ERROR;
  *box = r->region.Box();
  return r->region.Kind();
}

BOOL PtInRegion(HRGN region, int32_t x, int32_t y) {
  RegionObject* r = Rgn(region);
  return r && r->region.Contains(x, y);
}

BOOL RectInRegion(HRGN region, const RECT* rect) {
  RegionObject* r = Rgn(region);
  return r && rect && r->region.Intersects(Normalized(rect->left, rect->top, rect->right, rect->bottom));
}

BOOL EqualRgn(HRGN a, HRGN b) {
  RegionObject* ra = Rgn(a);
  RegionObject* rb = Rgn(b);
  return ra && rb && ra->region == rb->region;
}

BOOL SetRectRgn(HRGN region, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  RegionObject* r = Rgn(region);
  if (!r) return 0;
  r->region = Region(Normalized(left, top, right, bottom));
  return 1;
}

int32_t SelectClipRgn(HDC hdc, HRGN region) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return RGN_ERROR;
  if (!region) {
    dc->ClearClip();
    return SIMPLEREGION;
  }
  RegionObject* r = Rgn(region);
  if (!r) return RGN_ERROR;
  dc->SetClip(r->region);
  return dc->ClipArea().Kind();
}

int32_t GetClipRgn(HDC hdc, HRGN region) {
  DeviceContext* dc = LiveDc(hdc);
  RegionObject* r = Rgn(region);
  if (!dc || !r) return -1;
  if (!dc->Clip()) return 0;
  r->region = *dc->Clip();
  return 1;
}

int32_t IntersectClipRect(HDC hdc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return RGN_ERROR;
  const RECT rect = dc->ToDevice(Normalized(left, top, right, bottom));
  dc->SetClip(dc->Clip() ? dc->Clip()->ClippedTo(rect) : Region(rect));
  return dc->ClipArea().Kind();
}

int32_t GetClipBox(HDC hdc, RECT* box) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !box) return RGN_ERROR;
  const Region& area = dc->ClipArea();
  *box = area.Box();
  return area.Kind();
}

BOOL ScrollDC(HDC hdc, int32_t dx, int32_t dy, const RECT* scroll, const RECT* clip, HRGN update,
              RECT* updateRect) {
  DeviceContext* dc = LiveDc(hdc);
  Surface* target = dc ? dc->Target() : nullptr;
  if (!target) return 0;
  Region visible = dc->ClipArea();
  Region area = scroll ? Region(*scroll) : visible;
  if (clip) area = Region::Combine(area, Region(*clip), Region::Op::And);
  // Pixels move from where they are visible to where they land inside the scrolled area.
  Region source = Region::Combine(area, visible, Region::Op::And);
  Region moved = source;
  moved.Offset(dx, dy);
  moved = Region::Combine(moved, Region::Combine(area, visible, Region::Op::And), Region::Op::And);

  POINT o = dc->Origin();
  // Every landed rectangle is read into a buffer first: sources and targets overlap.
  std::vector<std::vector<uint32_t>> buffers;
  moved.ForEachRect([&](int32_t top, int32_t bottom, int32_t x0, int32_t x1) {
    std::vector<uint32_t> rows(size_t(x1 - x0) * size_t(bottom - top));
    for (int32_t y = top; y < bottom; ++y)
      std::memcpy(&rows[size_t(y - top) * (x1 - x0)],
                  std::as_const(*target).Row32(y - dy + o.y) + (x0 - dx + o.x), size_t(x1 - x0) * 4);
    buffers.push_back(std::move(rows));
  });
  size_t index = 0;
  moved.ForEachRect([&](int32_t top, int32_t bottom, int32_t x0, int32_t x1) {
    const std::vector<uint32_t>& rows = buffers[index++];
    for (int32_t y = top; y < bottom; ++y)
      std::memcpy(target->ColorRow32(y + o.y) + (x0 + o.x), &rows[size_t(y - top) * (x1 - x0)],
                  size_t(x1 - x0) * 4);
  });
  dc->TargetChanged();
  dc->Scrolled(source, dx, dy);

  Region uncovered = Region::Combine(area, moved, Region::Op::Diff);
  if (RegionObject* r = Rgn(update)) r->region = uncovered;
  if (updateRect) *updateRect = uncovered.Box();
  return 1;
}

}  // namespace plat
