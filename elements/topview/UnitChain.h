// The unit a catalogue unit stands for: its "refTo" chain followed to the end.
#pragma once

#include <cstdint>

class ppDatafile;

class UnitChain {
 public:
  // The last unit of `unit`'s "refTo" chain in `units` (a "qxUnit" table); `unit` itself when it names
  // none, 0 for 0. A chain that comes back to a unit already passed ends at the unit before.
  static int32_t End(ppDatafile& units, int32_t unit);
};
