// Colour groups of a top-view element: the mask of the groups it uses, applying one colour record to
// it and its children, its main colour, and the colour a group allows.
#include <algorithm>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproPreferences.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/iElementHost.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/zelvproTopViewElement.h"

namespace {

constexpr size_t kShape3DEntry = 64, kShape3DGroup = 56, kParametricEntry = 48, kParametricGroup = 44;

uint32_t GroupBit(int32_t group) { return group >= 1 && group <= 32 ? uint32_t{1} << (group - 1) : 0; }

// The colour-group bits of a unit's 3D shapes (only the 64-byte entries carry a group; with
// `needShape` only entries that name a shape count) and, with `parametrics`, of its parametric parts.
uint32_t UnitGroupBits(const ScratchRecord& unit, bool shapes, bool needShape, bool parametrics) {
  uint32_t bits = 0;
  const int32_t use = unit.Long("useParametrics");
  if (shapes && (use & zelvproUnitFil::kLongShapeEntries) != 0) {
    const std::vector<uint8_t> entries = unit.Blob("shapes3D");
    for (size_t at = 0; at + kShape3DEntry <= entries.size(); at += kShape3DEntry) {
      if (!needShape || CatalogReads::WordAt(entries, at / 4) != 0)
        bits |= GroupBit(CatalogReads::WordAt(entries, (at + kShape3DGroup) / 4));
    }
  }
  if (parametrics && (use & zelvproUnitFil::kLongParametricEntries) != 0) {
    const std::vector<uint8_t> entries = unit.Blob("parametrics");
    for (size_t at = 0; at + kParametricEntry <= entries.size(); at += kParametricEntry)
      bits |= GroupBit(CatalogReads::WordAt(entries, (at + kParametricGroup) / 4));
  }
  return bits;
}

int32_t SettingsLong(zelvDatabase& db, const char* name) {
  zelvproPreferences& settings = db.SettingsFile();
  if (settings.GetRecordCount() == 0) return 0;
  return ScratchRecord(settings, settings.RecordIdAt(0)).Long(name);
}

bool Contains(const std::vector<int32_t>& list, int32_t id) {
  return std::find(list.begin(), list.end(), id) != list.end();
}

}  // namespace

uint32_t zelvproTopViewElement::CollectBitMask(bool withChildren) {
  if (database == nullptr || CatalogReads::ColourCodeCount(*database) == 0) return 0;
  uint32_t mask = colourMask;
  if (mask == 0) {
    if (unitRecordId == 0) return 0;
    const ScratchRecord unit(database->UnitFile(), unitRecordId);
    const int32_t use = unit.Long("useParametrics");
    if ((use & zelvproUnitFil::kLongShapeEntries) == 0) {
      if (extraA != 0 && !noColourCode) mask = GroupBit(extraA);
    } else {
      mask = UnitGroupBits(unit, true, false, false);
    }
    mask |= UnitGroupBits(unit, false, false, true);
    for (const TopViewOption& option : options) {
      if (option.chosenUnit != 0)
        mask |= UnitGroupBits(ScratchRecord(database->UnitFile(), option.chosenUnit), true, true, true);
    }
    // Only the element's own groups are kept: the children's change without this element knowing.
    colourMask = mask;
  }
  if (!withChildren) return mask;
  const bool lockedOnly = (SettingsLong(*database, "useExtendedColorSystem") & 0x2) != 0;
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    auto* child = static_cast<zelvproElement*>(children.At(i));
    auto* part = dynamic_cast<zelvproTopViewElement*>(child);
    if (!lockedOnly || (part != nullptr && part->interiorLocked)) mask |= child->CollectBitMask(true);
  }
  return mask;
}

