#include "elements/units/zelvproAccessory.h"

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/zelvproCanvas.h"

zelvproAccessory::zelvproAccessory(int32_t recordId, ppView* parent, const plat::RECT& frame,
                                   const char* record, zelvproShapeFil& shapes)
    : zelvproTopViewElement(recordId, parent, frame, record, shapes) {
  colorRecordId = 0;
  kind = ElementKinds::kAccessory;
}

zelvproAccessory::zelvproAccessory(ppView* parent, ppDatafile& module, bool refresh)
    : zelvproTopViewElement(parent, module, refresh) {
  linkedRecord = 0;
  kind = ElementKinds::kAccessory;
}

void zelvproAccessory::InvalidateGeometry() {
  zelvproTopViewElement::InvalidateGeometry();
  if (unitRecordId == 0) unitRecordId = ResolveAccessId();
  if (zelvproElement* host = ContainerElement()) {
    tag = host->tag;
    auto* unit = dynamic_cast<zelvproTopViewElement*>(host);
    linkedRecord = unit != nullptr ? unit->linkedRecord : host->LinkedRecord();
  }
  if (zelvproCanvas* canvas = GetCanvas()) canvas->ScheduleUpdate();
}

void zelvproAccessory::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproTopViewElement::WriteRecord(record, renumber, parentNumber);
  RecordField(record, "type").SetLong(record.GetRecordBuffer(), ElementKinds::kAccessory);
}

bool zelvproAccessory::DiffersFromRecord(zelvproElement* other) {
  // An element that keeps its own calculation line never shares one.
  if (SeparateLine()) return true;
  if (other == nullptr) return true;
  if (other->ResolveAccessId() != ResolveAccessId()) return true;
  return other->auxWordA != auxWordA || other->auxAmountB != auxAmountB;
}
