// Grid placement of parts inside a container: the boxes parts take in the container's three cell maps
// (panels, inset parts, all other parts), the cell predicates the map searches use, the dispatcher
// that turns a drop point into a cell, and the eleven rules, one per placement mode, that slide the
// cell to a legal place and say whether the part may stand there.
//
// Cells count from 0: column x left to right, row y upward, layer z. A box covers x to x + w - 1 (and
// so on); W, H and D are the container's grid size, w, h and d the part's.
#include <algorithm>

#include "elements/grid/PosSheetGrid.h"
#include "elements/topview/zelvproTopViewElement.h"

namespace {

// A rectangle of cells and the part it stands for (the predicates' argument).
struct CellRect {
  const zelvproTopViewElement* owner;
  int32_t x, y, z, w, h, d;
};

CellRect RectOf(const GridDrop& drop) { return {drop.part, drop.x, drop.y, drop.z, drop.w, drop.h, drop.d}; }

int32_t ModeOf(const PosSheetCell& cell) { return cell.owner != nullptr ? cell.owner->positioning : 0; }

// ---- The cell predicates (argument: the part, a mode or a rectangle).
bool CellOwnedBy(const PosSheetCell& cell, void* part) { return cell.owner == part; }
bool CellNotOwnedBy(const PosSheetCell& cell, void* part) { return cell.owner != part; }
bool CellOwnerModeIs(const PosSheetCell& cell, void* mode) {
  return ModeOf(cell) == *static_cast<int32_t*>(mode);
}
bool IsRisingOrStacked(int32_t mode) { return mode == 4 || mode == 5; }
bool CellOwnerRisingOrStacked(const PosSheetCell& cell, void* /*unused*/) {
  return IsRisingOrStacked(ModeOf(cell));
}
bool CellOfOtherRisingOrStacked(const PosSheetCell& cell, void* part) {
  return cell.owner != part && IsRisingOrStacked(ModeOf(cell));
}
// The box's columns (rows) are not all inside the rectangle's. Sums in 64 bits: boxes of loaded
// parts carry whatever the document held.
int64_t End(int32_t from, int32_t extent) { return int64_t(from) + extent; }
bool ColumnsOutside(const PosSheetCell& c, const CellRect& r) {
  return c.x < r.x || End(c.x, c.w) > End(r.x, r.w);
}
bool RowsOutside(const PosSheetCell& c, const CellRect& r) {
  return c.y < r.y || End(c.y, c.h) > End(r.y, r.h);
}
// A horizontal panel whose row lies above the rectangle's bottom, up to and with its top row.
bool RowCrosses(const PosSheetCell& c, const CellRect& r) { return r.y < c.y && c.y <= End(r.y, r.h); }

bool CellCrossesPanelOf(const PosSheetCell& cell, void* rect) {
  const CellRect& r = *static_cast<CellRect*>(rect);
  if (cell.owner == r.owner) return false;
  const int32_t mode = ModeOf(cell);
  if (mode == 1) return ColumnsOutside(cell, r) && RowCrosses(cell, r);
  return mode == 2 && RowsOutside(cell, r) && r.x < cell.x && cell.x < End(r.x, r.w);
}

bool CellCrossesPartOf(const PosSheetCell& cell, void* rect) {
  const CellRect& r = *static_cast<CellRect*>(rect);
  const int32_t mode = ModeOf(cell);
  return cell.owner != r.owner && (mode == 3 || mode == 4 || mode == 5 || mode == 7) &&
         ColumnsOutside(cell, r) && RowCrosses(cell, r);
}

// The first box of `map` (may be null) overlapping the rectangle and passing the predicate.
const PosSheetCell* Overlapping(const PosSheetGrid* map, const CellRect& r, PosSheetGrid::Filter filter,
                                const void* user) {
  return map == nullptr
             ? nullptr
             : map->FindCellOverlapping(r.x, r.y, r.z, r.w, r.h, r.d, filter, const_cast<void*>(user));
}

// The rules step cell by cell, so sizes from damaged catalogue data (a grid of two billion rows,
// negative extents) would hang or overflow them; such a grid or part is refused.
constexpr int32_t kMaxCells = 0xFFFF;
bool SaneSize(int32_t n) { return n >= 0 && n <= kMaxCells; }

// `cell` held to 0 .. size - extent (at least 0), in 64 bits.
int32_t ClampCell(int32_t cell, int32_t size, int32_t extent) {
  return int32_t(std::max<int64_t>(std::min<int64_t>(cell, int64_t(size) - extent), 0));
}

const PosSheetCell* At(const PosSheetGrid* map, int32_t c, int32_t r, int32_t z, PosSheetGrid::Filter filter,
                       const void* user) {
  return map == nullptr ? nullptr : map->FindCellAt(c, r, z, filter, const_cast<void*>(user));
}

}  // namespace

