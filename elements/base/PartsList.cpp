#include "elements/base/PartsList.h"

#include <algorithm>
#include <cstring>
#include <tuple>

void PartsList::AddPartEntry(int32_t unit, int32_t colour, int32_t depth, int32_t quantity) {
  // The keys are unique and sorted, so the first entry not below the new key is either the same key or
  // the place to insert at; a binary search finds it without walking a long list.
  const auto key = std::tie(unit, colour, depth);
  auto at = std::lower_bound(ascending_.begin(), ascending_.end(), key, [](const Entry& e, const auto& k) {
    return std::tie(e.unit, e.colour, e.depth) < k;
  });
  if (at != ascending_.end() && std::tie(at->unit, at->colour, at->depth) == key) {
    at->quantity += quantity;
    return;
  }
  ascending_.insert(at, Entry{unit, colour, depth, quantity});
}

Handle PartsList::ToHandle() const {
  Handle h = nullptr;
  const std::vector<Entry> entries = Entries();
  Vcon_HandleManager::MemNew(&h, uint32_t(entries.size() * kPackedEntrySize));
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    const int32_t words[4] = {e.unit, e.colour, e.depth, e.quantity};
    std::memcpy(*h + i * kPackedEntrySize, words, kPackedEntrySize);
  }
  return h;
}
