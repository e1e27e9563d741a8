// The room segment's outline, handles, dimension labels and hit region. Plan points are
// millimetres; every shape command, rectangle and pixel is in window pixels of the plan canvas.
#include <cmath>
#include <cstring>
#include <vector>

#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproCanvas.h"
#include "foundation/Geometry3D.h"
#include "foundation/LengthText.h"
#include "foundation/UserPreferences.h"
#include "framework/FontCache.h"
#include "framework/ppDC.h"
#include "framework/ppEventHandler.h"
#include "framework/ppRegion.h"
#include "platform/WindowApi.h"
#include "room/ppCircle.h"
#include "room/qxJunction.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"

namespace {

// The dimension font: the default face at 9 points.
constexpr int32_t kDimensionPoints = 9;
// Measuring-line geometry (pixels): extension lines run from 10 to 60 out, the line at 35; the
// probe that looks for room beside the wall lies 50 beyond the text.
constexpr float kExtensionStart = 10.0f, kExtensionEnd = 60.0f, kMeasureOffset = 35.0f;
constexpr float kProbeMargin = 50.0f, kTextGap = 25.0f;
// Pushing the hit outline beyond the wall ends: a fixed 35 below 50 mm of thickness, else 0.7 t.
constexpr float kThinWall = 50.0f, kThinOverhang = 35.0f;
// Two lengths the label compares are the same when closer than this (millimetres).
constexpr float kSameLength = 1e-3f;

ppVector3 UnitOf(const ppVector3& v) {
  const float length = v.Length();
  return length > 0.0f ? v / length : ppVector3();
}

plat::POINT Pixel(const ppVector3& p) {
  plat::POINT out{};
  PlanPointToScreen(p, out);
  return out;
}

void PathMove(iShape& shape, const ppVector3& p) {
  const plat::POINT q = Pixel(p);
  shape.MoveToF(float(q.x), float(q.y));
}

void PathLine(iShape& shape, const ppVector3& p) {
  const plat::POINT q = Pixel(p);
  shape.LineToF(float(q.x), float(q.y));
}

// The box of the circle of `radius` about `centre`, in pixels.
plat::RECT CircleBox(const ppVector3& centre, float radius) {
  const plat::POINT lt = Pixel(centre - ppVector3(radius, 0.0f, radius));
  const plat::POINT rb = Pixel(centre + ppVector3(radius, 0.0f, radius));
  return plat::RECT{lt.x, lt.y, rb.x, rb.y};
}

void ArcTo(iShape& shape, const plat::RECT& box, const ppVector3& to, uint8_t direction) {
  const plat::POINT q = Pixel(to);
  shape.ArcInBoxTo(float(box.left), float(box.top), float(box.right), float(box.bottom), float(q.x),
                   float(q.y), direction);
}

// Width and height (pixels) of `text` in the dimension font, measured on the screen.
plat::SIZE DimensionTextSize(const char* text) {
  plat::SIZE size{0, 0};
  plat::HDC screen = plat::GetDC(nullptr);
  if (screen == nullptr) return size;
  {
    plat::ScopedSelection font(screen, GetCachedFont(kDefaultFaceName, -kDimensionPoints, 0, 0.0f));
    plat::GetTextExtentPoint32A(screen, text, int32_t(std::strlen(text)), &size);
  }
  plat::ReleaseDC(nullptr, screen);
  return size;
}

Vcon::String LengthText(float millimetres) {
  Vcon::WString wide;
  FormatLength(millimetres, wide);
  return NarrowFromWide(wide);
}

// The plan view of the document window: the one the labels must stay inside; null when none.
ppView* PlanView() {
  auto* canvas = dynamic_cast<zelvproCanvas*>(iElementHost::Current().TopCanvas());
  return canvas != nullptr ? canvas->GetScrollView() : nullptr;
}

// A pixel point of the label, truncated toward zero as every coordinate there.
struct LabelPoint {
  int32_t x, y;
};
LabelPoint Offset(LabelPoint p, float nx, float ny, float distance) {
  return LabelPoint{int32_t(float(p.x) + nx * distance), int32_t(float(p.y) + ny * distance)};
}

}  // namespace

// ---- Drag outline.

void qxRoomSegment::DrawOutlineWithDimension(const ppVector3& a, const ppVector3& b, iShape& shape) {
  shape.SetFont(kDefaultFaceName, kDimensionPoints, 0, 0.0f);
  BuildOutline(a, b, shape, false);
}