// ---- Boxes.

int32_t zelvproTopViewElement::BoxKindOf(uint32_t flagWord) {
  if ((flagWord & kPanel) != 0) return kPanelBox;
  return (flagWord & kInsetPart) != 0 ? kInsetBox : kBlockBox;
}

PosSheetGrid* zelvproTopViewElement::MapOfKind(int32_t kind) const {
  if (kind == kInsetBox) return gridY.get();
  return kind == kBlockBox ? gridZ.get() : gridX.get();
}

void zelvproTopViewElement::RegisterInGrid(zelvproTopViewElement* container) {
  if (container == nullptr) return;
  container->RegisterCell(this, cellX, cellY, cellZ, gridWidth, gridHeight, gridDepth, BoxKindOf(flags));
}

void zelvproTopViewElement::UnregisterFromGrid(zelvproTopViewElement* part) {
  if (part != nullptr) UnregisterCell(part, BoxKindOf(part->flags));
}

void zelvproTopViewElement::RegisterCell(zelvproTopViewElement* part, int32_t x, int32_t y, int32_t z,
                                         int32_t w, int32_t h, int32_t d, int32_t kind) {
  if (PosSheetGrid* map = MapOfKind(kind)) map->SetOwnedCell(part, part->GetSaveId(), x, y, z, w, h, d);
}

void zelvproTopViewElement::UnregisterCell(zelvproTopViewElement* part, int32_t kind) {
  if (PosSheetGrid* map = MapOfKind(kind)) map->RemoveOwnedCell(part);
}

zelvproTopViewElement* zelvproTopViewElement::GridContainer() const {
  return dynamic_cast<zelvproTopViewElement*>(ContainerElement());
}

void zelvproTopViewElement::LeaveContainerGrid() {
  // While the container itself is being deleted it is no top-view element any more, and its maps
  // are gone with it.
  if (zelvproTopViewElement* container = GridContainer()) container->UnregisterFromGrid(this);
}

// ---- The dispatcher.

