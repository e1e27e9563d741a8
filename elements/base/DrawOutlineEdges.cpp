#include "elements/base/DrawOutlineEdges.h"

#include <cstring>

#include "foundation/Geometry2D.h"
#include "foundation/ppVector2.h"
#include "framework/ppDC.h"

namespace {

constexpr int32_t kLeaveOut = 0x1;

}  // namespace

void DrawOutlineEdges(Handle points, ppDC& dc, const ppRGBColor& colour, uint8_t mode,
                      const std::vector<int32_t>* edgeFlags) {
  dc.SetColor(colour);
  bool batch = false;
  if (mode == kOutlineXorMode) {
    dc.SetXorMode();
    dc.SetPenSize(1, 1);
  } else if (dc.IsOpenGLOn()) {
    dc.SetLineBatch(true);
    batch = true;
  }
  const std::vector<ppVector2> list = PointListToVector(points);
  for (size_t i = 0; i < list.size(); ++i) {
    if (edgeFlags != nullptr && i < edgeFlags->size() && ((*edgeFlags)[i] & kLeaveOut) != 0) continue;
    const ppVector2& from = list[i];
    const ppVector2& to = list[(i + 1) % list.size()];
    dc.MoveToF(from.x, from.y);
    dc.LineToF(to.x, to.y);
  }
  dc.SetPenSize(1, 1);
  if (batch) dc.SetLineBatch(false);
  dc.SetNormalPen();
}