void zelvproTopViewElement::ApplyColorRecord(int32_t id, zelvDatabase* owner, int32_t mask) {
  if (id == 0) return;
  if (database != owner || owner == nullptr) {
    zelvproElement::ApplyColorRecord(id, owner, mask);
    return;
  }
  const int32_t n = int32_t(colours.size());
  const uint32_t used = CollectBitMask(false) & uint32_t(mask);
  if (n == 0) {
    zelvproElement::ApplyColorRecord(id, owner, mask);
    MarkTreeNeedsRedraw();
    return;
  }
  for (int32_t i = 0; i < n && i < 32; ++i) {
    if ((used & (uint32_t{1} << i)) == 0) continue;
    const int32_t old = colours[size_t(i)];
    int32_t r = ValidateColor(id, i + 1);
    if (r != id) r = ValidateColor(old, i + 1);
    int32_t& entry = colours[size_t(i)];
    entry = ValidateColor(r, i + 1);
    if (entry == 0) entry = DefaultColourOfGroup(i + 1);
    const std::vector<int32_t> allowed = CatalogReads::GroupColours(*owner, i + 1);
    if (!allowed.empty() && !Contains(allowed, entry)) entry = old;
    owner->SetLastGroupColor(i + 1, entry);
  }
  colorRecordId = GetColorRecordIdClamped(extraA);
  Invalidate();
  const ppViewList& children = Subviews();
  for (int32_t c = 0; c < children.Count(); ++c) {
    auto* child = static_cast<zelvproElement*>(children.At(c));
    const uint32_t childMask = child->CollectBitMask(false) & uint32_t(mask);
    for (int32_t j = 0; childMask != 0 && j < n && j < 32; ++j) {
      if ((childMask & (uint32_t{1} << j)) == 0 || child->ValidateColorRecord(id, j + 1) == 0) continue;
      child->ApplyColorRecord(id, owner, int32_t(childMask));
      if (j + 1 == extraA) continue;
      colours[size_t(j)] = child->GetColorRecordIdClamped(j + 1);
      owner->SetLastGroupColor(j + 1, colours[size_t(j)]);
    }
  }
  MarkTreeNeedsRedraw();
}

void zelvproTopViewElement::SetColorRecordId(int32_t id) {
  const size_t own = size_t(extraA - 1);
  if (own < colours.size()) colours[own] = id;
  colorRecordId = id;
  MarkTreeNeedsRedraw();
  InvalidateElement(iElementHost::Current().ScenePane(), true);
}

int32_t zelvproTopViewElement::GetColorRecordId(int32_t index) {
  if (colours.empty()) return colorRecordId;
  return index >= 1 && size_t(index) <= colours.size() ? colours[size_t(index - 1)] : 0;
}

int32_t zelvproTopViewElement::GetColorRecordIdClamped(int32_t index) {
  return GetColorRecordId(std::max(index, 1));
}

int32_t zelvproTopViewElement::ValidateColor(int32_t id, int32_t group) {
  if (database == nullptr || (CollectBitMask(false) & GroupBit(group)) == 0) return id;
  const std::vector<int32_t> allowed = CatalogReads::GroupColours(*database, group);
  if (Contains(allowed, id)) return id;
  if (allowed.empty()) return DefaultColourOfGroup(group);
  auto* container = dynamic_cast<zelvproTopViewElement*>(ContainerElement());
  if ((flags & kInGridCell) != 0 && container != nullptr) {
    const int32_t theirs = container->GetColorRecordId(group);
    if (Contains(allowed, theirs)) return theirs;
  }
  const int32_t fallback = DefaultColourOfGroup(group);
  return Contains(allowed, fallback) ? fallback : allowed.front();
}

int32_t zelvproTopViewElement::DefaultColourOfGroup(int32_t group) {
  return database != nullptr ? CatalogReads::DefaultColourOfCode(*database, group - 1) : 0;
}

void zelvproTopViewElement::MergeColorChoices(std::vector<int32_t>& list) {
  const int32_t unitFlags =
      database != nullptr ? CatalogReads::LongOf(database->UnitFile(), unitRecordId, "flags") : 0;
  if ((unitFlags & 0x4) == 0) {
    const uint32_t mask = CollectBitMask(true);
    for (size_t i = 0; i < colours.size() && i < list.size() && i < 32; ++i) {
      if ((mask & (uint32_t{1} << i)) == 0) continue;
      int32_t& v = list[i];
      if (v == 0)
        v = colours[i];
      else if (v > 0 && v != colours[i])
        v = -1;
    }
  }
  if (!ChildMerge() || (auxWordC & 0x2) != 0) return;
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* part = dynamic_cast<zelvproTopViewElement*>(children.At(i))) part->MergeColorChoices(list);
  }
}