void qxRoomSegment::BuildOutline(const ppVector3& a, const ppVector3& b, iShape& shape, bool outlineOnly) {
  const float t = thickness_;
  const ppVector3 u = UnitOf(b - a);
  ppVector3 a2 = a, b2 = b;
  float half = t / 2.0f * 1.1f;
  if (outlineOnly) {
    half = t < kThinWall ? kThinOverhang : t / 2.0f * 1.4f;
    a2 = a - u * half;
    b2 = b + u * half;
  }
  const ppVector3 w = u * half;
  const ppVector3 n(w.z, 0.0f, -w.x);
  ppVector3 s1 = a2 + n, s4 = a2 - n, s2 = b2 + n, s3 = b2 - n;
  if (!outlineOnly) s1 += w, s4 += w, s2 -= w, s3 -= w;  // pointed ends at 45 degrees
  if (!arched_) {
    PathMove(shape, s1);
    for (const ppVector3& p : {s2, b2, s3, s4, a2, s1}) PathLine(shape, p);
  } else {
    const float halfThickness = clockwise_ ? -t / 2.0f : t / 2.0f;
    const plat::RECT inner = CircleBox(centre_, radius_ - halfThickness);
    const plat::RECT outer = CircleBox(centre_, radius_ + halfThickness);
    const bool cw = clockwise_;
    PathMove(shape, cw ? s1 : s2);
    ArcTo(shape, inner, cw ? s2 : s1, 0);
    PathLine(shape, cw ? s3 : s4);
    ArcTo(shape, outer, cw ? s4 : s3, 1);
    PathLine(shape, cw ? s1 : s2);
  }
  if (outlineOnly) return;
  if (arched_) DrawArcHeight(a, b, shape);
  qxJunction *j1 = nullptr, *j2 = nullptr;
  ppVector3 m1, m2;
  TrackDraggedEnds(a, b, j1, m1, j2, m2);
  DrawLengthLabel(j1, m1, j2, m2, shape);
}

void qxRoomSegment::DrawArcHeight(const ppVector3& a, const ppVector3& b, iShape& shape) {
  const ppVector3 chordMid = (a + b) * 0.5f, arcMid = ArcMidpoint(a, b);
  PathMove(shape, chordMid);
  PathLine(shape, arcMid);
  if (radius_ <= 0.0f) return;
  PathMove(shape, (chordMid + arcMid) * 0.5f);
  shape.DrawText(LengthText(chordMid.Distance(arcMid)).c_str());
}

void qxRoomSegment::TrackDraggedEnds(const ppVector3& a, const ppVector3& b, qxJunction*& j1, ppVector3& m1,
                                     qxJunction*& j2, ppVector3& m2) {
  std::vector<qxJunction*> list;
  for (qxJunctionRec* n = junctions_; n != nullptr; n = n->GetNext()) list.push_back(n->GetJunction());
  const auto take = [](qxJunction* j, qxJunction*& jOut, ppVector3& mOut) { jOut = j, mOut = j->Position(); };
  j1 = nullptr, m1 = a, j2 = nullptr, m2 = b;
  if (!list.empty()) take(list.front(), j1, m1), take(list.back(), j2, m2);
  const bool aMoved = a != savedStart_, bMoved = b != savedEnd_;
  ppVector3 shift;
  if (aMoved && bMoved) {
    shift = savedStart_ - a;
    m1 = a, m2 = b;
  } else if (aMoved) {
    shift = (savedStart_ - a) * 0.5f;
    m1 = a;
    if (list.size() >= 2) take(list[1], j2, m2);
  } else if (bMoved) {
    shift = (savedEnd_ - b) * 0.5f;
    m2 = b;
    if (list.size() >= 2) take(list[list.size() - 2], j1, m1);
  }
  savedStart_ = previousStart_ = a;
  savedEnd_ = previousEnd_ = b;
  if (!aMoved && !bMoved) return;
  labelPoint_ -= shift;
  // A straight wall keeps no arc from a drag: its arc values are unused while it is straight, and an
  // almost straight drag gives a circle too large for a saved plan to hold (the plan would not open).
  if (!arched_) return;
  // A handle on the chord gives no circle: the arc stays as it was rather than take radius -1.
  const ppCircle circle(b, labelPoint_, a);
  if (circle.GetRadius() <= 0.0) return;
  radius_ = float(circle.GetRadius());
  centre_ = *circle.GetCenter();
  clockwise_ = OrientationXZ(b, labelPoint_, a) < 0;
}

