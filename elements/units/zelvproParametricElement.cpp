#include "elements/units/zelvproParametricElement.h"

#include <cmath>
#include <cstring>
#include <set>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproPosSheetFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/FileSelection.h"
#include "elements/topview/TopViewRecord.h"
#include "elements/grid/PosSheetGrid.h"
#include "foundation/Geometry2D.h"
#include "foundation/ppDouble.h"
#include "foundation/HandleRoom.h"

namespace {

// One stretched axis: the factor applies only where the reference has a size.
float AxisFactor(float size, float reference) { return reference != 0.0f ? size / reference : 1.0f; }
float AxisOffset(float size, float reference) { return reference != 0.0f ? size - reference : 0.0f; }

uint32_t ReadWord(const uint8_t* bytes) {
  uint32_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

}  // namespace

zelvproParametricElement::zelvproParametricElement(int32_t recordId, ppView* parent, const plat::RECT& frame,
                                                   const char* record, zelvproShapeFil& shapes)
    : zelvproTopViewElement(recordId, parent, frame, record, shapes) {
  kind = kType;
  accessApplied = 0;
  referenceSnaps = snapPoints;
  // The base may already have linked the database's current depth: the reference and the catalogue
  // depth are the catalogue item's own, the current depth is the one in force.
  referenceSize = dimensions;
  if (recordId != 0 && database != nullptr && CatalogReads::Read(database->TopViewFile(), recordId)) {
    const TopViewRecord t(database->TopViewFile(), database->TopViewFile().GetRecordBuffer());
    referenceSize = ppVector3(float(t.width), float(t.height), float(t.depth));
  }
  catalogDepth = referenceSize.z;
  currentDepth = dimensions.z;
}

zelvproParametricElement::zelvproParametricElement(ppView* parent, ppDatafile& module, bool refresh)
    : zelvproTopViewElement(parent, module, refresh) {
  kind = kType;
  const char* r = module.GetRecordBuffer();
  if (Handle blob = RecordField(module, "points").Data(r); blob != nullptr && MemGetSize(blob) > 0)
    DecodeOutlines(reinterpret_cast<const uint8_t*>(*blob), size_t(MemGetSize(blob)), outlines.get());
  if (RecordField(module, "price").Exists())
    price = ppMoney::FromRaw(RecordField(module, "price").MoneyRaw(r));
  if (RecordField(module, "name").Exists()) textA = RecordField(module, "name").Text(r);
  catalogDepth = float(RecordField(module, "orgDepth").Double(r));
  currentDepth = float(RecordField(module, "currDepth").Double(r));
  accessApplied = 1;
  referenceSnaps = snapPoints;
  referenceSize = dimensions;
  if (recordId != 0 && database != nullptr && CatalogReads::Read(database->TopViewFile(), recordId)) {
    const TopViewRecord t(database->TopViewFile(), database->TopViewFile().GetRecordBuffer());
    referenceSize = ppVector3(float(t.width), float(t.height), float(t.depth));
  }
  RefillOutlineCaches();
}

ppVector3 zelvproParametricElement::SizeOffset() const {
  return ppVector3(AxisOffset(dimensions.x, referenceSize.x), AxisOffset(dimensions.y, referenceSize.y),
                   AxisOffset(dimensions.z, referenceSize.z));
}

ppVector3 zelvproParametricElement::SizeFactor() const {
  return ppVector3(AxisFactor(dimensions.x, referenceSize.x), AxisFactor(dimensions.y, referenceSize.y),
                   AxisFactor(dimensions.z, referenceSize.z));
}

Handle zelvproParametricElement::MakeScaledTransform(const zelvproShape& outline) {
  Handle points = outline.ModifiedPoints();
  // The depth coordinate grows with current / catalogue depth while a depth record is linked.
  if (linkedRecord != 0 && (flags & kNoDepthRatio) == 0 && catalogDepth != 0.0f && currentDepth != 0.0f)
    PointListDivideXY(points, 1.0f, catalogDepth / currentDepth);
  const ppVector3 factor = SizeFactor();
  if ((flags & kStretchWidth) != 0) PointListDivideXY(points, 1.0f / factor.x, 1.0f);
  if ((flags & kStretchDepth) != 0) PointListDivideXY(points, 1.0f, 1.0f / factor.z);
  return points;
}

void zelvproParametricElement::RefillOutlineCaches() {
  for (zelvproShape* shape = outlines.get(); shape != nullptr; shape = shape->next.get()) {
    shape->ClearCache();
    shape->cached = MakeScaledTransform(*shape);
  }
}

void zelvproParametricElement::InvalidateGeometry() {
  zelvproTopViewElement::InvalidateGeometry();
  RefillOutlineCaches();
}

void zelvproParametricElement::RefreshSnapEntries() {
  auto rescaled = [](const SnapAnchor& a) { return (a.flags >> 16) != 0 && (a.flags & kRunEnd) == 0; };
  bool any = false;
  for (const SnapAnchor& a : snapPoints) any = any || rescaled(a);
  if (!any || database == nullptr || !CatalogReads::Read(database->TopViewFile(), recordId)) return;
  const TopViewRecord t(database->TopViewFile(), database->TopViewFile().GetRecordBuffer());
  const std::vector<SnapAnchor> catalogue = SnapAnchor::FromBytes(t.snappoints.data(), t.snappoints.size());
  const ppVector3 offset = SizeOffset(), factor = SizeFactor();
  // A record with fewer anchors than the element leaves the rest as they are.
  for (size_t i = 0; i < snapPoints.size() && i < catalogue.size(); ++i) {
    SnapAnchor& a = snapPoints[i];
    if (!rescaled(a)) continue;
    const uint32_t h = a.flags >> 16;
    a.code = catalogue[i].code;
    ppVector3 p = catalogue[i].point;
    if (h & 0x1) p.x += offset.x;
    if (h & 0x2) p.y += offset.y;
    if (h & 0x4) p.z += offset.z;
    if (h & 0x10) p.x *= factor.x;
    if (h & 0x20) p.y *= factor.y;
    if (h & 0x40) p.z *= factor.z;
    a.point = p;
    if (((h & 0x100) && factor.x != 1.0f) || ((h & 0x200) && factor.y != 1.0f) ||
        ((h & 0x400) && factor.z != 1.0f))
      a.code = kDisabledCode;
  }
}

void zelvproParametricElement::Select(bool refresh) {
  zelvproTopViewElement::Select(refresh);
  RefreshSnapEntries();
}

void zelvproParametricElement::AfterMove() {
  zelvproTopViewElement::AfterMove();
  RefreshSnapEntries();
}

void zelvproParametricElement::RunConfigurationPass() {
  zelvproTopViewElement::RunConfigurationPass();
  RefreshSnapEntries();
}

void zelvproParametricElement::AdjustSubElementEntry(ppVector3& p, uint32_t f) const {
  if ((f & 0x777) == 0) return;
  const ppVector3 offset = SizeOffset(), factor = SizeFactor();
  if (f & 0x1) p.x += offset.x;
  if (f & 0x2) p.y += offset.y;
  if (f & 0x4) p.z += offset.z;
  if (f & 0x10) p.x *= factor.x;
  if (f & 0x20) p.y *= factor.y;
  if (f & 0x40) p.z *= factor.z;
}

void zelvproParametricElement::CommitEdits() {
  zelvproTopViewElement::CommitEdits();
  RescaleAnchors();
}

void zelvproParametricElement::ScheduleUpdate() {
  RefillOutlineCaches();
  RescaleAnchors();
  // The write redrew the region the element had; a wider one is drawn only once it is invalid too.
  Invalidate();
}

void zelvproParametricElement::RescaleAnchors() {
  if ((flags & (kStretchWidth | kStretchDepth)) == 0) return;
  const ppVector3 factor = SizeFactor();
  for (size_t i = 0; i < snapPoints.size() && i < referenceSnaps.size(); ++i) {
    const ppVector3& reference = referenceSnaps[i].point;
    ppVector3& p = snapPoints[i].point;
    if (flags & kStretchWidth) p.x = factor.x * reference.x;
    if (flags & kStretchHeight) p.y = factor.y * reference.y;
    if (flags & kStretchDepth) p.z = factor.z * reference.z;
  }
}

float zelvproParametricElement::RunLength() const {
  const zelvproElement* next = nullptr;
  for (const SnapAnchor& a : snapPoints) {
    if (a.partner != nullptr && (a.flags & kRunStart) != 0) {
      next = a.partner;
      break;
    }
  }
  float total = 0.0f;
  // Partner links that lead back to an element of the run end it.
  std::set<const zelvproElement*> visited = {this};
  while (next != nullptr && visited.insert(next).second) {
    const zelvproElement* element = next;
    next = nullptr;
    int32_t start = 0, end = 0;
    for (const SnapAnchor& a : element->snapPoints) {
      if ((a.flags & kRunEnd) == 0) continue;
      if (a.code > 0) start = TruncateToInt32(a.point.x);
      if (a.code < 0) end = TruncateToInt32(a.point.x), next = a.partner;
    }
    total += float(std::fabs(double(end) - double(start)));
  }
  return total;
}

void zelvproParametricElement::PushAccessRequest(int32_t key, int32_t level, uint32_t anchorFlags,
                                                 zelvproElement* neighbour) {
  zelvproTopViewElement::PushAccessRequest(key, level, anchorFlags, neighbour);
  const float total = RunLength();
  if (total <= 0.0f || database == nullptr) return;
  zelvproDepthFil& depths = database->DepthFile();
  const std::vector<int32_t> kept = FileSelection::Get(depths);
  depths.SelectAll();
  const std::vector<int32_t> all = FileSelection::Get(depths);
  FileSelection::Set(depths, kept);
  const RecordField depthField(depths, "depth");
  float best = 0.0f;
  for (int32_t id : all) {
    if (!CatalogReads::Read(depths, id)) continue;
    const float depth = float(depthField.Double(depths.GetRecordBuffer()));
    if (depth - 10.0f < total && depth > best) {
      best = depth;
      SetLinkedRecord(id);
    }
  }
}

void zelvproParametricElement::SetLinkedRecord(int32_t id) {
  // The top-view element may swap the id for a depth the unit offers; the swapped one counts and
  // becomes the depth new elements start with.
  zelvproTopViewElement::SetLinkedRecord(id);
  const int32_t linked = linkedRecord;
  if (database != nullptr) database->SetCurrentDepthId(linked);
  if (linked != 0 && database != nullptr && CatalogReads::Read(database->DepthFile(), linked)) {
    zelvproDepthFil& depths = database->DepthFile();
    currentDepth = float(RecordField(depths, "depth").Double(depths.GetRecordBuffer()));
    if (zelvproTopViewElement* container = GridContainer()) currentDepth -= ContainerDepthCut(*container);
    changed = 1;
    MarkTreePendingUpdate();
  } else if (linked == 0 && (flags & kInGridCell) != 0) {
    // Without a depth record the stretched axes take the enclosing element's size.
    if (auto* container = dynamic_cast<zelvproElement*>(GetSupervisor())) {
      ppVector3 size = dimensions;
      const uint32_t shared = container->flags & flags;
      if (shared & kStretchWidth) size.x = container->dimensions.x;
      if (shared & kStretchHeight) size.y = container->dimensions.y;
      if (shared & kStretchDepth) size.z = container->dimensions.z;
      dimensions = size;
      if ((flags & kInsetPart) != 0) position.z = container->dimensions.z;
      changed = 1;
      MarkTreePendingUpdate();
    }
  }
  for (int32_t i = 0; i < Subviews().Count(); ++i) {
    if (auto* child = dynamic_cast<zelvproElement*>(Subviews().At(i))) child->SetLinkedRecord(id);
  }
}

zelvproTopViewElement* zelvproParametricElement::GridContainer() const {
  for (ppView* view = GetSupervisor(); view != nullptr; view = view->GetSupervisor()) {
    auto* element = dynamic_cast<zelvproTopViewElement*>(view);
    if (element != nullptr && (element->flags & kHasGrid) != 0) return element;
  }
  return nullptr;
}

float zelvproParametricElement::ContainerDepthCut(zelvproTopViewElement& container) {
  if (container.gridX == nullptr || database == nullptr) return 0.0f;
  zelvproPosSheetFil& sheets = database->PosSheetFile();
  ScopedRecordBuffer<ppDatafile> buffer(sheets);
  if (!CatalogReads::Read(sheets, container.gridX->sheetId, buffer.Get())) return 0.0f;
  return DepthCut(container, sheets.FullDepthCut(buffer.Get()), sheets.StepDepthCut(buffer.Get()));
}

float zelvproParametricElement::DepthCut(zelvproTopViewElement& container, double fullCut, double stepCut) {
  const bool panel = (flags & kInGridCell) != 0 && (flags & kPanelPart) != 0;
  const bool inset = (flags & kInsetPart) != 0 && container.linkedRecord != 0;
  if (!panel && !inset) return 0.0f;
  if ((flags & kFullDepthPart) != 0 && IsInsideCompartmentPart()) return float(fullCut);
  return stepCount > 0 ? float(stepCount * stepCut) : 0.0f;
}

void zelvproParametricElement::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproTopViewElement::WriteRecord(record, renumber, parentNumber);
  char* r = record.GetRecordBuffer();
  RecordField(record, "type").SetLong(r, kind);
  if (Handle blob = RecordField(record, "points").Data(r)) {
    const std::vector<uint8_t> bytes = EncodeOutlines(outlines.get());
    MemSetSize(blob, uint32_t(bytes.size()));
    std::memcpy(*blob, bytes.data(), bytes.size());
  }
  RecordField(record, "name").SetText(r, textA);
  RecordField(record, "price").SetMoneyRaw(r, price.Raw());
  RecordField(record, "orgDepth").SetDouble(r, catalogDepth);
  RecordField(record, "currDepth").SetDouble(r, currentDepth);
  int32_t depthId = 0;
  if (linkedRecord != 0 && database != nullptr)
    depthId = CatalogReads::LongOf(database->DepthFile(), linkedRecord, "id");
  RecordField(record, "depthID").SetLong(r, depthId);
}

