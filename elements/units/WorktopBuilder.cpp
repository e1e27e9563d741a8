#include "elements/units/WorktopBuilder.h"

#include <cmath>
#include <numbers>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/ppDatafile.h"
#include "catalogue/records/RecordField.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/base/ElementGeometryCache.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/topview/CatalogReads.h"
#include "elements/units/WorktopTable.h"
#include "elements/units/zelvproParametricElement.h"
#include "elements/units/zelvproWorkTopElement.h"
#include "foundation/ppMatrix4.h"

namespace {

// The unit file's "flags" bit of a part that is a worktop.
constexpr int32_t kWorktopPartFlag = 0x4000;
// Colour codes from here down name no colour group.
constexpr int32_t kNoGroupCode = -1000;

// The process's builder; it has no state of its own.
WorktopBuilder gWorktopBuilder;

std::vector<zelvproElement*> ChildElements(const ppView& view) {
  std::vector<zelvproElement*> children;
  const ppViewList& list = view.Subviews();
  for (int32_t i = 0; i < list.Count(); ++i) children.push_back(static_cast<zelvproElement*>(list.At(i)));
  return children;
}

std::vector<zelvproWorkTopElement*> RunsOf(const ppView& canvas) {
  std::vector<zelvproWorkTopElement*> runs;
  for (zelvproElement* child : ChildElements(canvas)) {
    if (child->kind != zelvproWorkTopElement::kType) continue;
    if (auto* run = dynamic_cast<zelvproWorkTopElement*>(child)) runs.push_back(run);
  }
  return runs;
}

// The unit's angle comes from the document and may be any float: whole turns go at once (a turn at a
// time never ends from about 1.3e8 radians on), into [0, 2 pi].
float InFullTurn(float angle) {
  if (!std::isfinite(angle)) return 0.0f;
  if (angle >= 0.0f && angle <= 2.0f * std::numbers::pi_v<float>) return angle;
  constexpr double kTurn = 2.0 * std::numbers::pi;
  const double reduced = std::fmod(double{angle}, kTurn);
  return float(reduced < 0.0 ? reduced + kTurn : reduced);
}

// The direction in the plan (x/z) of the x axis of `m`, as element angles turn (about minus y).
float DirectionOf(const ppMatrix4& m) {
  ppVector3 origin, axis;
  m.TransformPoint(origin, ppVector3(0, 0, 0));
  m.TransformPoint(axis, ppVector3(1, 0, 0));
  return std::atan2(-(axis.z - origin.z), axis.x - origin.x);
}

int32_t ColourRecordOfCode(zelvproElement& unit, int32_t code) {
  if (code < kNoGroupCode) return 0;
  int32_t group = code / 1000;
  if (group == 0) group = -1;
  return group == -1 ? unit.colorRecordId : unit.GetColorRecordId(group);
}

bool IsWorktopPart(zelvDatabase& db, int32_t unitId) {
  return (CatalogReads::LongOf(db.UnitFile(), unitId, "flags") & kWorktopPartFlag) != 0;
}

// A run made from one worktop part of `unit`; null when there is no worktop record.
zelvproWorkTopElement* RunOfPart(zelvproElement& unit, ElementGeometryCache::Part part) {
  zelvproWorkTopElement* run = zelvproWorkTopElement::NewWorktopElement(nullptr);
  if (run == nullptr) return nullptr;
  const int32_t code = part.colourA;
  run->ApplyColorRecord(ColourRecordOfCode(unit, code), unit.database, 1);
  run->directionAngle = InFullTurn(DirectionOf(part.matrix) + unit.GetAbsoluteAngle());
  run->texture = unit.GetTextureByCode(code);
  run->kitchenGroup = unit.GetValueByName("EnumGroup").ToInt();
  ppBounds3 box;
  unit.CachedObject()->GetPartBounds(box, unit, part, 0, 0);
  // A part without geometry gives a run of no size rather than one still without length.
  run->dimensions = box.IsEmpty() ? ppVector3(0, 0, 0) : box.half * 2.0f;
  ppVector3 origin;
  part.matrix.TransformPoint(origin, ppVector3(0, 0, 0));
  run->SetPosition(origin);
  return run;
}

std::vector<zelvproWorkTopElement*> RunsOfUnit(zelvproElement& unit) {
  std::vector<zelvproWorkTopElement*> runs;
  if (unit.CachedObject() == nullptr) unit.RebuildGeometry();
  ElementGeometryCache* cache = unit.CachedObject();
  if (cache == nullptr) return runs;
  for (const ElementGeometryCache::Part& part : unit.Parts()) {
    const TripleWithSet* record = cache->RecordAt(part.layer);
    if (record == nullptr || record->database == nullptr) continue;
    if (!IsWorktopPart(*record->database, record->unitId)) continue;
    if (zelvproWorkTopElement* run = RunOfPart(unit, part)) runs.push_back(run);
  }
  return runs;
}

// A piece of table entry `entry` sized `size`, a child of `canvas`, coloured like `run`.
void MakePiece(const WorktopInfo& entry, const zelvproWorkTopElement& run, const ppVector3& size,
               ppView& canvas) {
  zelvproTopViewFil& file = entry.db->TopViewFile();
  ScopedRecordBuffer<ppDatafile> record(file);
  if (!CatalogReads::Read(file, entry.recordId, record.Get())) return;
  auto* piece =
      new zelvproParametricElement(entry.recordId, &canvas, plat::RECT{}, record.Get(), file.ShapeFile());
  const int32_t index = piece->IndexOfColorRecord(run.colorRecordId, entry.db) + 1;
  piece->ApplyColorRecord(run.colorRecordId, entry.db, WorktopBuilder::MaskOfColourIndex(index));
  piece->dimensions = size;
  piece->InvalidateTree();
  qxViewHolder::SetExclusionChain(new qxViewHolder(piece, qxViewHolder::ExclusionChain(), true));
}

}  // namespace

