// The kind word of every plan element class. Kinds are stored in documents (record "type"), so a
// value never changes once documents carry it. Wall-attached features set no kind of their own.
#pragma once

#include <cstdint>

struct ElementKinds {
  static constexpr int32_t kPlain = 0;  // plain elements and the canvases
  static constexpr int32_t kGroup = 1;
  static constexpr int32_t kStructure = 3;
  static constexpr int32_t kConfigurable = 4;
  static constexpr int32_t kDoor = 5;
  static constexpr int32_t kRoomWindow = 6;
  static constexpr int32_t kPlanWall = 9;
  static constexpr int32_t kAccessory = 10;
  static constexpr int32_t kParametric = 12;
  static constexpr int32_t kWorkTop = 17;
  static constexpr int32_t kWallBody = 1024;
  static constexpr int32_t kFloor = 1025;
  static constexpr int32_t kRoomSegment = 1026;
};
