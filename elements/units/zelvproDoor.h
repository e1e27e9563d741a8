// A door of the room: a parametric element that stands in a wall as a child of the wall's segment.
// Its "Height" and "Width" are properties after the top-view element's; arrow keys slide it along
// its wall through the door task; it measures its width on the plan. Documents of an older form
// (width 0) are converted when read. User-interface thread only.
#pragma once

#include <vector>

#include "elements/base/PlanAnnotation.h"
#include "elements/units/zelvproParametricElement.h"

class zelvproDoor : public zelvproParametricElement {
 public:
  static constexpr int32_t kType = 5;
  // The catalogue record an older document's door without a record takes (its stored "ID").
  static constexpr int32_t kFallbackStoredId = 90000;

  zelvproDoor(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
              zelvproShapeFil& shapes);
  zelvproDoor(ppView* parent, ppDatafile& module, bool refresh);

  // Whole millimetres; the anchors follow as their stretch flags say.
  void SetWidth(int32_t millimetres);
  void SetHeight(int32_t millimetres);

  // The keyboard nudge: d = dx + dy pixels along the wall, driven through the door task as a drag.
  void MoveBy(int32_t dx, int32_t dy) override;
  // A click first selects the door's configurator (command 204).
  bool IsDoubleClick(int32_t x, int32_t y) override;
  ppTask* CreateMoverTask(qxViewHolder* selection, zelvproCanvas* canvas, void* feedbackSource) override;
  ppTask* CreateDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas) override;
  bool HasCatalogEntry(int32_t /*id*/) override { return true; }
  // The "Door" tab: the unit's name and the fields of the stretching sizes.
  void BuildInfoPanel(qxViewHolder* source) override;
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;
  // The width dimension (kind 2): measured from the door's position along its width.
  void CollectDimensionLines(std::vector<PlanAnnotation>& list) override;
  // Called by the wall drag task; nothing to do.
  void WallDragged(intptr_t /*value*/) {}

  // "Height", "Width" (and, for windows, "AboveFloor") after the top-view element's properties.
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  ppParameter GetValue(int32_t index) override;
  void SetValue(int32_t index, const ppParameter& value) override;

  uint8_t carried = 0;  // the document's "colorCode"; kept, not read
  // The unit the wall piece task last snapped this door to when that unit was of kind 2; not owned,
  // not stored, not read by the program.
  zelvproElement* wallLink = nullptr;

 protected:
  virtual int32_t OwnPropertyCount() const { return 2; }
  // Own property 2 ("AboveFloor"), for the windows.
  virtual void SetAboveFloor(float /*millimetres*/) {}

 private:
  void ConvertOlderDocument(ppDatafile& module);
  void TakeFallbackRecord();
  void MarkChanged();
};
