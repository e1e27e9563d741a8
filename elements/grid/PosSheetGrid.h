// The positioning sheet an element is placed on: the sheet record (offsets and raster steps in
// millimetres), the element's own cell on it, and the boxes of cells that are taken, newest first.
// Converts between cell numbers and plan millimetres. Reading the sheet record uses the sheet file's
// shared record buffer.
#pragma once

#include <cstdint>
#include <memory>

#include "elements/grid/PosSheetCell.h"
#include "foundation/ppVector3.h"

class zelvproPosSheetFil;
class zelvproTopViewElement;

class PosSheetGrid {
 public:
  // Answers whether `cell` may be found; `user` is the caller's.
  using Filter = bool (*)(const PosSheetCell& cell, void* user);

  // `file` is not owned and must outlive the grid.
  PosSheetGrid(int32_t sheetId, int32_t cellX, int32_t cellY, int32_t cellZ, zelvproPosSheetFil& file);

  // The first box (newest first) that contains the cell and passes the filter (when given).
  PosSheetCell* FindCellAt(int32_t cx, int32_t cy, int32_t cz, Filter filter = nullptr,
                           void* user = nullptr) const;
  // The first box that shares a cell with the box given and passes the filter (when given).
  PosSheetCell* FindCellOverlapping(int32_t bx, int32_t by, int32_t bz, int32_t bw, int32_t bh, int32_t bd,
                                    Filter filter = nullptr, void* user = nullptr) const;
  // Gives the box under `id` the new extent, adding it at the head when there is none.
  void SetCell(int32_t id, int32_t bx, int32_t by, int32_t bz, int32_t bw, int32_t bh, int32_t bd);
  // Unlinks and deletes the first box under `id`; nothing when there is none.
  void RemoveCell(int32_t id);
  // The same keyed by the element that takes the box: one box per owner, stored under `id`.
  void SetOwnedCell(zelvproTopViewElement* owner, int32_t id, int32_t bx, int32_t by, int32_t bz, int32_t bw,
                    int32_t bh, int32_t bd);
  void RemoveOwnedCell(const zelvproTopViewElement* owner);
  void DeleteCells() { cells.reset(); }

  // Millimetres of cell (i, j, k): cell times raster plus offset per axis, z never above 0.0. A sheet
  // id of 0 or a missing sheet record gives (0, 0, 0).
  ppVector3 GridToPlan(int32_t i, int32_t j, int32_t k) const;
  // The sheet record's flags; 0 when it is missing.
  uint32_t SheetFlags() const;
  // The inverse of GridToPlan: per axis (coordinate - GridToPlan(0, 0, 0)) / raster truncated toward
  // zero; an axis with a raster of 0 gives cell 0. Always true.
  bool PlanToGrid(const ppVector3& point, int32_t* i, int32_t* j, int32_t* k) const;

  std::unique_ptr<PosSheetCell> cells;
  int32_t x, y, z;  // the element's own cell
  int32_t sheetId;
  zelvproPosSheetFil* sheetFile;  // not owned; its record buffer is read at each use

 private:
  struct Sheet {
    double offset[3] = {0, 0, 0};
    double raster[3] = {0, 0, 0};
    uint32_t flags = 0;
  };
  // The sheet record's numbers; all 0 when there is no sheet.
  Sheet ReadSheet() const;
};
