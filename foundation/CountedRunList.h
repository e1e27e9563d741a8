// A list of counted runs kept in a handle: each run is a count word k followed by k 32-bit words, and
// a count of 0 ends the list. The list owns its handle and disposes of it when destroyed.
#pragma once

#include <cstdint>

#include "foundation/Vcon_HandleManager.h"

class CountedRunList {
 public:
  // Takes ownership of `runs` (null is an empty list).
  explicit CountedRunList(Handle runs);
  ~CountedRunList();
  CountedRunList(const CountedRunList&) = delete;
  CountedRunList& operator=(const CountedRunList&) = delete;

  // The address of the count word of run `index` (from 0), or null when the list ends before that
  // run: at a count of 0, at the end of the handle's data, or at a run that does not fit in it. The
  // address is valid until the handle moves.
  int32_t* RunAt(int32_t index) const;

  Handle handle() const { return runs_; }

 private:
  Handle runs_;
};
