// The floor rebuild and the room commands.
#include "room/qxNewRoomCanvas.h"

void qxNewRoomCanvas::RebuildFloors(int32_t /*count*/) {}
OldFloorMatch& qxNewRoomCanvas::FindOldFloor(OldFloorMatch& match, const qxLineCycle& /*cycle*/,
                                             qxLineCycle* /*oldCycles*/, int32_t /*n*/) {
  match = OldFloorMatch{};
  return match;
}
ppVector2 qxNewRoomCanvas::GetFloorExtent() const { return ppVector2(0, 0); }
void qxNewRoomCanvas::DoCommand(int32_t command, intptr_t parameter) {
  zelvproTopCanvas::DoCommand(command, parameter);
}
