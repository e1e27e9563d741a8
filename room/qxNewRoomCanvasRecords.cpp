// The canvas's own module record with the outline table, and loading a plan's module table.
#include "room/qxNewRoomCanvas.h"

void qxNewRoomCanvas::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproTopCanvas::WriteRecord(record, renumber, parentNumber);
}
void qxNewRoomCanvas::ReadCanvasRecord(ppDatafile& /*record*/) {}
void qxNewRoomCanvas::LoadPlanModules(ppDatafile& /*modules*/) {}
void qxNewRoomCanvas::KeepRoomInsideMargin() {}
