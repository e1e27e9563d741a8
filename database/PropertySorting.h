// Ordering the items of a property source by a textual sort description: property names joined
// by '|', each optionally prefixed by '+' (ascending, the default) or '-' (descending), the first
// name the most significant key.
//
// The items are compared through the source's current item: every comparison moves the source
// (GoTo) and reads the key properties, so after a sort the source stands on an item last read.
#pragma once

#include <cstdint>
#include <deque>
#include <random>
#include <vector>

#include "foundation/VconString.h"

class iProperty;

// One parsed key of a sort description.
struct SortKey {
  int32_t property = -1;
  bool ascending = true;
};

// The keys of `sortKeys` resolved by the source's IndexOf. False (and `keys` emptied) as soon as one
// name is not defined by the source; an empty sort description gives no keys and true.
bool ParseSortSpec(iProperty& source, const Vcon::String& sortKeys, std::vector<SortKey>& keys);

// Sorts `order` (item numbers of the source) by the keys. Equal items keep no particular order;
// `random` chooses the pivots. Each partition reads every item's keys once.
void SortItemsByKeys(iProperty& source, const std::vector<SortKey>& keys, std::deque<int32_t>& order,
                     std::minstd_rand& random);

// order = 0 .. CountItems() - 1 of the source, then sorted by `sortKeys`; a sort description naming an
// undefined property leaves the identity order.
void SortBySpec(iProperty& source, const Vcon::String& sortKeys, std::deque<int32_t>& order,
                std::minstd_rand& random);
