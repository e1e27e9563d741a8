#include "calculation/CalculationLineIndex.h"

#include <algorithm>

namespace {

const std::vector<int32_t> kNone;

void AddPosition(std::vector<int32_t>& lines, int32_t i) {
  if (lines.empty() || lines.back() < i) {
    lines.push_back(i);
    return;
  }
  auto at = std::lower_bound(lines.begin(), lines.end(), i);
  if (at == lines.end() || *at != i) lines.insert(at, i);
}

template <typename Map, typename Key>
void RemovePosition(Map& map, const Key& key, int32_t i) {
  auto found = map.find(key);
  if (found == map.end()) return;
  std::vector<int32_t>& lines = found->second;
  auto at = std::lower_bound(lines.begin(), lines.end(), i);
  if (at != lines.end() && *at == i) lines.erase(at);
  if (lines.empty()) map.erase(found);
}

template <typename Map, typename Key>
const std::vector<int32_t>& LinesOf(const Map& map, const Key& key) {
  auto found = map.find(key);
  return found != map.end() ? found->second : kNone;
}

}  // namespace

void CalculationLineIndex::Forget() {
  lines_.clear();
  all_.clear();
  article_.clear();
  owner_.clear();
  listing_.clear();
  known_ = false;
  stale_ = false;
}

void CalculationLineIndex::Reset(std::vector<Entry> lines) {
  lines_ = std::move(lines);
  known_ = true;
  stale_ = true;
}

void CalculationLineIndex::Insert(int32_t i, Entry entry) {
  i = std::clamp(i, 0, Count());
  std::sort(entry.listed.begin(), entry.listed.end());
  entry.listed.erase(std::unique(entry.listed.begin(), entry.listed.end()), entry.listed.end());
  const bool append = i == Count();
  lines_.insert(lines_.begin() + i, std::move(entry));
  if (append && !stale_) {
    Add(i, lines_[size_t(i)]);
  } else {
    stale_ = true;
  }
}

void CalculationLineIndex::Write(int32_t i, Entry entry) {
  if (i < 0 || i >= Count()) return;
  std::sort(entry.listed.begin(), entry.listed.end());
  entry.listed.erase(std::unique(entry.listed.begin(), entry.listed.end()), entry.listed.end());
  if (!stale_) {
    Remove(i, lines_[size_t(i)]);
    Add(i, entry);
  }
  lines_[size_t(i)] = std::move(entry);
}

void CalculationLineIndex::Erase(int32_t i) {
  if (i < 0 || i >= Count()) return;
  // Taking the last line moves no other line; any other delete shifts the positions after it.
  if (i == Count() - 1 && !stale_) {
    Remove(i, lines_[size_t(i)]);
  } else {
    stale_ = true;
  }
  lines_.erase(lines_.begin() + i);
}

const std::vector<int32_t>& CalculationLineIndex::WithAllKeys(uint64_t digest) {
  Refresh();
  return LinesOf(all_, digest);
}

const std::vector<int32_t>& CalculationLineIndex::WithArticleKeys(uint64_t digest) {
  Refresh();
  return LinesOf(article_, digest);
}

const std::vector<int32_t>& CalculationLineIndex::OwnedBy(const zelvproElement* element) {
  Refresh();
  return LinesOf(owner_, element);
}

const std::vector<int32_t>& CalculationLineIndex::Listing(int32_t key) {
  Refresh();
  return LinesOf(listing_, key);
}

void CalculationLineIndex::Add(int32_t i, const Entry& entry) {
  AddPosition(all_[entry.allKeys], i);
  AddPosition(article_[entry.articleKeys], i);
  if (entry.owner != nullptr) AddPosition(owner_[entry.owner], i);
  for (int32_t key : entry.listed) AddPosition(listing_[key], i);
}

void CalculationLineIndex::Remove(int32_t i, const Entry& entry) {
  RemovePosition(all_, entry.allKeys, i);
  RemovePosition(article_, entry.articleKeys, i);
  if (entry.owner != nullptr) RemovePosition(owner_, entry.owner, i);
  for (int32_t key : entry.listed) RemovePosition(listing_, key, i);
}

void CalculationLineIndex::Refresh() {
  if (!stale_) return;
  all_.clear();
  article_.clear();
  owner_.clear();
  listing_.clear();
  for (int32_t i = 0; i < Count(); ++i) Add(i, lines_[size_t(i)]);
  stale_ = false;
}

void CalculationLineIndex::ForgetOwner(const zelvproElement* element) {
  if (element == nullptr) return;
  for (Entry& entry : lines_) {
    if (entry.owner == element) entry.owner = nullptr;
  }
  owner_.erase(element);
}
