// Set operations on record-number lists that the table files and field handlers combine query
// results with. An empty list on either side is settled here without touching the other list.
#pragma once

#include "foundation/Vcon_HandleManager.h"

namespace db {

// Changes `list` in place by '&' (keep entries also in other), '+' (add other's entries not yet
// in list) or '-' (drop entries found in other); any other character leaves it unchanged.
void CombineInto(Handle list, Handle other, int32_t combine);

// `list` combined with `other`, which is freed; returns `list`.
Handle Minus(Handle list, Handle other);
Handle Plus(Handle list, Handle other);

}  // namespace db
