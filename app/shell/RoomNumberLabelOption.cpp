#include "app/shell/RoomNumberLabelOption.h"

#include "elements/base/iElementHost.h"
#include "room/qxNewRoomCanvas.h"

bool RoomNumberLabelOption::IsOn() {
  auto* room = dynamic_cast<qxNewRoomCanvas*>(iElementHost::Current().NewRoomCanvas());
  if (room == nullptr) return false;
  const int32_t index = room->IndexOf("ShowNumbers");
  return index >= 0 && room->GetValue(index).ToBool();
}
