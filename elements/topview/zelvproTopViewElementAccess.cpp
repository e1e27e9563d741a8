// Access requests of a top-view element and the re-application of its unit: when a snapped
// neighbour or the user picks another unit of the top-view record's "Units", the interior parts and
// attached items are made again from the new unit, and its depth, top-view record and colours are
// applied again.
#include <algorithm>
#include <cstring>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproPosSheetFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/HandleList.h"
#include "database/ScopedRecordBuffer.h"
#include "database/ppDatafile.h"
#include "elements/base/iElementHost.h"
#include "elements/grid/PosSheetGrid.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/TopViewRecord.h"
#include "elements/topview/zelvproTopViewElement.h"

namespace {

constexpr size_t kSubUnitEntry = 28, kSubItemEntry = 32;
// Flag words: a unit that keeps the element's parts, a unit with depth variants, a unit fixed to
// its current access id, an element that takes its neighbour's depth, a wall-depth step part.
constexpr uint32_t kUnitKeepsParts = 0x20, kUnitHasDepthVariants = 0x2, kFixedUnit = 0x8000,
                   kTakesNeighbourDepth = 0x20, kPanelPart = 0x1000, kFullDepthPart = 0x400000,
                   kReplacesAttachedItems = 0x2000000, kDropsItself = 0x10000000;
constexpr int32_t k3DView = 2024;

float FloatAt(const std::vector<uint8_t>& bytes, size_t offset) {
  float value = 0.0f;
  if (offset + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

// True when a child made from top-view record `id` would be this element or one of its containers
// again: it would make the same parts without end.
bool MakesItself(zelvproElement* element, int32_t id) {
  for (zelvproElement* e = element; e != nullptr; e = e->ContainerElement()) {
    if (e->recordId == id && e->database == element->database) return true;
  }
  return false;
}

// Calls fn for each top-view child, last first, over a copy of the child list: fn may delete the
// child, and a re-snap may reorder the list. A child that has left the list meanwhile is skipped.
template <typename Fn>
void ForEachChildBackwards(zelvproElement& element, Fn fn) {
  std::vector<zelvproTopViewElement*> children;
  for (int32_t i = 0; i < element.Subviews().Count(); ++i) {
    if (auto* child = dynamic_cast<zelvproTopViewElement*>(element.Subviews().At(i)))
      children.push_back(child);
  }
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    if (element.IndexOfSubview(*it) >= 0) fn(*it);
  }
}

ppVector3 FirstSnapPoint(const zelvproElement& element) {
  SnapAnchor anchor;
  return element.GetPointEntry(0, anchor) ? anchor.point : ppVector3();
}

}  // namespace

// ---- Access requests.

void zelvproTopViewElement::PushAccessRequest(int32_t key, int32_t level, uint32_t /*anchorFlags*/,
                                              zelvproElement* neighbour) {
  HoldAccessRequest(key, level);
  if ((flags & kTakesNeighbourDepth) != 0 && neighbour != nullptr) SetLinkedRecord(neighbour->LinkedRecord());
  const int32_t resolved = ResolveAccessId();
  if ((resolved != 0 && resolved != unitRecordId) || !AppliedBefore()) ApplyAccessId(resolved, false);
  InvalidateTree();
}

void zelvproTopViewElement::PopAccessRequest(int32_t key, int32_t level) {
  ReleaseAccessRequest(key, level);
  const int32_t resolved = ResolveAccessId();
  if (resolved != 0 && resolved != unitRecordId) ApplyAccessId(resolved, false);
  InvalidateTree();
  if (iElementHost::Current().CurrentViewId() != k3DView) Invalidate();
}

int32_t zelvproTopViewElement::ResolveAccessId() {
  return (flags & kFixedUnit) != 0 ? unitRecordId : zelvproElement::ResolveAccessId();
}

ppVector3 zelvproTopViewElement::GetAccessOffset(int32_t a, int32_t b, int32_t c, ppVector3& point) {
  if (gridX != nullptr) point = point + gridX->GridToPlan(a, b, c);
  return point;
}

// ---- Re-application.

bool zelvproTopViewElement::AppliedBefore() const {
  // A loaded element has its parts from the document: making them again would double them.
  return applied != 0 || loadedFromDocument != 0;
}

void zelvproTopViewElement::ApplyAccessId(int32_t unitId, bool withSnaps) {
  if (recordId == 0 || database == nullptr) return;
  const std::vector<int32_t> units = ScratchRecord(database->TopViewFile(), recordId).Words("Units");
  if (units.size() < 2) return;
  bool listed = false;
  for (size_t i = 0; i + 1 < units.size(); i += 2) listed = listed || (unitId != 0 && units[i] == unitId);
  unitRecordId = listed ? unitId : units[0];
  SetLinkedRecord(linkedRecord);
  const ScratchRecord unit(database->UnitFile(), unitRecordId);
  const bool keepsParts = (uint32_t(unit.Long("flags")) & kUnitKeepsParts) != 0;
  if (!keepsParts) ReleaseInteriorParts();
  // The owned auxiliary object of the catalogue has no behaviour yet; nothing to make again.
  if (!(keepsParts && AppliedBefore())) MakeInteriorParts(unit.Blob("subUnits"));
  ForEachChildBackwards(*this, [&](zelvproTopViewElement* child) {
    if (child->interiorLocked) child->SetLinkedRecord(linkedRecord);
  });
  int32_t topView = recordId;
  if (unitRecordId != 0) {
    topView = TopViewForDepth(unitRecordId, linkedRecord, false);
    ApplyTopViewRecord(topView, withSnaps);
  }
  MakeAttachedItems(topView);
  CheckSubUnits(false);
  const std::vector<int32_t> chosen = colours;
  for (size_t i = 0; i < chosen.size() && i < 32; ++i)
    ApplyColorRecord(chosen[i], database, int32_t(uint32_t{1} << i));
  applied = 1;
  configurationChanged = 1;
  InvalidateTree();
}

void zelvproTopViewElement::ReleaseInteriorParts() {
  // The cell maps are emptied rather than deleted: the parts made next are placed through them.
  if ((flags & kHasGrid) != 0) {
    for (auto* grid : {gridX.get(), gridY.get(), gridZ.get()})
      if (grid != nullptr) grid->DeleteCells();
  }
  ForEachChildBackwards(*this, [](zelvproTopViewElement* child) {
    if (child->interiorLocked)
      delete child;
    else
      child->Resnap();
  });
}

void zelvproTopViewElement::MakeInteriorParts(const Bytes& subUnits) {
  for (size_t at = 0; at + kSubUnitEntry <= subUnits.size(); at += kSubUnitEntry) {
    const int32_t id = CatalogReads::WordAt(subUnits, at / 4);
    if (id == 0 || MakesItself(this, id)) continue;
    auto* part =
        dynamic_cast<zelvproTopViewElement*>(database->TopViewFile().CreateElement(id, GetFrame(), this));
    if (part == nullptr) continue;
    const int32_t x = CatalogReads::WordAt(subUnits, at / 4 + 1),
                  y = CatalogReads::WordAt(subUnits, at / 4 + 2);
    const int32_t entryFlags = CatalogReads::WordAt(subUnits, at / 4 + 6);
    ppVector3 point;
    GetAccessOffset(x, y, 0, point);
    point = point + FirstSnapPoint(*part);
    part->SetPosition(point);
    part->cellX = x, part->cellY = y;
    part->interiorLocked = true;
    if ((entryFlags & kKeepSubItemFlags) != 0) part->subItemFlags = entryFlags;
    part->Resnap();
    part->SetLinkedRecord(linkedRecord);
    if ((part->flags & kInsetPart) != 0) {
      point.z += GetDepth();
      part->SetPosition(point);
    }
    part->InvalidateTree();
    part->applied = 1;
  }
}

void zelvproTopViewElement::MakeAttachedItems(int32_t topViewId) {
  const ScratchRecord record(database->TopViewFile(), topViewId);
  const Bytes items = record.Blob("subItems");
  if (items.empty() && (uint32_t(record.Long("flags")) & kReplacesAttachedItems) == 0) return;
  ForEachChildBackwards(*this, [](zelvproTopViewElement* child) {
    if (child->createdByParent) delete child;
  });
  for (size_t at = 0; at + kSubItemEntry <= items.size(); at += kSubItemEntry) {
    const int32_t id = CatalogReads::WordAt(items, at / 4);
    if (id == 0 || MakesItself(this, id)) continue;
    zelvproElement* child = database->TopViewFile().CreateElement(id, GetFrame(), this);
    if (child == nullptr) continue;
    child->SetPosition(ppVector3(FloatAt(items, at + 8), FloatAt(items, at + 12), FloatAt(items, at + 16)));
    child->SetAngle(FloatAt(items, at + 24));
    child->ApplyColorRecord(GetColorRecordId(child->extraA), database, -1);
    auto* part = dynamic_cast<zelvproTopViewElement*>(child);
    if (part != nullptr) {
      part->createdByParent = true;
      const int32_t itemFlags = CatalogReads::WordAt(items, at / 4 + 1);
      if ((itemFlags & kKeepSubItemFlags) != 0) part->subItemFlags = itemFlags;
    }
    child->InvalidateTree();
  }
}

int32_t zelvproTopViewElement::TopViewForDepth(int32_t unitId, int32_t depthId, bool force) {
  if (unitId == 0 || database == nullptr) return 0;
  const ScratchRecord unit(database->UnitFile(), unitId);
  const int32_t topView = unit.Long("topView");
  if ((uint32_t(unit.Long("flags")) & kUnitHasDepthVariants) == 0 || !(topView == 0 || force) || depthId == 0)
    return topView;
  const std::vector<int32_t> pairs = unit.Words("depthUnits");
  for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
    if (pairs[i] != depthId) continue;
    const int32_t other = CatalogReads::LongOf(database->UnitFile(), pairs[i + 1], "topView");
    return other != 0 ? other : topView;
  }
  return topView;
}

