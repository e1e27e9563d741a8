// One cached block of a store: a page (keyed by file position) or a record (keyed by record
// number), linked into its cache bucket's list.
#pragma once

#include <cstdint>

#include "foundation/Vcon_HandleManager.h"

struct dbCacheEntry {
  dbCacheEntry* next = nullptr;
  Handle data = nullptr;  // null when the data was dropped by a trim
  int32_t key = 0;
  int32_t owner = 0;      // owner tag, 0 = none
  bool pinned = false;    // in use by a caller
  bool dirty = false;     // changed since the last commit
  bool placed = false;    // data allocated when it was read, so it lies in the order of reads
  bool readOnce = false;  // not placed, and read once since it was added or changed
  uint8_t checkedAs = 0;  // the check its bytes passed since they last came from the file (0 none)
};