void WorktopBuilder::InstallDefault() { iWorktopBuilder::Install(&gWorktopBuilder); }

void WorktopBuilder::RemoveGeneratedElements(zelvproCanvas& canvas) {
  RemoveGeneratedPieces();
  RemoveWorktopRuns(canvas);
}

zelvproElement* WorktopBuilder::NewWorktop() { return zelvproWorkTopElement::NewWorktopElement(nullptr); }

zelvproElement* WorktopBuilder::BuildWorktopsOfUnit(zelvproElement& unit, zelvproElement* run) {
  auto* current = dynamic_cast<zelvproWorkTopElement*>(run);
  ppView* canvas = unit.GetCanvas();
  if (current == nullptr || canvas == nullptr) return run;
  return CombineRuns(current, RunsOfUnit(unit), *canvas);
}

zelvproWorkTopElement* WorktopBuilder::CombineRuns(zelvproWorkTopElement* current,
                                                   std::vector<zelvproWorkTopElement*> made, ppView& canvas) {
  if (made.empty()) return current;
  for (size_t i = 2; i < made.size(); ++i) delete made[i];
  const bool unstarted = current->dimensions.x == zelvproWorkTopElement::kNoLength;
  // `into` takes `from`'s length; `from` goes.
  auto join = [](zelvproWorkTopElement* into, zelvproWorkTopElement* from) {
    into->dimensions.x += from->dimensions.x;
    delete from;
  };
  if (made.size() == 1) {
    zelvproWorkTopElement* r = made[0];
    if (unstarted) {
      delete current;
      return r;
    }
    if (zelvproWorkTopElement::RunsJoin(*current, *r)) {
      join(current, r);
      return current;
    }
    canvas.AddSubview(current);
    return r;
  }
  zelvproWorkTopElement *r0 = made[0], *r1 = made[1];
  if (unstarted) {
    delete current;
    canvas.AddSubview(r1);
    return r0;
  }
  if (zelvproWorkTopElement::RunsJoin(*current, *r1)) {
    join(current, r1);
    canvas.AddSubview(current);
    return r0;
  }
  if (zelvproWorkTopElement::RunsJoin(*current, *r0)) {
    join(current, r0);
    canvas.AddSubview(current);
    return r1;
  }
  canvas.AddSubview(current);
  canvas.AddSubview(r1);
  return r0;
}

void WorktopBuilder::RemoveWorktopRuns(ppView& canvas) {
  for (zelvproElement* child : ChildElements(canvas)) {
    if (child->kind != zelvproWorkTopElement::kType) continue;
    child->DetachFromSupervisor();
    delete child;
  }
}

void WorktopBuilder::RemoveGeneratedPieces() {
  qxViewHolder* chain = qxViewHolder::ExclusionChain();
  qxViewHolder::SetExclusionChain(nullptr);
  for (qxViewHolder* h = chain; h != nullptr; h = h->Next()) {
    zelvproElement* piece = h->Element();
    // The piece's destructor takes its calculation lines with it.
    piece->DetachFromSupervisor();
    delete piece;
  }
  delete chain;
}

bool WorktopBuilder::IsGeneratedPiece(const zelvproElement* element) {
  return qxViewHolder::IsExcluded(element);
}

void WorktopBuilder::GenerateWorktopPieces(ppView& canvas) {
  RemoveGeneratedPieces();
  const std::vector<WorktopInfo>& table = WorktopTable::Entries();
  std::vector<float> widths;
  for (const WorktopInfo& entry : table) widths.push_back(entry.size.x);
  for (zelvproWorkTopElement* run : RunsOf(canvas)) {
    for (const WorktopTable::Cut& cut : WorktopTable::Cover(widths, run->dimensions.x)) {
      const ppVector3 size(cut.length, run->dimensions.y, run->dimensions.z);
      MakePiece(table[cut.entry], *run, size, canvas);
    }
  }
}

int32_t WorktopBuilder::MaskOfColourIndex(int32_t index) {
  return index < 1 || index > 32 ? 1 : int32_t(1u << (index - 1));
}