void qxRoomSegment::DrawLengthLabel(qxJunction* j1, ppVector3 m1, qxJunction* j2, ppVector3 m2,
                                    iShape& shape) {
  const float d0 = m1.Distance(m2);
  const float stored = GetLength();
  if (std::fabs(stored - d0) <= kSameLength) return;
  const ppVector3 u2 = UnitOf(m1 - m2);
  const ppVector3 first = m1, second = m2;
  // Each measuring point moves to the face of the neighbouring wall, or by half this wall's
  // thickness when the end has none.
  const auto shiftEnd = [&](qxJunction* j, bool largest, ppVector3& m, float outwards) {
    qxRoomSegment* n = nullptr;
    if (j != nullptr) {
      const ppVector3& far = largest ? second : first;
      n = largest ? j->NeighbourWithLargestAngle(this, far) : j->NeighbourWithSmallestAngle(this, far);
    }
    if (n == nullptr) {
      m += u2 * (outwards * thickness_ / 2.0f);
      return;
    }
    const ppVector3& at = j->Position();
    const ppVector3& nFar = n->Start().Distance(at) > n->End().Distance(at) ? n->Start() : n->End();
    const float sign = OrientationXZ(nFar, first, second) < 0 ? -1.0f : 1.0f;
    m += u2 * (outwards * sign * n->GetThickness() / 2.0f);
  };
  shiftEnd(j1, true, m1, 1.0f);
  shiftEnd(j2, false, m2, -1.0f);
  const float d = m1.Distance(m2);
  const float offset = stored - (d0 - d);
  const float shown = snapWallLength(d - offset) + offset;
  const bool side = arched_ ? !clockwise_ : false;
  DrawDimensionLabel(Pixel(m2), Pixel(m1), side, shape, LengthText(shown).c_str());
}

// ---- Dimension label.

void qxRoomSegment::DrawDimensionLabel(const plat::POINT& a, const plat::POINT& b, bool side, iShape& shape,
                                       const char* text) {
  const float dx = float(b.x - a.x), dy = float(b.y - a.y);
  const float length = std::sqrt(dx * dx + dy * dy);
  if (length <= 0.0f) return;  // no direction to measure along
  const plat::SIZE extent = DimensionTextSize(text);
  const int32_t w = extent.cx, h = extent.cy;
  float nx = -dy / length, ny = dx / length;
  const LabelPoint pa{int32_t(float(a.x) + dx / length), int32_t(float(a.y) + dy / length)};
  const LabelPoint pb{int32_t(float(b.x) - dx / length), int32_t(float(b.y) - dy / length)};
  if (side) nx = -nx, ny = -ny;
  const LabelPoint mid{(pa.x + pb.x) / 2, (pa.y + pb.y) / 2};
  if (ppView* plan = PlanView(); plan != nullptr) {
    const int32_t px = int32_t(float(mid.x) + float(w + kProbeMargin) * nx);
    const int32_t py = int32_t(float(mid.y) + float(h + kProbeMargin) * ny);
    if (!plan->ContainsPoint(px, py)) nx = -nx, ny = -ny;
  }
  const auto line = [&shape](LabelPoint p, LabelPoint q) {
    shape.MoveToF(float(p.x), float(p.y));
    shape.LineToF(float(q.x), float(q.y));
  };
  const LabelPoint b10 = Offset(pb, nx, ny, kExtensionStart), b60 = Offset(pb, nx, ny, kExtensionEnd);
  const LabelPoint a10 = Offset(pa, nx, ny, kExtensionStart), a60 = Offset(pa, nx, ny, kExtensionEnd);
  const LabelPoint b35 = Offset(pb, nx, ny, kMeasureOffset), a35 = Offset(pa, nx, ny, kMeasureOffset);
  line(b10, b60);
  line(a10, a60);
  line(b35, a35);
  const LabelPoint c{(b35.x + a35.x) / 2, (b35.y + a35.y) / 2};
  const float span = std::sqrt(float((pb.x - pa.x) * (pb.x - pa.x) + (pb.y - pa.y) * (pb.y - pa.y)));
  int32_t x = 0, y = 0;
  if (b10.x == b60.x) {  // vertical extension lines: a horizontal wall
    x = c.x - w / 2;
    const float out = float(w) < span ? 0.0f : kTextGap * ny;
    y = ny <= 0.0f ? int32_t(float(c.y) + out) - h : int32_t(float(c.y) + out);
  } else {
    if (float(h) < span)
      x = nx <= 0.0f ? int32_t(float(c.x) + float(w) * nx) : c.x;
    else
      x = nx <= 0.0f ? int32_t(float(c.x) + float(w + kTextGap) * nx) : int32_t(float(c.x) + kTextGap * nx);
    y = c.y - h / 2;
  }
  shape.MoveToF(float(x), float(y));
  shape.DrawText(text);
}