bool zelvproTopViewElement::PlaceInGrid(int32_t& x, int32_t& y, int32_t& z, int32_t w, int32_t h, int32_t d,
                                        ppVector3& point, zelvproElement* part, int32_t flag) {
  if (gridX == nullptr) return false;
  // The sheet's conversion subtracts its offset once, so the drop point is taken as it is.
  ppVector3 local = point;
  WorldToLocal(local);
  gridX->PlanToGrid(local, &x, &y, &z);
  x = ClampCell(x, gridWidth, w);
  y = ClampCell(y, gridHeight, h);
  z = ClampCell(z, gridDepth, d);
  GridDrop drop{x, y, z, w, h, d, point, dynamic_cast<zelvproTopViewElement*>(part), flag};
  const bool sane = SaneSize(gridWidth) && SaneSize(gridHeight) && SaneSize(gridDepth) && SaneSize(w) &&
                    SaneSize(h) && SaneSize(d);
  bool placed = false;
  // The rule of each placement mode, by mode; modes 0 and 12 on have none.
  using Rule = bool (zelvproTopViewElement::*)(GridDrop&);
  static constexpr Rule kRules[] = {nullptr,
                                    &zelvproTopViewElement::PlaceHorizontalPanel,
                                    &zelvproTopViewElement::PlaceVerticalPanel,
                                    &zelvproTopViewElement::PlaceInCompartment,
                                    &zelvproTopViewElement::PlaceRisingToPanel,
                                    &zelvproTopViewElement::PlaceBetweenVerticalPanels,
                                    &zelvproTopViewElement::PlaceFirstAtOrigin,
                                    &zelvproTopViewElement::PlaceOnPanelNearSide,
                                    &zelvproTopViewElement::PlaceBelowHorizontalPanel,
                                    &zelvproTopViewElement::PlaceSecondAtOrigin,
                                    &zelvproTopViewElement::PlaceAnywhere,
                                    &zelvproTopViewElement::PlaceOnPanelBelowPanel};
  const int32_t mode = drop.part != nullptr ? drop.part->positioning : 0;
  if (sane && mode >= 1 && mode <= 11) placed = (this->*kRules[mode])(drop);
  x = drop.x, y = drop.y, z = drop.z;
  point = gridX->GridToPlan(x, y, z);
  LocalToWorld(point);
  return placed;
}

zelvproTopViewElement* zelvproTopViewElement::FindCellOwner(int32_t column, int32_t row, int32_t layer,
                                                            int32_t mode) {
  for (const PosSheetGrid* map : {gridX.get(), gridY.get(), gridZ.get()}) {
    if (const PosSheetCell* cell = At(map, column, row, layer, CellOwnerModeIs, &mode)) return cell->owner;
  }
  return nullptr;
}

const PosSheetCell* zelvproTopViewElement::PanelAt(int32_t mode, int32_t c, int32_t r,
                                                   const GridDrop& drop) const {
  return At(gridX.get(), c, r, drop.z, CellOwnerModeIs, &mode);
}

// ---- The rules.

bool zelvproTopViewElement::HorizontalPanelFits(const GridDrop& drop) const {
  const CellRect r = RectOf(drop);
  int32_t vertical = 2;
  const PosSheetCell* beside = Overlapping(gridX.get(), r, CellOwnerModeIs, &vertical);
  if (beside != nullptr && beside->x != drop.x) return false;
  const PosSheetCell* stacked = Overlapping(gridY.get(), r, CellOfOtherRisingOrStacked, drop.part);
  if (stacked != nullptr && drop.x != stacked->x + stacked->w) return false;
  if (drop.x > 0 && PanelAt(2, drop.x, drop.y, drop) == nullptr) return false;
  return drop.x + drop.w == gridWidth || PanelAt(2, drop.x + drop.w, drop.y, drop) != nullptr;
}

bool zelvproTopViewElement::PlaceHorizontalPanel(GridDrop& drop) {
  if (drop.y == 0) drop.y = 1;
  while (drop.x > 0 && PanelAt(2, drop.x, drop.y, drop) == nullptr) --drop.x;
  int32_t horizontal = 1;
  if (Overlapping(gridX.get(), RectOf(drop), CellOwnerModeIs, &horizontal) != nullptr) return false;
  return HorizontalPanelFits(drop);
}

bool zelvproTopViewElement::PlaceBelowHorizontalPanel(GridDrop& drop) {
  // At the right edge the probe column stays inside the grid.
  const int32_t probe = std::max(std::min(drop.x + 1, gridWidth - 1), 0);
  const PosSheetCell* found = PanelAt(1, probe, drop.y, drop);
  if (drop.y > 0) {
    while (drop.y < gridHeight && found == nullptr) found = PanelAt(1, probe, ++drop.y, drop);
  }
  --drop.y;
  while (drop.x > 0 && PanelAt(2, drop.x, drop.y, drop) == nullptr) --drop.x;
  if (!HorizontalPanelFits(drop)) return false;
  return !(drop.y < 0 && drop.h > 1);
}

