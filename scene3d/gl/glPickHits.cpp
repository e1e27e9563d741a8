#include "scene3d/gl/glPickHits.h"

#include <algorithm>

void glPickHits::Collect(const uint32_t* buffer, size_t words, int32_t count) {
  hits_.clear();
  size_t at = 0;
  for (int32_t record = 0; record < count; ++record) {
    if (at + 3 > words) break;
    const uint32_t names = buffer[at];
    if (names > words - at - 3) break;
    const Hit hit{names > 0 ? buffer[at + 3] : 0u, buffer[at + 1]};
    // Before the first entry at least as deep: ascending, and a later record goes before its equals.
    auto place = std::lower_bound(hits_.begin(), hits_.end(), hit.depth,
                                  [](const Hit& h, uint32_t depth) { return h.depth < depth; });
    hits_.insert(place, hit);
    at += 3 + names;
  }
}

uint32_t glPickHits::Name(int32_t index) const {
  if (index < 0 || index >= Count()) return 0;
  return hits_[static_cast<size_t>(index)].name;
}
