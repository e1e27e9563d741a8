#include "room/qxFixDoors.h"

#include "room/qxNewRoomCanvas.h"

qxFixDoors::qxFixDoors(plat::HWND window) : ppSweeper(window) {}

void qxFixDoors::Sweep() {
  if (qxNewRoomCanvas* canvas = qxNewRoomCanvas::Current()) canvas->FixDoors();
}
