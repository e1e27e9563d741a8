// How the plan wall piece shows itself on screen and on printed pages, its end handles, and the press
// on it. Outline points are in the element's frame (millimetres); handles and presses are in window
// pixels; times are ticks of 1/60 second of the layer's clock.
#include <cmath>
#include <memory>
#include <utility>

#include "elements/base/DrawOutlineEdges.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/qxViewHolder.h"
#include "elements/shapes/zelvproShape.h"
#include "elements/topview/PlanToPixels.h"
#include "elements/topview/iPrintSettings.h"
#include "foundation/Geometry2D.h"
#include "foundation/OwnedHandle.h"
#include "framework/NoMouseButtonPending.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppMouseTask.h"
#include "platform/LayerClock.h"
#include "room/zelvproWall.h"

namespace {

// DrawOutlineEdges' plain mode (smooth lines where the context draws through OpenGL).
constexpr uint8_t kPlainMode = 4;
const ppRGBColor kBlack{0, 0, 0};
const ppRGBColor kSelectedEdge{50, 0, 0};  // percent
// Sent up to the canvas before a press selects the wall without Shift: the rest is deselected.
constexpr int32_t kDeselectAll = 204;
// Two presses at most this far apart are a double click.
constexpr uint32_t kDoubleClickTicks = 30;
// The button must still be down this long after the press for a drag to start.
constexpr uint32_t kDragDelayTicks = 5;
constexpr uint32_t kTickMs = 17;  // one tick, rounded up to whole milliseconds

// Blocks until the layer's clock has advanced by `ticks` (never the wall clock: a test's manual
// clock is advanced at once).
void WaitTicks(uint32_t ticks) {
  const uint32_t start = ppMouseTask::GetTicks();
  while (ppMouseTask::GetTicks() - start < ticks) plat::LayerClock::Wait(kTickMs);
}

int32_t Rounded(float v) { return std::isfinite(v) ? int32_t(std::lround(v)) : 0; }

bool HasHandle(const SnapAnchor& entry) { return entry.code == 0 || entry.code == zelvproWall::kEndHandle; }

}  // namespace

void zelvproWall::DrawContent(ppDC& dc) {
  ppBrushSaver brushes(dc);
  ppClipSaver clip(dc);
  if (ppView* supervisor = GetSupervisor()) supervisor->ClipToVisible(dc);
  const bool white = plain || iPrintSettings::Current().OutlineOnly();
  const PlanToPixels screen = PlanToPixels::Screen();
  ForEachOutline([&](Handle points) {
    OwnedHandle pixels(screen.Map(*this, points));
    std::unique_ptr<ppRegion> region = PointListToRegion(pixels.Get());
    dc.SetCopyMode();
    if (white)
      dc.SetGray(100);
    else
      dc.SetColor(colour);
    dc.PaintRegion(*region);
    DrawOutlineEdges(pixels.Get(), dc, IsSelected() ? kSelectedEdge : kBlack, kPlainMode, nullptr);
  });
  if (!IsSelected()) return;
  dc.SetNormalPen();
  dc.SetColor(kBlack);
  for (size_t i = 0; i < snapPoints.size(); ++i)
    if (HasHandle(snapPoints[i])) dc.FillRect(GetHandleRect(int32_t(i)));
}

void zelvproWall::PrintContent(ppDC& dc, int32_t page) {
  ppBrushSaver brushes(dc);
  const bool outlineOnly = iPrintSettings::Current().OutlineOnly();
  const PlanToPixels mapping = PlanToPixels::Page(iPrintSettings::Current().PageFields(page));
  ForEachOutline([&](Handle points) {
    OwnedHandle pixels(mapping.Map(*this, points));
    const std::vector<ppVector2> p = PointListToVector(pixels.Get());
    if (p.empty()) return;
    std::unique_ptr<ppRegion> region = PointListToRegion(pixels.Get());
    dc.SetCopyMode();
    if (outlineOnly || plain)
      dc.SetGray(100);
    else
      dc.SetColor(colour);
    dc.PaintRegion(*region);
    dc.SetColor(kBlack);
    if (!outlineOnly) {
      dc.FrameRegion(*region);
      return;
    }
    dc.SetNormalPen();
    dc.MoveTo(Rounded(p[0].x), Rounded(p[0].y));
    for (size_t i = 1; i < p.size(); ++i) dc.LineTo(Rounded(p[i].x), Rounded(p[i].y));
    dc.LineTo(Rounded(p[0].x), Rounded(p[0].y));
  });
}