void zelvproTopViewElement::ApplyTopViewRecord(int32_t topViewId, bool withSnaps) {
  if (topViewId == 0 || database == nullptr) return;
  zelvproTopViewFil& topViews = database->TopViewFile();
  ScopedRecordBuffer<ppDatafile> buffer(topViews);
  if (!CatalogReads::Read(topViews, topViewId, buffer.Get())) return;
  const TopViewRecord t(topViews, buffer.Get());
  if (withSnaps && !t.snappoints.empty()) {
    ElementList self = {this};
    ReleaseOutsideSnaps(self);
    AssignSnapBytes(t.snappoints);
    ResnapList(self);
  }
  if (!t.dropItems.empty() || (flags & kDropsItself) != 0) dropItemWord = topViewId;
  if (!t.subelements.empty()) {
    outlinePieces = t.subelements;
    outlines = AppendPieceShapes(outlinePieces, nullptr);
  }
  if (MemGetSize(RecordField(topViews, "Colors").Data(buffer.Get())) == 0) return;
  colourSourceWord = TopViewForDepth(unitRecordId, linkedRecord, true);
  if (colours.empty()) {
    colorRecordId = ValidateColorRecord(colorRecordId, 0);
    return;
  }
  for (size_t i = 0; i < colours.size(); ++i) colours[i] = ValidateColorRecord(colours[i], int32_t(i + 1));
  colorRecordId = GetColorRecordIdClamped(extraA);
}

