#include "elements/units/zelvproRoomWindow.h"

#include "catalogue/records/RecordField.h"
#include "foundation/ppDouble.h"
#include "database/ppDatafile.h"
#include "elements/units/WallOpeningPanel.h"
#include "platform/ResetList.h"

namespace {

// The height above the floor of the next new window, millimetres; user-interface thread only.
float gWindowHeightAboveFloor = 1000.0f;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("window height above floor", [] { gWindowHeightAboveFloor = 1000.0f; });

}  // namespace

float& zelvproRoomWindow::DefaultHeightAboveFloor() { return gWindowHeightAboveFloor; }

zelvproRoomWindow::zelvproRoomWindow(int32_t recordId, ppView* parent, const plat::RECT& frame,
                                     const char* record, zelvproShapeFil& shapes)
    : zelvproDoor(recordId, parent, frame, record, shapes) {
  kind = kType;
  heightAboveFloor = position.y = DefaultHeightAboveFloor();
}

zelvproRoomWindow::zelvproRoomWindow(ppView* parent, ppDatafile& module, bool refresh)
    : zelvproDoor(parent, module, refresh) {
  kind = kType;
  heightAboveFloor = position.y =
      float(RecordField(module, "heightAboveFloor").Long(module.GetRecordBuffer()));
}

void zelvproRoomWindow::InvalidateGeometry() {
  if (heightAboveFloor != position.y) position.y = heightAboveFloor;
  zelvproDoor::InvalidateGeometry();
}

void zelvproRoomWindow::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproDoor::WriteRecord(record, renumber, parentNumber);
  char* r = record.GetRecordBuffer();
  RecordField(record, "type").SetLong(r, kind);
  // Whole millimetres in the document; the element keeps the fraction.
  RecordField(record, "heightAboveFloor").SetLong(r, TruncateToInt32(position.y));
}

void zelvproRoomWindow::BuildInfoPanel(qxViewHolder* /*source*/) {
  WallOpeningPanel::Build(*this, WallOpeningPanel::kWindow);
}

void zelvproRoomWindow::SetAboveFloor(float millimetres) {
  heightAboveFloor = position.y = millimetres;
  AboveFloorDefault() = millimetres;
  changed = 1;
  MarkTreePendingUpdate();
}
