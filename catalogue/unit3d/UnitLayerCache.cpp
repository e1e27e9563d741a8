#include "catalogue/unit3d/UnitLayerCache.h"

#include <map>
#include <tuple>

#include "platform/ResetList.h"

namespace {

using Key = std::tuple<int32_t, uintptr_t, int32_t>;  // unit id, database address, depth id

Key KeyOf(int32_t unitId, int32_t depthId, const zelvDatabase* database) {
  return Key(unitId, reinterpret_cast<uintptr_t>(database), depthId);
}

// User-interface thread only.
std::map<Key, std::shared_ptr<TripleWithSet>> gCache;
std::shared_ptr<TripleWithSet> gEmpty;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("unit 3D assembly: the cache of unit layers", [] { UnitLayerCache::Clear(); });

}  // namespace

std::shared_ptr<TripleWithSet> UnitLayerCache::Find(int32_t unitId, int32_t depthId,
                                                    const zelvDatabase* database) {
  auto found = gCache.find(KeyOf(unitId, depthId, database));
  return found != gCache.end() ? found->second : nullptr;
}

void UnitLayerCache::Store(const std::shared_ptr<TripleWithSet>& record) {
  gCache[KeyOf(record->unitId, record->depthId, record->database)] = record;
}

std::shared_ptr<TripleWithSet> UnitLayerCache::Empty() {
  if (gEmpty == nullptr) gEmpty = std::make_shared<TripleWithSet>();
  return gEmpty;
}

size_t UnitLayerCache::Size() { return gCache.size(); }

void UnitLayerCache::Clear() {
  gCache.clear();
  gEmpty.reset();
}