// ---- Depth.

void zelvproTopViewElement::SetLinkedRecord(int32_t id) {
  // A depth the current unit does not offer becomes its first one; a unit without a list takes any.
  if (id != 0 && database != nullptr && unitRecordId != 0) {
    const std::vector<int32_t> offered = ScratchRecord(database->UnitFile(), unitRecordId).Words("depths");
    if (!offered.empty() && std::find(offered.begin(), offered.end(), id) == offered.end()) id = offered[0];
  }
  linkedRecord = id;
  if (id == 0 || database == nullptr) {
    InvalidateTree();
    PropagateToChildren();
    return;
  }
  const ScratchRecord depth(database->DepthFile(), id);
  if (depth.Present()) dimensions.z = float(depth.Double("depth"));
  for (size_t i = 0; i < colours.size(); ++i) colours[i] = ValidateColorRecord(colours[i], int32_t(i + 1));
  auto* container = dynamic_cast<zelvproTopViewElement*>(ContainerElement());
  if (container == nullptr) return;
  if ((container->flags & kHasGrid) != 0) FollowGridContainer(*container);
  PropagateToChildren();
}

void zelvproTopViewElement::FollowGridContainer(zelvproTopViewElement& container) {
  // The container's position sheet gives the full-depth cut and the cut of one depth step.
  if (container.gridX != nullptr) {
    zelvproPosSheetFil& sheets = database->PosSheetFile();
    ScopedRecordBuffer<ppDatafile> buffer(sheets);
    const bool sheet = CatalogReads::Read(sheets, container.gridX->sheetId, buffer.Get());
    if (sheet && (flags & kInGridCell) != 0 && (flags & kPanelPart) != 0) {
      if (IsInsideCompartmentPart() && (flags & kFullDepthPart) != 0)
        dimensions.z -= float(sheets.FullDepthCut(buffer.Get()));
      else if (stepCount > 0)
        dimensions.z -= float(stepCount * sheets.StepDepthCut(buffer.Get()));
    } else if (sheet && (flags & kInsetPart) != 0) {
      ppVector3 point = FirstSnapPoint(*this);
      container.GetAccessOffset(cellX, cellY, cellZ, point);
      point.z += container.GetDepth();
      SetPosition(point);
    }
  }
  InvalidateTree();
}

void zelvproTopViewElement::SelectDepthChoices(ppDatafile& depths, bool withChildren) {
  Handle selection = depths.GetSelection();
  HandleList::Reset(selection);
  std::vector<zelvproTopViewElement*> pending = {this};
  while (!pending.empty()) {
    zelvproTopViewElement* element = pending.back();
    pending.pop_back();
    if ((uint32_t(element->auxWordC) & 0x2) == 0 && element->unitRecordId != 0 &&
        element->database != nullptr) {
      for (int32_t id : ScratchRecord(element->database->UnitFile(), element->unitRecordId).Words("depths"))
        if (id != 0 && HandleList::IndexOf(selection, id) < 0) HandleList::Insert(selection, id);
    }
    if (!withChildren) continue;
    ForEachChildBackwards(*element, [&](zelvproTopViewElement* child) { pending.push_back(child); });
  }
}

void zelvproTopViewElement::PropagateLinkedRecord() {
  SetLinkedRecord(linkedRecord);
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* part = dynamic_cast<zelvproTopViewElement*>(children.At(i)))
      part->PropagateLinkedRecord();
    else if (auto* child = dynamic_cast<zelvproElement*>(children.At(i)))
      child->SetLinkedRecord(child->LinkedRecord());
  }
  if (iElementHost::Current().CurrentViewId() == k3DView) InvalidateGeometry();
}
