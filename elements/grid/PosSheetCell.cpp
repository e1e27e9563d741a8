#include "elements/grid/PosSheetCell.h"

namespace {

// Half-open ranges [a, a + n) and [b, b + m) in 64 bits, so large boxes cannot overflow.
bool Within(int32_t v, int32_t a, int32_t n) { return a <= v && int64_t(v) < int64_t(a) + n; }
bool Meet(int32_t a, int32_t n, int32_t b, int32_t m) {
  return int64_t(a) < int64_t(b) + m && int64_t(b) < int64_t(a) + n;
}

}  // namespace

PosSheetCell::~PosSheetCell() {
  std::unique_ptr<PosSheetCell> rest = std::move(next);
  while (rest != nullptr) rest = std::move(rest->next);
}

bool PosSheetCell::Contains(int32_t cx, int32_t cy, int32_t cz) const {
  return Within(cx, x, w) && Within(cy, y, h) && Within(cz, z, d);
}

bool PosSheetCell::Overlaps(int32_t ox, int32_t oy, int32_t oz, int32_t ow, int32_t oh, int32_t od) const {
  return Meet(ox, ow, x, w) && Meet(oy, oh, y, h) && Meet(oz, od, z, d);
}
