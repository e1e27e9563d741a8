// Lines, curves, figures, pixels, region painting and paths.
#include <algorithm>
#include <cmath>

#include "platform/GdiInternal.h"
#include "platform/Raster.h"

namespace plat {

namespace {

constexpr double kTwoPi = 6.28318530717958647692;

PointF DevicePoint(const DeviceContext& dc, POINT p) { return dc.ToDeviceF(p.x, p.y); }

// A region given in logical units, in device pixels.
Region ToDeviceRegion(const DeviceContext& dc, const Region& region) {
  if (dc.Scale() == 1.0) return region;
  Region out;
  region.ForEachRect([&](int32_t top, int32_t bottom, int32_t x0, int32_t x1) {
    out = Region::Combine(out, Region(dc.ToDevice(RECT{x0, top, x1, bottom})), Region::Op::Or);
  });
  return out;
}

// Outline and inside of a figure drawn with the selected pen: the band the pen covers and the area
// left for the brush. `shape` makes the figure's region for a box.
template <class Shape>
void DrawFigure(DeviceContext& dc, RECT box, Shape shape) {
  int32_t width = dc.PenWidthDevice();
  if (width == 0) {
    // Without a pen the figure loses its right and bottom edge, as on the platform.
    dc.FillWithBrush(shape(RECT{box.left, box.top, box.right - 1, box.bottom - 1}));
    return;
  }
  RECT outer = box;
  if (dc.pen->style != PS_INSIDEFRAME && width > 1) {
    int32_t grow = (width - 1) / 2;
    outer = {box.left - grow, box.top - grow, box.right + grow, box.bottom + grow};
  }
  RECT inner{outer.left + width, outer.top + width, outer.right - width, outer.bottom - width};
  Region inside = shape(inner);
  dc.FillWithBrush(inside);
  dc.PaintRegion(Region::Combine(shape(outer), inside, Region::Op::Diff), dc.pen->color, dc.rop2);
}

bool DashedPen(const DeviceContext& dc) {
  return dc.pen->style >= PS_DASH && dc.pen->style <= PS_DASHDOTDOT && dc.PenWidthDevice() == 1;
}

std::vector<PointF> EllipseOutline(RECT box) {
  std::vector<PointF> points{EllipsePoint(box.left, box.top, box.right - 1, box.bottom - 1, 0)};
  FlattenArc(box.left, box.top, box.right - 1, box.bottom - 1, 0, kTwoPi, points);
  points.pop_back();  // the last point repeats the first
  return points;
}

// Draws from the current position through `points` (device), or adds them to the open path.
void LineThrough(DeviceContext& dc, const std::vector<PointF>& points) {
  if (Recording(dc)) {
    for (const PointF& p : points) PathLineTo(dc, p);
    return;
  }
  std::vector<PointF> line{dc.ToDeviceF(dc.position.x, dc.position.y)};
  line.insert(line.end(), points.begin(), points.end());
  dc.Stroke(line, false);
}

POINT Rounded(const DeviceContext& dc, PointF device) {
  double s = dc.Scale();
  return {int32_t(std::lround(device.x / s)), int32_t(std::lround(device.y / s))};
}

}  // namespace

void PathLineTo(DeviceContext& dc, PointF to) {
  PathRecord& path = *dc.path;
  if (!path.figureOpen) {
    path.figures.push_back({dc.ToDeviceF(dc.position.x, dc.position.y)});
    path.figureOpen = true;
  }
  path.figures.back().push_back(to);
}

void PathAddFigure(DeviceContext& dc, std::vector<PointF> figure) {
  dc.path->figures.push_back(std::move(figure));
  dc.path->figureOpen = false;
}

BOOL MoveToEx(HDC hdc, int32_t x, int32_t y, POINT* old) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return 0;
  if (old) *old = dc->position;
  dc->position = {x, y};
  dc->dashPhase = 0;
  if (Recording(*dc)) dc->path->figureOpen = false;
  return 1;
}

BOOL GetCurrentPositionEx(HDC hdc, POINT* position) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !position) return 0;
  *position = dc->position;
  return 1;
}

BOOL LineTo(HDC hdc, int32_t x, int32_t y) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return 0;
  LineThrough(*dc, {dc->ToDeviceF(x, y)});
  dc->position = {x, y};
  return 1;
}

