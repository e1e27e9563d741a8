// The configuration pass of a top-view element (options brought back to their allowed units, snap
// points that follow the chosen options carrying their linked neighbours along) and the geometry
// rebuild that adds the 3D units of the options at their anchors.
#include <algorithm>
#include <set>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/HandleList.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/ppMatrix4.h"

namespace {

std::vector<int32_t> ListOf(Handle list) {
  std::vector<int32_t> out(list != nullptr ? HandleList::Count(list) : 0);
  for (size_t i = 0; i < out.size(); ++i) out[i] = HandleList::At(list, uint32_t(i));
  return out;
}

void Assign(Handle list, const std::vector<int32_t>& values) {
  HandleList::Reset(list);
  if (!values.empty()) HandleList::Append(list, values.data(), uint32_t(values.size()));
}

bool Contains(const std::vector<int32_t>& list, int32_t value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

// Render flags a unit's class gives the 3D instance of an option: class "flags" bit, instance bit.
constexpr uint32_t kClassToInstance[][2] = {{0x10, 0x1}, {0x2000, 0x40}, {0x200, 0x80}, {0x8000, 0x200}};

// Whether `partner` holds a link back to `element` through an anchor facing `code`.
bool LinkedBack(zelvproElement* partner, const zelvproElement* element, int32_t code) {
  for (const SnapAnchor& anchor : partner->snapPoints) {
    if (anchor.partner == element && anchor.Matches(code)) return true;
  }
  return false;
}

}  // namespace

void zelvproTopViewElement::RunConfigurationPass() {
  if (configurationChanged == 0 || GetCanvas() == nullptr) return;
  CheckOptionsAgainstAllowedUnits();
  MoveLinksOfConfiguredSnaps();
  configurationChanged = 0;
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* part = dynamic_cast<zelvproTopViewElement*>(children.At(i))) part->RunConfigurationPass();
  }
}

void zelvproTopViewElement::CheckOptionsAgainstAllowedUnits() {
  if (database == nullptr || options.empty()) return;
  zelvproUnitFil& units = database->UnitFile();
  const std::vector<int32_t> saved = ListOf(units.GetSelection());
  for (size_t i = 0; i < options.size(); ++i) {
    // Every unit of the group is allowed unless the choice list narrows the selection.
    Assign(units.GetSelection(), options[i].units);
    FillOptionChoices(units, options[i].classId);
    const std::vector<int32_t> allowed = ListOf(units.GetSelection());
    TopViewOption& option = options[i];
    if (Contains(allowed, option.chosenUnit)) continue;
    option.chosenUnit = allowed.empty() ? 0 : allowed.front();
    option.changed = true;
  }
  Assign(units.GetSelection(), saved);
}

ppVector3 zelvproTopViewElement::ChainedAnchorPosition(const TopViewAnchor& anchor) const {
  ppVector3 offset = anchor.position;
  std::set<const TopViewAnchor*> passed{&anchor};
  for (int32_t hook = anchor.hook; hook != 0;) {
    auto found =
        std::find_if(anchors.begin(), anchors.end(), [&](const TopViewAnchor& a) { return a.eye == hook; });
    if (found == anchors.end() || !passed.insert(&*found).second) break;
    offset = offset + found->position;
    hook = found->hook;
  }
  return offset;
}

void zelvproTopViewElement::MoveLinksOfConfiguredSnaps() {
  bool anchorsBuilt = false;
  for (size_t i = 0; i < snapPoints.size(); ++i) {
    if ((snapPoints[i].flags & kFollowsConfiguration) == 0) continue;
    if (!anchorsBuilt) BuildOptionParts(), anchorsBuilt = true;
    const int32_t code = snapPoints[i].code;
    auto anchor =
        std::find_if(anchors.begin(), anchors.end(), [&](const TopViewAnchor& a) { return a.eye == code; });
    if (anchor == anchors.end()) continue;
    const ppVector3 local = ChainedAnchorPosition(*anchor);
    ppVector3 before = snapPoints[i].point, after = local;
    LocalToWorld(before);
    LocalToWorld(after);
    // The entry now stands where its anchor puts it, so a later pass does not move the neighbour again.
    snapPoints[i].point = local;
    const ppVector3 shift = after - before;
    zelvproElement* partner = snapPoints[i].partner;
    if (NearlyEqualVec3(shift, ppVector3(), 0.5) || partner == nullptr || !LinkedBack(partner, this, code))
      continue;
    partner->SetPosition(partner->GetPosition() + shift);
    partner->MarkTreePendingUpdate();
  }
}

void zelvproTopViewElement::RebuildGeometry() {
  zelvproElement::RebuildGeometry();
  BuildOptionParts();
  LayOutOptions();
  if (CachedObject() == nullptr || database == nullptr) return;
  for (const TopViewOption& option : options) {
    if ((option.optionFlags & TopViewOption::kNotInUse) == 0 && option.chosenUnit != 0)
      AppendOptionParts(option);
  }
  RefreshPartColours();
}

void zelvproTopViewElement::AppendOptionParts(const TopViewOption& option) {
  ElementGeometryCache& cache = *CachedObject();
  const int32_t unit = option.chosenUnit;
  const ElementGeometryCache::Key key = HasOwnSize()
                                            ? ElementGeometryCache::Key{-unit, 0, database}
                                            : ElementGeometryCache::Key{unit, GetDepthRecordId(), database};
  if (cache.IndexOf(key) < 0) cache.Append(key, database->UnitFile().GetUnitLayer3D(unit, *this));
  ElementGeometryCache::Part part;
  part.layer = cache.IndexOf(key);
  part.optionNumber = uint32_t(option.optionKey);
  for (const auto& [classBit, instanceBit] : kClassToInstance) {
    if ((option.classFlags & classBit) == 0) continue;
    part.orMask |= instanceBit;
    part.andMask &= ~instanceBit;
  }
  bool anchored = false;
  for (const TopViewAnchor& anchor : anchors) {
    if (anchor.classId != option.optionKey) continue;
    anchored = true;
    ElementGeometryCache::Part placed = part;
    placed.matrix.Translate(ChainedAnchorPosition(anchor));
    ppVector3 up(0.0f, 1.0f, 0.0f);
    if (anchor.rotation != 0.0f) placed.matrix.RotateAxis(-double(anchor.rotation), up);
    AppendPart(std::move(placed));
  }
  if (!anchored) AppendPart(std::move(part));
}
