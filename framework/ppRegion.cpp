#include "framework/ppRegion.h"

#include <memory>

#include "foundation/ProcessServices.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/ppVector2.h"
#include "framework/ppDC.h"
#include "framework/ppShape.h"
#include "platform/WindowApi.h"

namespace {

int32_t g_liveRegions = 0;
int32_t g_failCreations = 0;

constexpr int32_t kPointsPerStep = 16;

// True when a simulated failure is due; consumes it.
bool CreationFails() {
  if (g_failCreations <= 0) return false;
  --g_failCreations;
  return true;
}

[[noreturn]] void Fail(int32_t code) {
  ShowMemoryError(code);
  throw Vcon::MemError{code};
}

plat::HRGN MakeEmpty(int32_t code) {
  plat::HRGN r = CreationFails() ? nullptr : plat::CreateRectRgn(0, 0, 0, 0);
  if (!r) Fail(code);
  return r;
}

// Copies `source` into a fresh region; a failed copy is the memory failure `code`.
plat::HRGN MakeCopy(plat::HRGN source, int32_t code) {
  plat::HRGN r = MakeEmpty(code);
  if (CreationFails() || plat::CombineRgn(r, source, nullptr, plat::RGN_COPY) == plat::RGN_ERROR) {
    plat::DeleteObject(r);
    Fail(code);
  }
  return r;
}

// The outline of the shape as a region, drawn through a context on `dc`; null when no path came out.
plat::HRGN ShapeToRegion(plat::HDC dc, const ppShape& shape, int32_t x, int32_t y, float factor) {
  ppDC context(dc);
  plat::BeginPath(dc);
  context.DrawShape(shape, x, y, factor);
  plat::CloseFigure(dc);
  plat::EndPath(dc);
  return plat::PathToRegion(dc);
}

}  // namespace

int32_t ppRegion::LiveCount() { return g_liveRegions; }
void ppRegion::FailNextCreations(int32_t count) { g_failCreations = count; }

ppRegion::ppRegion() {
  region_ = MakeEmpty(1040);
  ++g_liveRegions;
}

ppRegion::ppRegion(const plat::RECT& rect) {
  region_ = CreationFails() ? nullptr : plat::CreateRectRgnIndirect(&rect);
  if (!region_) Fail(1041);
  ++g_liveRegions;
}

ppRegion::ppRegion(const ppRegion& other) {
  region_ = MakeCopy(other.region_, 1042);
  ++g_liveRegions;
}

ppRegion::ppRegion(plat::HRGN region) {
  region_ = MakeCopy(region, 1043);
  ++g_liveRegions;
}

ppRegion::ppRegion(const ppShape& shape, int32_t x, int32_t y, float factor) {
  // The path is drawn on the active window when there is one, else on a scratch memory context.
  plat::HRGN made = nullptr;
  plat::HWND window = plat::GetActiveWindow();
  if (plat::IsWindow(window)) {
    plat::HDC dc = plat::GetDC(window);
    if (dc) {
      made = ShapeToRegion(dc, shape, x, y, factor);
      plat::ReleaseDC(window, dc);
    }
  } else {
    plat::OwnedDc scratch(plat::CreateCompatibleDC(nullptr));
    if (scratch) made = ShapeToRegion(scratch.get(), shape, x, y, factor);
  }
  region_ = made ? made : MakeEmpty(1040);
  ++g_liveRegions;
}

ppRegion::~ppRegion() {
  if (region_) plat::DeleteObject(region_);
  --g_liveRegions;
}

void ppRegion::Combine(plat::HRGN other, int32_t mode) { plat::CombineRgn(region_, region_, other, mode); }

void ppRegion::Union(const ppRegion& other) { Combine(other.region_, plat::RGN_OR); }
void ppRegion::Intersect(const ppRegion& other) { Combine(other.region_, plat::RGN_AND); }
void ppRegion::Subtract(const ppRegion& other) { Combine(other.region_, plat::RGN_DIFF); }

void ppRegion::SubtractRect(const plat::RECT& rect) {
  plat::OwnedRegion r(plat::CreateRectRgnIndirect(&rect));
  Combine(r.get(), plat::RGN_DIFF);
}

void ppRegion::SetRect(const plat::RECT& rect) {
  plat::SetRectRgn(region_, rect.left, rect.top, rect.right, rect.bottom);
}

void ppRegion::Offset(int32_t dx, int32_t dy) { plat::OffsetRgn(region_, dx, dy); }

void ppRegion::GetBounds(plat::RECT* bounds) const { plat::GetRgnBox(region_, bounds); }

bool ppRegion::Contains(int32_t x, int32_t y) const { return plat::PtInRegion(region_, x, y) != 0; }

bool ppRegion::IsEmpty() const {
  plat::RECT box;
  plat::GetRgnBox(region_, &box);
  return box.right <= box.left || box.bottom <= box.top;
}

void ppRegion::BeginPolygon() {
  recording_ = true;
  pointCount_ = 0;
}

void ppRegion::AppendPoint(int32_t x, int32_t y) {
  if (!recording_) return;
  if (pointCount_ == int32_t(points_.size())) points_.resize(points_.size() + kPointsPerStep);
  points_[size_t(pointCount_++)] = Point{x, y};
}

void ppRegion::MoveTo(int32_t x, int32_t y) { AppendPoint(x, y); }
void ppRegion::LineTo(int32_t x, int32_t y) { AppendPoint(x, y); }

void ppRegion::EndPolygon() {
  recording_ = false;
  if (pointCount_ < 1) return;
  std::vector<plat::POINT> pts;
  pts.reserve(size_t(pointCount_));
  for (int32_t i = 0; i < pointCount_; ++i)
    pts.push_back(plat::POINT{points_[size_t(i)].x, points_[size_t(i)].y});
  plat::HRGN fresh = plat::CreatePolygonRgn(pts.data(), pointCount_, plat::WINDING);
  if (!fresh) return;
  plat::DeleteObject(region_);
  region_ = fresh;
}

std::unique_ptr<ppRegion> PointListToRegion(Handle list) {
  auto region = std::make_unique<ppRegion>();
  const int32_t count = list ? MemGetSize(list) / int32_t(sizeof(ppVector2)) : 0;
  if (count < 1) return region;
  const ppVector2* p = reinterpret_cast<const ppVector2*>(*list);
  region->BeginPolygon();
  region->MoveTo(int32_t(p[0].x), int32_t(p[0].y));
  for (int32_t i = 1; i < count; ++i) region->LineTo(int32_t(p[i].x), int32_t(p[i].y));
  region->LineTo(int32_t(p[0].x), int32_t(p[0].y));
  region->EndPolygon();
  return region;
}