BOOL Polyline(HDC hdc, const POINT* points, int32_t count) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !points || count < 2) return 0;
  std::vector<PointF> line;
  for (int32_t i = 0; i < count; ++i) line.push_back(DevicePoint(*dc, points[i]));
  if (Recording(*dc)) {
    PathAddFigure(*dc, line);
    dc->path->figureOpen = true;
    return 1;
  }
  dc->Stroke(line, false);
  return 1;
}

BOOL Polygon(HDC hdc, const POINT* points, int32_t count) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !points || count < 2) return 0;
  std::vector<PointF> figure;
  for (int32_t i = 0; i < count; ++i) figure.push_back(DevicePoint(*dc, points[i]));
  if (Recording(*dc)) {
    PathAddFigure(*dc, figure);
    return 1;
  }
  RECT rows = dc->ClipArea().Box();
  dc->FillWithBrush(Region::FromFigures({figure}, dc->polyFillMode, &rows));
  dc->Stroke(figure, true);
  return 1;
}

BOOL PolyBezierTo(HDC hdc, const POINT* points, DWORD count) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !points || count % 3 != 0) return 0;
  std::vector<PointF> flattened;
  PointF start = dc->ToDeviceF(dc->position.x, dc->position.y);
  for (DWORD i = 0; i < count; i += 3) {
    PointF p1 = DevicePoint(*dc, points[i]), p2 = DevicePoint(*dc, points[i + 1]),
           p3 = DevicePoint(*dc, points[i + 2]);
    FlattenBezier(start, p1, p2, p3, flattened);
    start = p3;
  }
  LineThrough(*dc, flattened);
  if (count > 0) dc->position = points[count - 1];
  return 1;
}

BOOL ArcTo(HDC hdc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xr1, int32_t yr1,
           int32_t xr2, int32_t yr2) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return 0;
  RECT box = dc->ToDevice(Normalized(left, top, right, bottom));
  // The outline runs through the box's outer pixels: right and bottom are exclusive.
  double l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
  PointF p1 = dc->ToDeviceF(xr1, yr1), p2 = dc->ToDeviceF(xr2, yr2);
  double a1 = RadialAngle(l, t, r, b, p1.x, p1.y), a2 = RadialAngle(l, t, r, b, p2.x, p2.y);
  double sweep = a2 - a1;
  if (dc->arcDirection == AD_COUNTERCLOCKWISE) {
    while (sweep <= 1e-12) sweep += kTwoPi;
  } else {
    while (sweep >= -1e-12) sweep -= kTwoPi;
  }
  std::vector<PointF> points{EllipsePoint(l, t, r, b, a1)};
  FlattenArc(l, t, r, b, a1, sweep, points);
  LineThrough(*dc, points);
  dc->position = Rounded(*dc, points.back());
  return 1;
}

BOOL Rectangle(HDC hdc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return 0;
  RECT box = dc->ToDevice(Normalized(left, top, right, bottom));
  if (Recording(*dc)) {
    PathAddFigure(*dc, {{double(box.left), double(box.top)},
                        {double(box.right), double(box.top)},
                        {double(box.right), double(box.bottom)},
                        {double(box.left), double(box.bottom)}});
    return 1;
  }
  if (box.right - box.left < 1 || box.bottom - box.top < 1) return 1;
  if (DashedPen(*dc)) {
    dc->FillWithBrush(Region(RECT{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}));
    int32_t r = box.right - 1, b = box.bottom - 1;
    dc->dashPhase = 0;
    dc->StrokeThin({{box.left, box.top}, {r, box.top}, {r, b}, {box.left, b}}, true);
    return 1;
  }
  DrawFigure(*dc, box, [](RECT r) { return Region(r); });
  return 1;
}

