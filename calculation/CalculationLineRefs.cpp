#include "calculation/CalculationLineRefs.h"

#include <algorithm>

namespace {

const iCalculationList::LineRefs kNoRefs;
const std::vector<int32_t> kNoKeys;

// The keys once each: a line that lists an element twice holds its key once.
std::vector<int32_t> Distinct(std::vector<int32_t> keys) {
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  return keys;
}

}  // namespace

const CalculationLineRefs::LineRefs& CalculationLineRefs::At(int32_t i) const {
  return i >= 0 && i < Count() ? lines_[size_t(i)].refs : kNoRefs;
}

const std::vector<int32_t>& CalculationLineRefs::KeysAt(int32_t i) const {
  return i >= 0 && i < Count() ? lines_[size_t(i)].keys : kNoKeys;
}

void CalculationLineRefs::Insert(int32_t i, const LineRefs& refs, std::vector<int32_t> keys) {
  i = std::clamp(i, 0, Count());
  keys = Distinct(std::move(keys));
  Hold(keys);
  lines_.insert(lines_.begin() + i, Line{refs, std::move(keys)});
}

void CalculationLineRefs::Write(int32_t i, const LineRefs& refs, std::vector<int32_t> keys) {
  if (i < 0 || i >= Count()) return;
  Line& line = lines_[size_t(i)];
  keys = Distinct(std::move(keys));
  // Held before the old keys are released, so a key the line keeps is never forgotten in between.
  Hold(keys);
  Release(line.keys);
  line.refs = refs;
  line.keys = std::move(keys);
}

void CalculationLineRefs::Erase(int32_t i) {
  if (i < 0 || i >= Count()) return;
  Release(lines_[size_t(i)].keys);
  lines_.erase(lines_.begin() + i);
}

void CalculationLineRefs::Rearrange(const std::vector<int32_t>& from) {
  std::vector<Line> lines;
  lines.reserve(from.size());
  std::vector<bool> taken(lines_.size(), false);
  for (int32_t i : from) {
    if (i >= 0 && i < Count() && !taken[size_t(i)]) {
      taken[size_t(i)] = true;
      lines.push_back(std::move(lines_[size_t(i)]));
    } else {
      lines.push_back(Line{});
    }
  }
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!taken[i]) Release(lines_[i].keys);
  }
  lines_ = std::move(lines);
}

void CalculationLineRefs::Resize(int32_t count) {
  count = std::max(count, 0);
  while (Count() > count) Erase(Count() - 1);
  lines_.resize(size_t(count));
}

int32_t CalculationLineRefs::KeyOf(zelvproElement* element) {
  if (element == nullptr) return 0;
  auto found = keyOf_.find(element);
  if (found != keyOf_.end()) return found->second;
  const int32_t key = nextKey_++;
  keyOf_.emplace(element, key);
  byKey_.emplace(key, Use{element, 0});
  return key;
}

int32_t CalculationLineRefs::FindKey(const zelvproElement* element) const {
  auto found = keyOf_.find(const_cast<zelvproElement*>(element));
  return found != keyOf_.end() ? found->second : 0;
}

void CalculationLineRefs::ForgetElement(const zelvproElement* element) {
  if (element == nullptr) return;
  for (Line& line : lines_) {
    if (line.refs.element == element) line.refs.element = nullptr;
  }
  auto found = keyOf_.find(const_cast<zelvproElement*>(element));
  if (found == keyOf_.end()) return;
  auto use = byKey_.find(found->second);
  // A key no line holds any more is dropped; one still listed stays reserved, naming no element.
  if (use != byKey_.end()) {
    if (use->second.lines > 0)
      use->second.element = nullptr;
    else
      byKey_.erase(use);
  }
  keyOf_.erase(found);
}

zelvproElement* CalculationLineRefs::ElementOfKey(int32_t key) const {
  auto found = byKey_.find(key);
  return found != byKey_.end() ? found->second.element : nullptr;
}

void CalculationLineRefs::Hold(const std::vector<int32_t>& keys) {
  for (int32_t key : keys) {
    auto found = byKey_.find(key);
    // A key this table never handed out (or forgot) names no element and is not counted.
    if (found != byKey_.end()) ++found->second.lines;
  }
}

void CalculationLineRefs::Release(const std::vector<int32_t>& keys) {
  for (int32_t key : keys) {
    auto found = byKey_.find(key);
    if (found == byKey_.end()) continue;
    if (--found->second.lines > 0) continue;
    if (found->second.element != nullptr) keyOf_.erase(found->second.element);
    byKey_.erase(found);
  }
}
