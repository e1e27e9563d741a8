#include "elements/topview/qxFeature.h"

qxFeature::qxFeature(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                     zelvproShapeFil& shapes)
    : zelvproTopViewElement(recordId, parent, frame, record, shapes) {}

qxFeature::qxFeature(ppView* parent, ppDatafile& module, bool refresh)
    : zelvproTopViewElement(parent, module, refresh) {}

void qxFeature::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproTopViewElement::WriteRecord(record, renumber, parentNumber);
}
