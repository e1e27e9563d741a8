// The room segment's hover feedback in the Draw Walls mode: the distances from the mouse to both
// wall ends, drawn in XOR on the segment's window and recorded, so that the next mouse move or the
// leave draws the recording again and so erases it. Pixels are window pixels of the plan canvas.
#include <cmath>
#include <limits>

#include "elements/base/PlanPixels.h"
#include "foundation/Geometry3D.h"
#include "foundation/LengthText.h"
#include "framework/FontCache.h"
#include "framework/ppDC.h"
#include "room/qxRoomSegment.h"
#include "room/zelvproRoomButtons.h"

namespace {

// Only a mouse this near the centre line of a straight wall (millimetres) shows the distances.
constexpr float kHoverReach = 50.0f;
constexpr int32_t kDimensionPoints = 9;
// Two points lie on the segment between two others when the detour is below this (millimetres).
constexpr float kOnSegment = 1e-2f;

float PlanDistance(const ppVector3& a, const ppVector3& b) { return std::hypot(a.x - b.x, a.z - b.z); }

plat::POINT Pixel(const ppVector3& p) {
  plat::POINT out{};
  PlanPointToScreen(p, out);
  return out;
}

Vcon::String LengthText(float millimetres) {
  Vcon::WString wide;
  FormatLength(millimetres, wide);
  return NarrowFromWide(wide);
}

// The square on the mouse point and the arrow above it pointing down at it.
void DrawMarker(iShape& shape, plat::POINT at) {
  const float x = float(at.x), y = float(at.y);
  shape.MoveToF(x - 3, y - 3);
  shape.LineToF(x + 3, y - 3);
  shape.LineToF(x + 3, y + 3);
  shape.LineToF(x - 3, y + 3);
  shape.LineToF(x - 3, y - 3);
  const float arrow[][2] = {{7, -14}, {4, -14}, {4, -22}, {-4, -22}, {-4, -14}, {-7, -14}, {0, -7}};
  shape.MoveToF(x, y - 7);
  for (const auto& p : arrow) shape.LineToF(x + p[0], y + p[1]);
}

}  // namespace

void qxRoomSegment::MouseEnter(int32_t x, int32_t y) {
  if (!DrawWallsMode) return;
  ppVector3 m, q;
  ScreenToPlanPoint(x + 1, y, m);
  ScreenToPlanPoint(x, y, q);
  const float length = GetLength();
  if (length <= 0.0f) return;
  const ppVector3 u = (end_ - start_) / length;
  const float t = thickness_;
  if (!arched_ && DistanceToPoint(q, q + ppVector3(u.z, 0.0f, -u.x), kHoverReach) >= kHoverReach) return;

  ppDC dc(GetHWND());
  if (dc.GetHDC() == nullptr) return;
  dc.SetXorMode();
  dc.SetFont(kDefaultFaceName, kDimensionPoints, 0, 0.0f);
  hoverShape_ = std::make_unique<ppShape>();
  hoverShape_->Reset();
  dc.AttachShape(hoverShape_.get());

  const ppVector3 e1 = start_ + u * (t / 2.0f), e2 = end_ - u * (t / 2.0f);
  const ppVector3 f = e1 + u * float((m - e1).Dot(u));
  const ppVector3 g1 = f - u * (t / 2.0f), g2 = f + u * (t / 2.0f);
  bool side = clockwise_;
  if (!arched_) {
    if (!hoverSideFixed_) hoverLabelSide_ = OrientationXZ(e1, f, m) > 0;
    hoverSideFixed_ = true;
    side = hoverLabelSide_;
  }
  const float inner = PlanDistance(e1, e2);
  const auto between = [&](const ppVector3& g) {
    return PlanDistance(e1, g) + PlanDistance(e2, g) <= inner + kOnSegment;
  };
  if (between(g1))
    DrawDimensionLabel(Pixel(e1), Pixel(g1), side, dc, LengthText(PlanDistance(g1, e1)).c_str());
  if (between(g2))
    DrawDimensionLabel(Pixel(g2), Pixel(e2), side, dc, LengthText(PlanDistance(e2, g2)).c_str());
  if (!arched_) DrawMarker(dc, Pixel(q));

  hoverShape_->End();
  dc.AttachShape(nullptr);
  dc.SetNormalPen();
}

void qxRoomSegment::AdjustCursor(int32_t x, int32_t y) {
  qxFeature::AdjustCursor(x, y);
  EraseHover();
  MouseEnter(x, y);
}

void qxRoomSegment::MouseLeave() {
  EraseHover();
  hoverSideFixed_ = false;
  qxFeature::MouseLeave();
}

void qxRoomSegment::EraseHover() {
  if (hoverShape_ == nullptr) return;
  std::unique_ptr<ppShape> shape = std::move(hoverShape_);
  ppDC dc(GetHWND());
  if (dc.GetHDC() == nullptr) return;
  dc.SetXorMode();
  dc.SetFont(kDefaultFaceName, kDimensionPoints, 0, 0.0f);
  shape->Replay(&dc, 0.0f, 0.0f, 1.0f);
  dc.SetNormalPen();
}

float qxRoomSegment::DistanceToPoint(ppVector3& q, const ppVector3& r, float tolerance) const {
  constexpr float kFar = std::numeric_limits<float>::max();
  if (arched_) return kFar;
  const ppVector3 d = end_ - start_;
  ppVector3 v = r - q;
  if (v.x == 0.0f && v.z == 0.0f) v = ppVector3(-d.z, 0.0f, d.x);
  const float denominator = d.x * v.z - d.z * v.x;
  if (denominator == 0.0f) return kFar;  // no length, or the line q-r runs along the wall
  const float s = ((q.x - start_.x) * v.z - (q.z - start_.z) * v.x) / denominator;
  const ppVector3 foot = start_ + d * s;
  const bool outside = foot.x < std::fmin(start_.x, end_.x) || foot.x > std::fmax(start_.x, end_.x) ||
                       foot.z < std::fmin(start_.z, end_.z) || foot.z > std::fmax(start_.z, end_.z);
  if (outside && PlanDistance(q, start_) > tolerance && PlanDistance(q, end_) > tolerance) return kFar;
  const float distance = PlanDistance(q, foot);
  if (distance >= tolerance) return kFar;
  q = foot;
  return distance;
}