std::vector<uint8_t> zelvproParametricElement::EncodeOutlines(const zelvproShape* first) {
  std::vector<uint8_t> bytes;
  auto putWord = [&](uint32_t word) {
    const size_t at = bytes.size();
    bytes.resize(at + 4);
    std::memcpy(bytes.data() + at, &word, 4);
  };
  for (const zelvproShape* shape = first; shape != nullptr; shape = shape->next.get()) {
    const uint32_t size = uint32_t(MemGetSize(shape->points));
    putWord(size);
    const size_t at = bytes.size();
    bytes.resize(at + size);
    if (size != 0) std::memcpy(bytes.data() + at, *shape->points, size);
  }
  putWord(0);
  return bytes;
}

int32_t zelvproParametricElement::DecodeOutlines(const uint8_t* bytes, size_t size, zelvproShape* first) {
  int32_t taken = 0;
  size_t at = 0;
  for (zelvproShape* shape = first; shape != nullptr && at + 4 <= size; shape = shape->next.get()) {
    const uint32_t length = ReadWord(bytes + at);
    at += 4;
    // A length the zone cannot hold ends the outlines as a length past the blob does.
    if (length == 0 || length > size - at || length % 8 != 0 || !MemTrySetSize(shape->points, length)) break;
    std::memcpy(*shape->points, bytes + at, length);
    shape->ClearCache();
    at += length;
    ++taken;
  }
  return taken;
}