bool zelvproTopViewElement::PlaceVerticalPanel(GridDrop& drop) {
  if (drop.x == 0) drop.x = 1;
  while (drop.y > 0 && PanelAt(1, drop.x, drop.y, drop) == nullptr) --drop.y;
  const CellRect r = RectOf(drop);
  int32_t horizontal = 1;
  const PosSheetCell* across = Overlapping(gridX.get(), r, CellOwnerModeIs, &horizontal);
  if (across != nullptr && across->y != drop.y) return false;
  const PosSheetCell* stacked = Overlapping(gridY.get(), r, CellOfOtherRisingOrStacked, drop.part);
  if (stacked != nullptr && drop.y != stacked->y + stacked->h) return false;
  if (drop.y > 0 && PanelAt(1, drop.x, drop.y, drop) == nullptr) return false;
  return drop.y + drop.h == gridHeight || PanelAt(1, drop.x, drop.y + drop.h, drop) != nullptr;
}

bool zelvproTopViewElement::PlaceInCompartment(GridDrop& drop) {
  while (drop.x > 0 && PanelAt(2, drop.x, drop.y, drop) == nullptr) --drop.x;
  while (drop.y > 0 && PanelAt(1, drop.x, drop.y, drop) == nullptr) --drop.y;
  CellRect r = RectOf(drop);
  if (Overlapping(gridY.get(), r, CellNotOwnedBy, drop.part) != nullptr) return false;
  const CellRect inner{drop.part, drop.x + 1, drop.y + 1, drop.z, drop.w - 1, drop.h - 1, drop.d};
  if (Overlapping(gridY.get(), inner, CellCrossesPanelOf, &r) != nullptr) return false;
  const int32_t x = drop.x, y = drop.y, right = drop.x + drop.w, top = drop.y + drop.h;
  auto panels = [&](int32_t mode, int32_t c1, int32_t r1, int32_t c2, int32_t r2) {
    return PanelAt(mode, c1, r1, drop) != nullptr && PanelAt(mode, c2, r2, drop) != nullptr;
  };
  if (x > 0 && !panels(2, x, y + 1, x, top - 1)) return false;
  if (y > 0 && !panels(1, x + 1, y, right - 1, y)) return false;
  if (right != gridWidth && !panels(2, right, y + 1, right, top - 1)) return false;
  return top == gridHeight || panels(1, x + 1, top, right - 1, top);
}

void zelvproTopViewElement::SlideToNearSide(GridDrop& drop) const {
  if (drop.x < gridWidth / 2) {
    while (drop.x > 0 && PanelAt(2, drop.x, drop.y, drop) == nullptr) --drop.x;
  } else {
    while (drop.x < gridWidth - drop.w - 1 && PanelAt(2, drop.x, drop.y, drop) == nullptr) ++drop.x;
  }
}

bool zelvproTopViewElement::NearSidePanelsFit(const GridDrop& drop) const {
  const int32_t right = drop.x + drop.w, top = drop.y + drop.h;
  if (drop.x > 0 && PanelAt(2, drop.x, drop.y + 1, drop) != nullptr) return false;
  if (right != gridWidth && PanelAt(2, right, drop.y + 1, drop) != nullptr) return false;
  if (drop.y > 0 && PanelAt(1, drop.x + 1, drop.y, drop) == nullptr) return false;
  return top == gridHeight || PanelAt(1, drop.x + 1, top, drop) != nullptr;
}

bool zelvproTopViewElement::PlaceOnPanelNearSide(GridDrop& drop) {
  SlideToNearSide(drop);
  while (drop.y > 0 && PanelAt(1, drop.x, drop.y, drop) == nullptr) --drop.y;
  CellRect r = RectOf(drop);
  if (Overlapping(gridY.get(), r, CellOwnedBy, drop.part) != nullptr) return false;
  if (Overlapping(gridY.get(), r, CellCrossesPartOf, &r) != nullptr) return false;
  return NearSidePanelsFit(drop);
}

