// The worktop list (".\settings\info\worktops.txt") and the covering of a worktop run by its widths:
// the first byte gives how many of the following 4-byte floats are widths, the next float is the
// run's length, and the rest is the list's text (no catalogue is open, so no line adds an entry). The
// covering ends, in a bounded number of pieces, and every piece names a width of the list and is
// no longer than the run.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "elements/units/WorktopTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t given = std::min<size_t>(data[0] & 31, (size - 1) / 4);
  std::vector<float> widths(given);
  if (given != 0) std::memcpy(widths.data(), data + 1, given * 4);
  size_t used = 1 + given * 4;
  float length = 0.0f;
  if (size - used >= 4) {
    std::memcpy(&length, data + used, 4);
    used += 4;
  }
  WorktopTable::ReadText(std::string(reinterpret_cast<const char*>(data + used), size - used));
  if (!WorktopTable::Entries().empty()) __builtin_trap();
  const std::vector<WorktopTable::Cut> cuts = WorktopTable::Cover(widths, length);
  if (cuts.size() > WorktopTable::kMostPieces) __builtin_trap();
  for (const WorktopTable::Cut& cut : cuts) {
    if (cut.entry >= widths.size()) __builtin_trap();
    if (!(cut.length > 0.0f) || cut.length > length) __builtin_trap();
  }
  WorktopTable::Clear();
  return 0;
}
