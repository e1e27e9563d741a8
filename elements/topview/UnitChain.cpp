#include "elements/topview/UnitChain.h"

#include <set>

#include "elements/topview/CatalogReads.h"

int32_t UnitChain::End(ppDatafile& units, int32_t unit) {
  std::set<int32_t> passed{unit};
  while (unit != 0) {
    const int32_t next = CatalogReads::LongOf(units, unit, "refTo");
    if (next == 0 || !passed.insert(next).second) break;
    unit = next;
  }
  return unit;
}
