#include <limits>

#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "room/qxRoomSegment.h"

void qxRoomSegment::BuildOutline(const ppVector3&, const ppVector3&, iShape&, bool) {}
void qxRoomSegment::DrawOutlineWithDimension(const ppVector3&, const ppVector3&, iShape&) {}
void qxRoomSegment::DrawDimensionLabel(const plat::POINT&, const plat::POINT&, bool, iShape&, const char*) {}
void qxRoomSegment::GetArcHandleRect(plat::RECT& out) { out = plat::RECT{}; }
void qxRoomSegment::GetMidHandleRect(plat::RECT& out) { out = plat::RECT{}; }
void qxRoomSegment::DrawContent(ppDC&) {}
std::unique_ptr<ppRegion> qxRoomSegment::GetFrameRegion() { return qxFeature::GetFrameRegion(); }
std::unique_ptr<ppRegion> qxRoomSegment::NewFrameRegion() { return qxFeature::NewFrameRegion(); }
bool qxRoomSegment::ContainsPoint(int32_t x, int32_t y) { return qxFeature::ContainsPoint(x, y); }
void qxRoomSegment::MouseEnter(int32_t, int32_t) {}
void qxRoomSegment::AdjustCursor(int32_t x, int32_t y) { qxFeature::AdjustCursor(x, y); }
void qxRoomSegment::MouseLeave() {}
float qxRoomSegment::DistanceToPoint(ppVector3&, const ppVector3&, float) const {
  return std::numeric_limits<float>::max();
}
void qxRoomSegment::EraseHover() {}
