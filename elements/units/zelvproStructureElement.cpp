#include "elements/units/zelvproStructureElement.h"

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"
#include "elements/units/WallOpeningPanel.h"
#include "platform/ResetList.h"

namespace {

// The height above the floor of the next new structure element, millimetres; user-interface
// thread only.
float gStructureHeightAboveFloor = 100.0f;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("structure height above floor", [] { gStructureHeightAboveFloor = 100.0f; });

}  // namespace

float& zelvproStructureElement::DefaultHeightAboveFloor() { return gStructureHeightAboveFloor; }

zelvproStructureElement::zelvproStructureElement(int32_t recordId, ppView* parent, const plat::RECT& frame,
                                                 const char* record, zelvproShapeFil& shapes)
    : zelvproRoomWindow(recordId, parent, frame, record, shapes) {
  kind = kType;
  // The position takes it at the first geometry invalidation.
  heightAboveFloor = DefaultHeightAboveFloor();
}

zelvproStructureElement::zelvproStructureElement(ppView* parent, ppDatafile& module, bool refresh)
    : zelvproRoomWindow(parent, module, refresh) {
  kind = kType;
}

void zelvproStructureElement::BuildInfoPanel(qxViewHolder* /*source*/) {
  WallOpeningPanel::Build(*this, WallOpeningPanel::kStructure);
}

void zelvproStructureElement::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproRoomWindow::WriteRecord(record, renumber, parentNumber);
  RecordField(record, "type").SetLong(record.GetRecordBuffer(), kind);
}