bool zelvproTopViewElement::PlaceOnPanelBelowPanel(GridDrop& drop) {
  SlideToNearSide(drop);
  const PosSheetCell* found = PanelAt(1, drop.x, drop.y, drop);
  while (drop.y > 0 && found == nullptr) found = PanelAt(1, drop.x, --drop.y, drop);
  if (found != nullptr && found->y + 1 <= drop.y && drop.y < found->y + found->h)
    drop.y = std::max(found->y - 1, 0);
  CellRect r = RectOf(drop);
  if (Overlapping(gridY.get(), r, CellOwnedBy, drop.part) != nullptr) return false;
  if (Overlapping(gridY.get(), r, CellCrossesPanelOf, &r) != nullptr) return false;
  return NearSidePanelsFit(drop);
}

bool zelvproTopViewElement::RisingPartFits(GridDrop& drop) const {
  if (At(gridY.get(), drop.x + 1, drop.y + 1, drop.z, CellNotOwnedBy, drop.part) != nullptr)
    drop.y -= drop.h - 1;
  drop.y = std::max(drop.y, 0);
  if (Overlapping(gridY.get(), RectOf(drop), CellNotOwnedBy, drop.part) != nullptr) return false;
  const CellRect inner{drop.part, drop.x + 1, drop.y + 1, drop.z, drop.w - 1, drop.h - 1, drop.d};
  return Overlapping(gridX.get(), inner, CellNotOwnedBy, drop.part) == nullptr;
}

bool zelvproTopViewElement::RisingPartBetweenPanels(const GridDrop& drop) const {
  if (drop.x > 0 && PanelAt(2, drop.x, drop.y, drop) == nullptr) return false;
  return drop.x + drop.w == gridWidth || PanelAt(2, drop.x + drop.w, drop.y, drop) != nullptr;
}

bool zelvproTopViewElement::PlaceRisingToPanel(GridDrop& drop) {
  while (drop.x > 0 && PanelAt(2, drop.x, drop.y, drop) == nullptr) --drop.x;
  auto stopsHere = [&] {
    const int32_t c = drop.x + 1, r = drop.y + drop.h;
    return PanelAt(1, c, r, drop) != nullptr ||
           At(gridY.get(), c, r, drop.z, CellOwnerRisingOrStacked, nullptr) != nullptr;
  };
  while (drop.y + drop.h < gridHeight && !stopsHere()) ++drop.y;
  drop.y = std::min(drop.y, gridHeight - drop.h);
  return RisingPartFits(drop) && RisingPartBetweenPanels(drop);
}

bool zelvproTopViewElement::PlaceBetweenVerticalPanels(GridDrop& drop) {
  while (drop.x > 0 && PanelAt(2, drop.x, drop.y, drop) == nullptr) --drop.x;
  if (!RisingPartFits(drop)) return false;
  const CellRect inside{drop.part, drop.x + 1, drop.y, drop.z, drop.w - 1, drop.h - 1, drop.d};
  int32_t vertical = 2;
  if (Overlapping(gridX.get(), inside, CellOwnerModeIs, &vertical) != nullptr) return false;
  return RisingPartBetweenPanels(drop);
}

bool zelvproTopViewElement::PlaceAnywhere(GridDrop& drop) {
  drop.y = std::max(drop.y, 0);
  drop.x = std::max(drop.x, 0);
  return true;
}

bool zelvproTopViewElement::PlaceFirstAtOrigin(GridDrop& drop) {
  drop.x = drop.y = 0;
  return At(gridZ.get(), 0, 0, drop.z, nullptr, nullptr) == nullptr;
}

bool zelvproTopViewElement::PlaceSecondAtOrigin(GridDrop& drop) {
  drop.x = drop.y = 0;
  int32_t first = 6, second = 9;
  return At(gridZ.get(), 0, 0, drop.z, CellOwnerModeIs, &first) != nullptr &&
         At(gridZ.get(), 0, 0, drop.z, CellOwnerModeIs, &second) == nullptr;
}
