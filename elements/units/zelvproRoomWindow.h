// A window of the room: a door-like parametric element that in addition keeps its height above the
// floor (millimetres; the position's y is held equal to it). New windows stand at a process-wide
// default height, which the last "AboveFloor" set on a window replaces. User-interface thread only.
#pragma once

#include "elements/units/zelvproDoor.h"

class zelvproRoomWindow : public zelvproDoor {
 public:
  static constexpr int32_t kType = 6;

  zelvproRoomWindow(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                    zelvproShapeFil& shapes);
  zelvproRoomWindow(ppView* parent, ppDatafile& module, bool refresh);

  // A move that changed the position's y lasts until here.
  void InvalidateGeometry() override;
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;
  // The "Window" tab: the door's rows and the height above the floor.
  void BuildInfoPanel(qxViewHolder* source) override;

  // The height a new window stands at (1000.0 at start).
  static float& DefaultHeightAboveFloor();

  float heightAboveFloor = 0.0f;

 protected:
  int32_t OwnPropertyCount() const override { return 3; }
  void SetAboveFloor(float millimetres) override;
  // The default the "AboveFloor" property replaces.
  virtual float& AboveFloorDefault() { return DefaultHeightAboveFloor(); }
};
