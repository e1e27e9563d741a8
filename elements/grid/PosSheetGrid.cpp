#include "elements/grid/PosSheetGrid.h"

#include <cmath>
#include <limits>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproPosSheetFil.h"
#include "catalogue/unit3d/ShapeSource.h"

namespace {

// Truncated toward zero and held to the 32-bit range (a non-number gives 0).
int32_t CellNumber(double v) {
  if (!(v == v)) return 0;
  constexpr double lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::trunc(v < lo ? lo : (v > hi ? hi : v)));
}

}  // namespace

PosSheetGrid::PosSheetGrid(int32_t sheet, int32_t cellX, int32_t cellY, int32_t cellZ,
                           zelvproPosSheetFil& file)
    : x(cellX), y(cellY), z(cellZ), sheetId(sheet), sheetFile(&file) {}

PosSheetCell* PosSheetGrid::FindCellAt(int32_t cx, int32_t cy, int32_t cz, Filter filter, void* user) const {
  for (PosSheetCell* c = cells.get(); c != nullptr; c = c->next.get())
    if (c->Contains(cx, cy, cz) && (filter == nullptr || filter(*c, user))) return c;
  return nullptr;
}

PosSheetCell* PosSheetGrid::FindCellOverlapping(int32_t bx, int32_t by, int32_t bz, int32_t bw, int32_t bh,
                                                int32_t bd, Filter filter, void* user) const {
  for (PosSheetCell* c = cells.get(); c != nullptr; c = c->next.get())
    if (c->Overlaps(bx, by, bz, bw, bh, bd) && (filter == nullptr || filter(*c, user))) return c;
  return nullptr;
}

void PosSheetGrid::SetCell(int32_t id, int32_t bx, int32_t by, int32_t bz, int32_t bw, int32_t bh,
                           int32_t bd) {
  PosSheetCell* c = cells.get();
  while (c != nullptr && c->id != id) c = c->next.get();
  if (c == nullptr) {
    auto fresh = std::make_unique<PosSheetCell>();
    fresh->id = id;
    fresh->next = std::move(cells);
    cells = std::move(fresh);
    c = cells.get();
  }
  c->x = bx, c->y = by, c->z = bz;
  c->w = bw, c->h = bh, c->d = bd;
}

void PosSheetGrid::RemoveCell(int32_t id) {
  std::unique_ptr<PosSheetCell>* link = &cells;
  while (*link != nullptr && (*link)->id != id) link = &(*link)->next;
  if (*link == nullptr) return;
  std::unique_ptr<PosSheetCell> gone = std::move(*link);
  *link = std::move(gone->next);
}

void PosSheetGrid::SetOwnedCell(zelvproTopViewElement* owner, int32_t id, int32_t bx, int32_t by, int32_t bz,
                                int32_t bw, int32_t bh, int32_t bd) {
  PosSheetCell* c = cells.get();
  while (c != nullptr && c->owner != owner) c = c->next.get();
  if (c == nullptr) {
    auto fresh = std::make_unique<PosSheetCell>();
    fresh->owner = owner;
    fresh->next = std::move(cells);
    cells = std::move(fresh);
    c = cells.get();
  }
  c->id = id;
  c->x = bx, c->y = by, c->z = bz;
  c->w = bw, c->h = bh, c->d = bd;
}

void PosSheetGrid::RemoveOwnedCell(const zelvproTopViewElement* owner) {
  std::unique_ptr<PosSheetCell>* link = &cells;
  while (*link != nullptr && (*link)->owner != owner) link = &(*link)->next;
  if (*link == nullptr) return;
  std::unique_ptr<PosSheetCell> gone = std::move(*link);
  *link = std::move(gone->next);
}

PosSheetGrid::Sheet PosSheetGrid::ReadSheet() const {
  Sheet s;
  if (sheetId <= 0 || !ShapeSource::ReadIfPresent(*sheetFile, sheetId)) return s;
  // The buffer as it is now: the file may have replaced it since the grid was made.
  const char* record = sheetFile->GetRecordBuffer();
  const char* names[2][3] = {{"xoffset", "yoffset", "zoffset"}, {"xraster", "yraster", "zraster"}};
  for (int axis = 0; axis < 3; ++axis) {
    s.offset[axis] = RecordField(*sheetFile, names[0][axis]).Double(record);
    s.raster[axis] = RecordField(*sheetFile, names[1][axis]).Double(record);
  }
  s.flags = static_cast<uint32_t>(RecordField(*sheetFile, "flags").Long(record));
  return s;
}

ppVector3 PosSheetGrid::GridToPlan(int32_t i, int32_t j, int32_t k) const {
  const Sheet s = ReadSheet();
  const double zPlan = k * s.raster[2] + s.offset[2];
  return ppVector3(static_cast<float>(i * s.raster[0] + s.offset[0]),
                   static_cast<float>(j * s.raster[1] + s.offset[1]),
                   static_cast<float>(zPlan > 0.0 ? 0.0 : zPlan));
}

uint32_t PosSheetGrid::SheetFlags() const { return ReadSheet().flags; }

bool PosSheetGrid::PlanToGrid(const ppVector3& point, int32_t* i, int32_t* j, int32_t* k) const {
  const Sheet s = ReadSheet();
  const ppVector3 origin = GridToPlan(0, 0, 0);
  const double along[3] = {double(point.x) - origin.x, double(point.y) - origin.y,
                           double(point.z) - origin.z};
  int32_t* out[3] = {i, j, k};
  for (int axis = 0; axis < 3; ++axis)
    *out[axis] = s.raster[axis] == 0.0 ? 0 : CellNumber(along[axis] / s.raster[axis]);
  return true;
}
