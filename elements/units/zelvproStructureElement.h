// A fixed part of the room's structure in a wall (a recess, an opening that is no window): a room
// window of its own type with its own default height above the floor (100.0 at start), and without
// a width dimension. User-interface thread only.
#pragma once

#include "elements/units/zelvproRoomWindow.h"

class zelvproStructureElement : public zelvproRoomWindow {
 public:
  static constexpr int32_t kType = 3;

  zelvproStructureElement(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                          zelvproShapeFil& shapes);
  zelvproStructureElement(ppView* parent, ppDatafile& module, bool refresh);

  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;
  void BuildInfoPanel(qxViewHolder* source) override;
  void CollectDimensionLines(std::vector<PlanAnnotation>& /*list*/) override {}

  // The height a new structure element stands at (100.0 at start); apart from the windows'.
  static float& DefaultHeightAboveFloor();

 protected:
  float& AboveFloorDefault() override { return DefaultHeightAboveFloor(); }
};
