#include "elements/units/zelvproWorkTopElement.h"

#include <cmath>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ppDatafile.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/topview/CatalogReads.h"
#include "elements/units/WallTopViewRecord.h"

zelvproWorkTopElement::zelvproWorkTopElement(int32_t recordId, ppView* parent, const plat::RECT& frame,
                                             const char* record, zelvproShapeFil& shapes)
    : zelvproTopViewElement(recordId, parent, frame, record, shapes) {
  kind = kType;
  dimensions.x = kNoLength;
}

zelvproWorkTopElement* zelvproWorkTopElement::NewWorktopElement(ppView* parent) {
  const WallTopViewRecord::Found found = WallTopViewRecord::Find();
  if (!found) return nullptr;
  zelvproTopViewFil& file = found.db->TopViewFile();
  ScopedRecordBuffer<ppDatafile> record(file);
  if (!CatalogReads::Read(file, found.recordId, record.Get())) return nullptr;
  return new zelvproWorkTopElement(found.recordId, parent, plat::RECT{}, record.Get(), file.ShapeFile());
}

bool zelvproWorkTopElement::RunsJoin(const zelvproWorkTopElement& a, const zelvproWorkTopElement& b) {
  auto near = [](float x, float y) { return std::fabs(x - y) < kJoinTolerance; };
  return a.texture == b.texture && a.kitchenGroup == b.kitchenGroup && near(a.position.y, b.position.y) &&
         near(a.dimensions.y, b.dimensions.y) && near(a.dimensions.z, b.dimensions.z);
}
