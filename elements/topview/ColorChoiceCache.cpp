#include "elements/topview/ColorChoiceCache.h"

#include <map>
#include <utility>

#include "elements/topview/ListChecksum.h"
#include "platform/ResetList.h"

namespace {

struct Tables {
  std::map<ColorChoiceCache::Key, std::shared_ptr<const ColorChoiceCache::Colours>> byKey;
  // (settings "identifier", check value of the list) -> the distinct lists stored with them.
  std::map<std::pair<int32_t, uint32_t>, std::vector<std::shared_ptr<const ColorChoiceCache::Colours>>>
      shared;
};

// The process-wide colour-choice cache; user-interface thread only.
Tables gColorChoices;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("colour choice cache", [] { ColorChoiceCache::Clear(); });

uint32_t CheckValue(const ColorChoiceCache::Colours& colours) {
  return ListChecksum(reinterpret_cast<const uint8_t*>(colours.data()), colours.size() * sizeof(int32_t));
}

}  // namespace

std::shared_ptr<const ColorChoiceCache::Colours> ColorChoiceCache::Lookup(const Key& key) {
  auto found = gColorChoices.byKey.find(key);
  return found != gColorChoices.byKey.end() ? found->second : nullptr;
}

void ColorChoiceCache::Store(const Key& key, const Colours& colours) {
  auto& bucket = gColorChoices.shared[{key.settingsId, CheckValue(colours)}];
  std::shared_ptr<const Colours> list;
  for (const auto& stored : bucket) {
    if (*stored == colours) list = stored;
  }
  if (list == nullptr) {
    list = std::make_shared<const Colours>(colours);
    bucket.push_back(list);
  }
  gColorChoices.byKey[key] = std::move(list);
}

size_t ColorChoiceCache::KeyCount() { return gColorChoices.byKey.size(); }

size_t ColorChoiceCache::ListCount() {
  size_t n = 0;
  for (const auto& entry : gColorChoices.shared) n += entry.second.size();
  return n;
}

void ColorChoiceCache::Clear() { gColorChoices = Tables(); }
