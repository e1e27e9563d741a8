#include "database/PropertySorting.h"

#include <utility>

#include "database/iProperty.h"

namespace {

// The key values of one item, read by moving the source onto it.
using KeyValues = std::vector<ppParameter>;

KeyValues ReadKeys(iProperty& source, const std::vector<SortKey>& keys, int32_t item) {
  source.GoTo(item);
  KeyValues values;
  values.reserve(keys.size());
  for (const SortKey& key : keys) values.push_back(source.GetValueAt(key.property));
  return values;
}

// -1 when a sorts before b, 1 when after, 0 when neither. The values compare in a's type (b is
// converted first), as the typed value does.
int CompareKeys(const std::vector<SortKey>& keys, const KeyValues& a, const KeyValues& b) {
  for (size_t k = 0; k < keys.size(); ++k) {
    if (a[k] < b[k]) return keys[k].ascending ? -1 : 1;
    if (a[k] > b[k]) return keys[k].ascending ? 1 : -1;
  }
  return 0;
}

// Three-way partition around a random pivot: items equal to the pivot are gathered in the middle
// and never touched again, so many equal keys cannot make the sort quadratic. The smaller side is
// sorted by recursion and the larger one by the loop, which bounds the stack depth to log n.
void QuickSort(iProperty& source, const std::vector<SortKey>& keys, std::vector<int32_t>& order, int64_t lo,
               int64_t hi, std::minstd_rand& random) {
  while (lo < hi) {
    const int64_t span = hi - lo + 1;
    const int64_t p = lo + int64_t(random() % uint64_t(span));
    std::swap(order[size_t(lo)], order[size_t(p)]);
    const KeyValues pivot = ReadKeys(source, keys, order[size_t(lo)]);
    int64_t lt = lo, i = lo + 1, gt = hi;
    while (i <= gt) {
      const KeyValues item = ReadKeys(source, keys, order[size_t(i)]);
      const int c = CompareKeys(keys, item, pivot);
      if (c < 0) {
        std::swap(order[size_t(lt++)], order[size_t(i++)]);
      } else if (CompareKeys(keys, pivot, item) < 0) {
        std::swap(order[size_t(i)], order[size_t(gt--)]);
      } else {
        ++i;
      }
    }
    if (lt - lo < hi - gt) {
      QuickSort(source, keys, order, lo, lt - 1, random);
      lo = gt + 1;
    } else {
      QuickSort(source, keys, order, gt + 1, hi, random);
      hi = lt - 1;
    }
  }
}

}  // namespace

bool ParseSortSpec(iProperty& source, const Vcon::String& sortKeys, std::vector<SortKey>& keys) {
  keys.clear();
  std::string rest = sortKeys.c_str();
  while (!rest.empty()) {
    const size_t bar = rest.find('|');
    std::string text = rest.substr(0, bar);
    rest = bar == std::string::npos ? std::string() : rest.substr(bar + 1);
    SortKey key;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
      key.ascending = text[0] == '+';
      text.erase(0, 1);
    }
    key.property = source.IndexOf(Vcon::String(text));
    if (key.property < 0) {
      keys.clear();
      return false;
    }
    keys.push_back(key);
  }
  return true;
}

void SortItemsByKeys(iProperty& source, const std::vector<SortKey>& keys, std::deque<int32_t>& order,
                     std::minstd_rand& random) {
  if (keys.empty() || order.size() < 2) return;
  std::vector<int32_t> items(order.begin(), order.end());
  QuickSort(source, keys, items, 0, int64_t(items.size()) - 1, random);
  order.assign(items.begin(), items.end());
}

void SortBySpec(iProperty& source, const Vcon::String& sortKeys, std::deque<int32_t>& order,
                std::minstd_rand& random) {
  order.clear();
  const int32_t count = source.CountItems();
  for (int32_t i = 0; i < count; ++i) order.push_back(i);
  std::vector<SortKey> keys;
  if (!ParseSortSpec(source, sortKeys, keys)) return;
  SortItemsByKeys(source, keys, order, random);
}
