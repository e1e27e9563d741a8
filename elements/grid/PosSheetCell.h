// One taken box of cells on a positioning sheet: the first cell (x, y, z) and the extent (w, h, d) in
// cells, under the key `id` (usually the id of the element that takes the box). Cells form a singly
// linked list through `next`; deleting a cell deletes its successors (iteratively). A box that an
// element of the plan takes also names that element, whose placement mode the grid rules ask.
#pragma once

#include <cstdint>
#include <memory>

class zelvproTopViewElement;

class PosSheetCell {
 public:
  PosSheetCell() = default;
  ~PosSheetCell();
  PosSheetCell(const PosSheetCell&) = delete;
  PosSheetCell& operator=(const PosSheetCell&) = delete;

  // True when the cell (cx, cy, cz) lies inside the box.
  bool Contains(int32_t cx, int32_t cy, int32_t cz) const;
  // True when the box of cells (ox, oy, oz, ow, oh, od) shares at least one cell with this one.
  bool Overlaps(int32_t ox, int32_t oy, int32_t oz, int32_t ow, int32_t oh, int32_t od) const;

  int32_t x = 0, y = 0, z = 0;
  int32_t w = 0, h = 0, d = 0;
  int32_t id = 0;
  zelvproTopViewElement* owner = nullptr;  // not owned; null for a box no element takes
  std::unique_ptr<PosSheetCell> next;
};
