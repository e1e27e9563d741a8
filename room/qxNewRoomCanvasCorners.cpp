// Corners at segment ends and crossings, and the chaining of side faces into cycles.
#include "room/qxNewRoomCanvas.h"

void qxNewRoomCanvas::AttachSegmentEnd(qxRoomSegment* /*segment*/, const ppVector3& /*point*/) {}
void qxNewRoomCanvas::AddCrossingJunctions(qxRoomSegment* /*segment*/) {}
qxJunction* qxNewRoomCanvas::FindJunctionAt(const ppVector3& /*point*/) const { return nullptr; }
qxLineCycle* qxNewRoomCanvas::BuildCycles(Handle /*edges*/) { return nullptr; }
bool qxNewRoomCanvas::IsTurningPositive(const qxLineCycle& /*cycle*/) { return false; }
void qxNewRoomCanvas::ReverseCycle(qxLineCycle& /*cycle*/) {}
