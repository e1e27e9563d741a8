// The corner's angle feedback, its window rectangle and its information panel.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "database/ppDatafile.h"
#include "elements/base/PlanPixels.h"
#include "elements/topview/iConfigurator.h"
#include "foundation/Geometry3D.h"
#include "foundation/TextsById.h"
#include "foundation/ppParameter.h"
#include "framework/ppDC.h"
#include "room/SegmentGeometry.h"
#include "room/qxJunction.h"
#include "room/qxRoomSegment.h"

namespace {

// Pixels from the corner to the circle, the ends of the rays and the angle texts.
constexpr float kRadius = 40.0f;
// A wall end closer than this (plan millimetres) to the point under the corner's pixel points
// nowhere; normalising it would give no direction at all.
constexpr float kShortestDirection = 0.001f;
constexpr int32_t kPanelNameText = 6314;

float AngleOfDirection(const ppVector3& d) { return roomgeo::DirectionXZ(ppVector3(), d); }

// Unit directions from `from` to every wall end that is not the corner itself (a wall through the
// corner gives two), in the order of the segment list, then sorted by angle; equal angles keep
// their order.
std::vector<ppVector3> WallDirections(const qxJunctionLink* links, const ppVector3& corner,
                                      const ppVector3& from) {
  std::vector<ppVector3> out;
  auto add = [&](const ppVector3& end) {
    if (end == corner) return;
    ppVector3 d(end.x - from.x, end.y - from.y, end.z - from.z);
    const float length = Length3(d.x, d.y, d.z);
    if (length < kShortestDirection) return;
    out.emplace_back(d.x / length, d.y / length, d.z / length);
  };
  for (const qxJunctionLink* link = links; link != nullptr; link = link->GetNext()) {
    add(link->GetSegment()->Start());
    add(link->GetSegment()->End());
  }
  std::stable_sort(out.begin(), out.end(), [](const ppVector3& a, const ppVector3& b) {
    return AngleOfDirection(a) < AngleOfDirection(b);
  });
  return out;
}

// Whole degrees, rounded: truncating would show 89 at a right angle whose float turn falls a hair
// short of a quarter.
Vcon::String DegreesText(float radians) {
  const double degrees = std::round(double(radians) * 180.0 / 3.14159265359);
  Vcon::String text = ppParameter(degrees).AsString();
  text += '\xB0';  // the degree sign of the ANSI code page
  return text;
}

}  // namespace

void qxJunction::DrawAngles(ppDC& dc, int32_t x, int32_t y) const {
  // The pixel-to-plan mapping is asked for the segments' view, so a corner without walls has none.
  if (links_ == nullptr) return;
  const float cx = float(x), cy = float(y);
  ppVector3 under;
  ScreenToPlanPoint(x, y, under);

  dc.MoveToF(cx - kRadius, cy);
  dc.ArcAroundTo(cx, cy, 1, cx + kRadius, cy);
  dc.ArcAroundTo(cx, cy, 1, cx - kRadius, cy);

  const std::vector<ppVector3> directions = WallDirections(links_, position_, under);
  const size_t n = directions.size();
  for (size_t i = 0; i < n; ++i) {
    ppVector3 a = directions[i];
    const ppVector3& b = directions[(i + 1) % n];
    float turn = AngleOfDirection(b) - AngleOfDirection(a);
    if (turn < 0.0f) turn += roomgeo::kFullTurn;
    ppVector3 bisector = a;
    RotatePoint3(bisector, 0.0f, -turn / 2.0f, 0.0f);
    dc.MoveToF(cx, cy);
    dc.LineToF(cx + a.x * kRadius, cy + a.z * kRadius);

    const Vcon::String text = DegreesText(turn);
    plat::RECT extent{0, 0, 0, 0};
    dc.MeasureText(WideFromNarrow(text.c_str()), &extent, 0);
    const int32_t halfWidth = (extent.right - extent.left) / 2;
    dc.MoveToF(cx + bisector.x * kRadius - float(halfWidth), cy + bisector.z * kRadius);
    dc.DrawText(text.c_str());
  }
}

void qxJunction::GetScreenRect(plat::RECT& rect, ppView* /*view*/, int32_t half) const {
  const float h = float(half);
  plat::POINT low{}, high{};
  PlanPointToScreen(ppVector3(position_.x - h, 0.0f, position_.z - h), low);
  PlanPointToScreen(ppVector3(position_.x + h, 0.0f, position_.z + h), high);
  rect = plat::RECT{low.x, low.y, high.x, high.y};
}

void qxJunction::ShowInfoPanel(iProperty* /*holder*/) {
  Vcon::WString name = WideFromNarrow("Junction");
  GetTextById(kPanelNameText, name);
  ConfigField title;
  title.kind = ConfigField::kText;
  title.text = name;
  title.margins[0] = 10, title.margins[1] = 15, title.margins[2] = 10, title.margins[3] = 5;
  auto panel = std::make_unique<ConfigPanel>();
  panel->name = name;
  panel->fields.push_back(std::move(title));
  // The panel replaces the previous selection's tabs rather than piling up behind them.
  iConfigurator& configurator = iConfigurator::Current();
  configurator.RemoveAll();
  configurator.AddPanel(std::move(panel));
  configurator.PlaceTabs();
}