// ---- Handles.

ppVector3 qxRoomSegment::ArcMidpoint(const ppVector3& a, const ppVector3& b) const {
  const ppVector3 m = (a + b) * 0.5f;
  if (radius_ <= 0.0f) return m;
  const ppVector3 v = m - centre_;
  const float d = v.Length();
  if (d <= 0.0f) return m;  // a half circle's chord runs through the centre: no direction known
  const int32_t turn = OrientationXZ(centre_, start_, end_);
  float k = radius_ / d - 1.0f;
  if ((turn >= 1 && !clockwise_) || (turn < 1 && clockwise_)) k = -(radius_ / d + 1.0f);
  return m + v * k;
}

void qxRoomSegment::GetArcHandleRect(plat::RECT& out) {
  out = plat::RECT{};
  if (!arched_) return;
  labelPoint_ = ArcMidpoint(start_, end_);
  const plat::POINT p = Pixel(labelPoint_);
  out = plat::RECT{p.x - 5, p.y - 5, p.x + 5, p.y + 5};
}

void qxRoomSegment::GetMidHandleRect(plat::RECT& out) {
  out = plat::RECT{};
  if (arched_) return;
  labelPoint_ = (start_ + end_) * 0.5f;
  const plat::POINT p = Pixel(labelPoint_);
  out = plat::RECT{p.x - 4, p.y - 4, p.x + 6, p.y + 6};
}

void qxRoomSegment::DrawContent(ppDC& dc) {
  if (arched_ || locked != 0) return;
  ppView* current = qxNewRoomCanvas::Current();
  if (current == nullptr || (GetSupervisor() != current && GetCanvas() != current)) return;
  plat::RECT handle;
  GetMidHandleRect(handle);
  dc.FillEllipse(handle);
}

// ---- Hit region.

const ppRegion& qxRoomSegment::OwnHitRegion(double scale, const plat::POINT& origin) {
  plat::RECT handle;
  GetArcHandleRect(handle);  // also keeps the label point on the arc, as every hit test did
  // Everything the outline and the handle are built from, in 64 bytes without padding.
  struct Key {
    float geometry[11];
    int32_t originX, originY;
    uint32_t flags;
    double scale;
  };
  const Key key{{start_.x, start_.y, start_.z, end_.x, end_.y, end_.z, centre_.x, centre_.y, centre_.z,
                 thickness_, radius_},
                origin.x,
                origin.y,
                (arched_ ? 1u : 0u) | (clockwise_ ? 2u : 0u),
                scale};
  static_assert(sizeof key == 64, "no padding bytes in the key");
  return hitRegion_.Get(&key, sizeof key, [&](ppRegion& region) {
    if (arched_) region.Union(ppRegion(handle));
    ppShape outline;
    outline.Reset();
    BuildOutline(start_, end_, outline, true);
    outline.End();
    region.Union(ppRegion(outline, 0, 0, 1.0f));
  });
}

std::unique_ptr<ppRegion> qxRoomSegment::GetFrameRegion() {
  auto region = std::make_unique<ppRegion>(OwnHitRegion(PlanScale(), PlanPixelOrigin()));
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* child = dynamic_cast<zelvproElement*>(children.At(i)); child != nullptr)
      region->Union(*child->GetFrameRegion());
  }
  return region;
}

std::unique_ptr<ppRegion> qxRoomSegment::NewFrameRegion() { return GetFrameRegion(); }

bool qxRoomSegment::ContainsPoint(int32_t x, int32_t y) {
  return ContainsPointMapped(x, y, PlanScale(), PlanPixelOrigin());
}

bool qxRoomSegment::ContainsPointMapped(int32_t x, int32_t y, double scale, const plat::POINT& origin) {
  // The union asked part by part: a point lies in it exactly when it lies in one of them.
  OwnHitRegion(scale, origin);
  if (hitRegion_.Contains(x, y)) return true;
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* child = dynamic_cast<zelvproElement*>(children.At(i));
        child != nullptr && child->GetFrameRegion()->Contains(x, y))
      return true;
  }
  return false;
}
