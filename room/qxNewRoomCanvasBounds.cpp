// The room's plan bounds and the offsets of its children.
#include "room/qxNewRoomCanvas.h"

void qxNewRoomCanvas::ComputeBounds(ppVector2 corners[4]) {
  corners[0] = ppVector2(0, 0), corners[1] = ppVector2(0, 6000), corners[2] = ppVector2(10000, 6000),
  corners[3] = ppVector2(10000, 0);
}
void qxNewRoomCanvas::ExtendBounds2D(ppVector2& min, ppVector2& max) {
  zelvproTopCanvas::ExtendBounds2D(min, max);
}
void qxNewRoomCanvas::OffsetTopViewChildren(const ppVector3& offset) {
  zelvproTopCanvas::OffsetTopViewChildren(offset);
}
