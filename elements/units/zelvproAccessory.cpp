#include "elements/units/zelvproAccessory.h"

#include <algorithm>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/zelvproCanvas.h"
#include "foundation/Geometry2D.h"
#include "foundation/ppMatrix4.h"

namespace {

// The box of an element's outlines in its own frame (millimetres: x, and z as y); false without
// outline points.
bool OutlineBox(zelvproElement& element, ppVector2& low, ppVector2& high) {
  bool any = false;
  element.ForEachOutline([&](Handle points) {
    for (const ppVector2& p : PointListToVector(points)) {
      low = any ? ppVector2(std::min(low.x, p.x), std::min(low.y, p.y)) : p;
      high = any ? ppVector2(std::max(high.x, p.x), std::max(high.y, p.y)) : p;
      any = true;
    }
  });
  return any;
}

// Where, along one axis, an origin puts the span [low, high] (relative to it) inside [from, to]:
// `wanted` when it already lies inside, else the nearest origin that does; centred when it cannot.
float KeptInside(float wanted, float low, float high, float from, float to) {
  const float least = from - low, most = to - high;
  if (least > most) return (least + most) / 2.0f;
  return std::clamp(wanted, least, most);
}

}  // namespace

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

void zelvproAccessory::PlaceIn(zelvproElement& host, const ppVector3* planPoint) {
  ppVector3 hostAt;
  host.GetAbsolutePosition(hostAt);
  // The host's frame turns about the vertical only: the height relative to it is a difference.
  ppVector3 at(0.0f, HeightAboveFloor() - hostAt.y, 0.0f);
  ppVector2 low, high;
  if (!OutlineBox(*this, low, high)) low = ppVector2(), high = ppVector2(dimensions.x, dimensions.z);
  if (planPoint != nullptr) {
    ppMatrix4 world;
    host.BuildWorldMatrix(world);
    ppVector3 local;
    world.Inverse().TransformPoint(local, *planPoint);
    at.x = local.x - (low.x + high.x) / 2.0f;
    at.z = local.z - (low.y + high.y) / 2.0f;
  }
  ppVector2 hostLow, hostHigh;
  if (OutlineBox(host, hostLow, hostHigh)) {
    at.x = KeptInside(at.x, low.x, high.x, hostLow.x, hostHigh.x);
    at.z = KeptInside(at.z, low.y, high.y, hostLow.y, hostHigh.y);
  }
  StoreAngle(0.0f);
  SetPosition(at);
  anchor = ppVector3();
}