BOOL Ellipse(HDC hdc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return 0;
  RECT box = dc->ToDevice(Normalized(left, top, right, bottom));
  if (Recording(*dc)) {
    PathAddFigure(*dc, EllipseOutline(box));
    return 1;
  }
  if (box.right - box.left < 1 || box.bottom - box.top < 1) return 1;
  if (DashedPen(*dc)) {
    RECT rows = dc->ClipArea().Box();
    dc->FillWithBrush(
        Region::FromEllipse(RECT{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, &rows));
    dc->dashPhase = 0;
    dc->Stroke(EllipseOutline(box), true);
    return 1;
  }
  RECT rows = dc->ClipArea().Box();
  DrawFigure(*dc, box, [&](RECT r) { return Region::FromEllipse(r, &rows); });
  return 1;
}

COLORREF SetPixel(HDC hdc, int32_t x, int32_t y, COLORREF color) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return CLR_INVALID;
  POINT p = dc->ToDevice(x, y);
  if (!dc->ClipArea().Contains(p.x, p.y)) return CLR_INVALID;
  std::vector<POINT> pixel{p};
  dc->PaintPixels(pixel, color, R2_COPYPEN);
  return PixelToColorRef(dc->DevicePixel(color));
}

COLORREF GetPixel(HDC hdc, int32_t x, int32_t y) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return CLR_INVALID;
  POINT p = dc->ToDevice(x, y);
  Surface* target = dc->Target();
  if (!target || !dc->ClipArea().Contains(p.x, p.y)) return CLR_INVALID;
  POINT o = dc->Origin();
  return PixelToColorRef(target->Pixel(p.x + o.x, p.y + o.y));
}

int32_t FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  DeviceContext* dc = LiveDc(hdc);
  BrushObject* b = LiveObject<BrushObject>(brush, OBJ_BRUSH);
  if (!dc || !rect || !b) return 0;
  if (!b->IsHollow()) dc->PaintRect(dc->ToDevice(*rect), b->color, R2_COPYPEN);
  return 1;
}

BOOL PaintRgn(HDC hdc, HRGN region) {
  DeviceContext* dc = LiveDc(hdc);
  RegionObject* r = LiveObject<RegionObject>(region, OBJ_REGION);
  if (!dc || !r) return 0;
  dc->FillWithBrush(ToDeviceRegion(*dc, r->region));
  return 1;
}

BOOL FillRgn(HDC hdc, HRGN region, HBRUSH brush) {
  DeviceContext* dc = LiveDc(hdc);
  RegionObject* r = LiveObject<RegionObject>(region, OBJ_REGION);
  BrushObject* b = LiveObject<BrushObject>(brush, OBJ_BRUSH);
  if (!dc || !r || !b) return 0;
  if (!b->IsHollow()) dc->PaintRegion(ToDeviceRegion(*dc, r->region), b->color, R2_COPYPEN);
  return 1;
}

BOOL FrameRgn(HDC hdc, HRGN region, HBRUSH brush, int32_t width, int32_t height) {
  DeviceContext* dc = LiveDc(hdc);
  RegionObject* r = LiveObject<RegionObject>(region, OBJ_REGION);
  BrushObject* b = LiveObject<BrushObject>(brush, OBJ_BRUSH);
  if (!dc || !r || !b || width < 1 || height < 1) return 0;
  if (b->IsHollow()) return 1;
  Region area = ToDeviceRegion(*dc, r->region);
  POINT size = dc->ToDevice(width, height);
  Region frame =
      Region::Combine(area, area.Eroded(std::max(size.x, 1), std::max(size.y, 1)), Region::Op::Diff);
  dc->PaintRegion(frame, b->color, dc->rop2);
  return 1;
}

BOOL BeginPath(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return 0;
  dc->path = std::make_unique<PathRecord>();
  return 1;
}

BOOL EndPath(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !Recording(*dc)) return 0;
  dc->path->ended = true;
  dc->path->figureOpen = false;
  return 1;
}

BOOL CloseFigure(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !Recording(*dc)) return 0;
  dc->path->figureOpen = false;
  return 1;
}

BOOL AbortPath(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return 0;
  dc->path.reset();
  return 1;
}

HRGN PathToRegion(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !dc->path || !dc->path->ended) return nullptr;
  // Rows beyond the 28-bit device range cannot hold anything.
  const RECT rows{0, -(1 << 28), 0, 1 << 28};
  Region region = Region::FromFigures(dc->path->figures, dc->polyFillMode, &rows);
  dc->path.reset();
  return HandleOf<HRGN>(new RegionObject(std::move(region)));
}

}  // namespace plat