Handle zelvproWall::GetPlacedOutline() {
  if (outlines == nullptr) return nullptr;
  if (outlines->cached == nullptr) outlines->cached = outlines->ModifiedPoints();
  return PlanToPixels::Screen().Map(*this, outlines->cached);
}

// ---- Handles and hit tests.

plat::RECT zelvproWall::GetHandleRect(int32_t index) const {
  if (index < 0 || size_t(index) >= snapPoints.size() || !HasHandle(snapPoints[size_t(index)]))
    return plat::RECT{0, 0, 0, 0};
  plat::POINT p{};
  PlanPointToScreen(PlacedEntryPoint(index), p);
  return plat::RECT{p.x - 3, p.y - 3, p.x + 4, p.y + 4};
}

int32_t zelvproWall::FindHandleAt(int32_t x, int32_t y) const {
  for (size_t i = 0; i < snapPoints.size(); ++i) {
    if (snapPoints[i].code != kEndHandle) continue;
    const plat::RECT r = GetHandleRect(int32_t(i));
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return int32_t(i);
  }
  return -1;
}

std::unique_ptr<ppRegion> zelvproWall::NewFrameRegion() {
  std::unique_ptr<ppRegion> region = zelvproTopViewElement::NewFrameRegion();
  for (size_t i = 0; i < snapPoints.size(); ++i) {
    if (HasHandle(snapPoints[i])) region->Union(ppRegion(GetHandleRect(int32_t(i))));
  }
  return region;
}

bool zelvproWall::ContainsPoint(int32_t x, int32_t y) {
  std::unique_ptr<ppRegion> region = NewFrameRegion();
  return region != nullptr && region->Contains(x, y);
}

// ---- The press.

bool zelvproWall::MouseDown(int32_t x, int32_t y) { return ContainsPoint(x, y) && IsDoubleClick(x, y); }

bool zelvproWall::IsDoubleClick(int32_t x, int32_t y) {
  const uint32_t now = ppMouseTask::GetTicks();
  const bool doubleClick = now - lastClickTime <= kDoubleClickTicks;
  lastClickTime = now;
  if (doubleClick) return true;
  if (selected == 0) {
    if (!IsShiftKeyDown()) DoCommand(kDeselectAll, 0);
    Select(true);
  } else if (IsShiftKeyDown()) {
    Deselect(true);
    Invalidate();
    return true;
  }
  WaitTicks(kDragDelayTicks);
  // A button message waiting means the button went up again: a plain click.
  if (NoMouseButtonPending()) StartDrag(x, y);
  return true;
}

void zelvproWall::StartDrag(int32_t x, int32_t y) {
  iElementTaskFactory& factory = iElementTaskFactory::Current();
  const int32_t end = FindHandleAt(x, y);
  if (end >= 0) {
    if (ppTask* task = factory.NewWallEndTask(this, end))
      factory.StartWithElement(task, x, y, NewFrameRegion());
    return;
  }
  qxViewHolder* selection = CollectSelection(nullptr, true);
  if (selection == nullptr) return;
  // Taken before the task is made: a made task takes the chain over.
  std::unique_ptr<ppRegion> feedback = selection->ChainRegion();
  ppTask* task = CreateMoverTask(selection, GetCanvas(), nullptr);
  if (task == nullptr) {
    delete selection;
    return;
  }
  factory.StartWithElement(task, x, y, std::move(feedback));
}
