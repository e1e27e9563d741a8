#include "foundation/CountedRunList.h"

CountedRunList::CountedRunList(Handle runs) : runs_(runs) {}

CountedRunList::~CountedRunList() { MemDispose(runs_); }

int32_t* CountedRunList::RunAt(int32_t index) const {
  if (index < 0) return nullptr;
  const uint32_t words = static_cast<uint32_t>(MemGetSize(runs_)) / sizeof(int32_t);
  int32_t* data = runs_ ? reinterpret_cast<int32_t*>(*runs_) : nullptr;
  uint32_t at = 0;
  for (int32_t run = 0;; ++run) {
    // A list that stops without its closing 0, or a count that is negative or runs past the data,
    // ends the list rather than letting the walk leave the handle.
    if (at >= words || data[at] <= 0 || static_cast<uint32_t>(data[at]) > words - at - 1) return nullptr;
    if (run == index) return data + at;
    at += 1 + static_cast<uint32_t>(data[at]);
  }
}
