// The room-shape classifier and the room dimensions A to F.
#include "room/qxFloorElement.h"

int32_t qxFloorElement::ClassifyRoomShape() { return 0; }
int32_t qxFloorElement::GetShapeRotation() { return 0; }
int32_t qxFloorElement::CanonicalWallIndex(int32_t position) { return position; }
int32_t qxFloorElement::GetCornerCount() { return 0; }
int32_t qxFloorElement::GetMeasurementCount() { return 0; }
int32_t qxFloorElement::RoomType() { return 0; }
void qxFloorElement::ComputeMeasurements() {}
void qxFloorElement::SetMeasurement(int32_t, float, bool) {}
int32_t RoomTypeNumber(int32_t, int32_t) { return 0; }
