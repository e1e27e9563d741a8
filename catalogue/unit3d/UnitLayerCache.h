// The process-wide cache of built unit layers: one record per {unit id, depth record id, catalogue
// database}, ordered by unit id (signed), then database (as an address), then depth id. Records stay
// until the program ends (or the reset list empties the cache); elements share them through
// shared_ptr, so emptying the cache never frees a record an element still shows. Unit id 0 answers
// one shared empty record. Owned by the user-interface thread.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/unit3d/TripleWithSet.h"

class UnitLayerCache {
 public:
  static std::shared_ptr<TripleWithSet> Find(int32_t unitId, int32_t depthId, const zelvDatabase* database);
  // Stores `record` under its own unit id, depth id and database, replacing any record there.
  static void Store(const std::shared_ptr<TripleWithSet>& record);
  // The one empty record of unit id 0.
  static std::shared_ptr<TripleWithSet> Empty();
  static size_t Size();
  static void Clear();
};
