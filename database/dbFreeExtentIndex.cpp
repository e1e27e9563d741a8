#include "database/dbFreeExtentIndex.h"

#include <algorithm>
#include <limits>

#include "database/dbBytes.h"

namespace {

bool Within(int32_t value, int32_t low, int32_t high) { return low <= value && value <= high; }

}  // namespace

const dbFreeExtentIndex::Summary* dbFreeExtentIndex::Find(int32_t page) const {
  const size_t at = static_cast<uint32_t>(page) >> kPageShift;
  if (page == 0 || at >= pages_.size() || pages_[at].page != page) return nullptr;
  return &pages_[at];
}

int32_t dbFreeExtentIndex::SkipForAllocate(int32_t page, int32_t length) const {
  const Summary* s = Find(page);
  if (s == nullptr || s->maxLength >= length) return -1;
  return s->next;
}

int32_t dbFreeExtentIndex::SkipForRelease(int32_t page, int32_t position, int32_t length) const {
  const Summary* found = Find(page);
  if (found == nullptr) return -1;
  const Summary& s = *found;
  if (s.mayHaveEmpty || Within(End(position, length), s.minStart, s.maxStart) ||
      Within(position, s.minEnd, s.maxEnd))
    return -1;
  return s.next;
}

void dbFreeExtentIndex::Widen(Summary& s, int32_t position, int32_t length) {
  s.maxLength = std::max(s.maxLength, length);
  if (length == 0) {
    s.mayHaveEmpty = true;
    return;
  }
  const int32_t end = End(position, length);
  const bool first = s.minStart > s.maxStart;
  s.minStart = first ? position : std::min(s.minStart, position);
  s.maxStart = first ? position : std::max(s.maxStart, position);
  s.minEnd = first ? end : std::min(s.minEnd, end);
  s.maxEnd = first ? end : std::max(s.maxEnd, end);
}

void dbFreeExtentIndex::Scanned(int32_t page, const char* data) {
  const size_t at = static_cast<uint32_t>(page) >> kPageShift;
  if (page == 0 || at >= kMaxDescribed) return;
  if (at >= pages_.size()) pages_.resize(at + 1);
  Summary s;
  s.page = page;
  s.next = db::GetI32(data, kNextOffset);
  s.maxLength = std::numeric_limits<int32_t>::min();
  for (int32_t i = 0; i < kSlots; ++i) {
    const uint32_t at = kSlot0 + 8 * uint32_t(i);
    Widen(s, db::GetI32(data, at), db::GetI32(data, at + 4));
  }
  const Summary& old = pages_[at];
  if (old.page != 0 && InPrefix(old)) {
    // The page keeps its place in the prefix while it still leads to the same page.
    if (old.page == page && old.next == s.next) {
      s.prefixMark = prefixMark_;
      s.prefixAt = old.prefixAt;
      if (s.maxLength != old.maxLength) PrefixPageChanged(s);
    } else {
      DropPrefix();
    }
  }
  pages_[at] = s;
}

void dbFreeExtentIndex::SlotChanged(int32_t page, int32_t slot, int32_t position, int32_t length) {
  if (Summary* s = Find(page)) {
    const int32_t before = s->maxLength;
    Widen(*s, position, length);
    if (s->maxLength != before && InPrefix(*s)) PrefixPageChanged(*s);
  }
  const size_t at = static_cast<uint32_t>(page) >> kPageShift;
  if (at < leads_.size() && leads_[at].page == page && slot < leads_[at].slots)
    leads_[at].max = std::max(leads_[at].max, length);
}

int32_t dbFreeExtentIndex::FirstSlotFor(int32_t page, int32_t length, int32_t& leadMax) const {
  const size_t at = static_cast<uint32_t>(page) >> kPageShift;
  if (page == 0 || at >= leads_.size() || leads_[at].page != page || leads_[at].max >= length) return 0;
  leadMax = leads_[at].max;
  return leads_[at].slots;
}

void dbFreeExtentIndex::Fitted(int32_t page, int32_t slot, int32_t leadMax) {
  const size_t at = static_cast<uint32_t>(page) >> kPageShift;
  if (page == 0 || at >= kMaxDescribed) return;
  if (at >= leads_.size()) leads_.resize(at + 1);
  leads_[at] = Lead{page, slot, leadMax};
}

void dbFreeExtentIndex::Forget(int32_t page) {
  const size_t at = static_cast<uint32_t>(page) >> kPageShift;
  if (at < pages_.size() && pages_[at].page == page) {
    if (InPrefix(pages_[at])) DropPrefix();
    pages_[at] = Summary{};
  }
  if (at < leads_.size() && leads_[at].page == page) leads_[at] = Lead{};
}

void dbFreeExtentIndex::NextChanged(int32_t page, int32_t next) {
  Summary* s = Find(page);
  if (s == nullptr) return;
  if (InPrefix(*s)) {
    // A page linked after the prefix's last page leaves the prefix as it was.
    if (s->next == prefixEnd_)
      prefixEnd_ = next;
    else
      DropPrefix();
  }
  s->next = next;
}

int32_t dbFreeExtentIndex::StartForAllocate(int32_t root, int32_t length) const {
  if (!prefixValid_ || prefixRoot_ != root) return root;
  const auto first = std::lower_bound(prefixLongest_.begin(), prefixLongest_.end(), length);
  if (first == prefixLongest_.end()) return prefixEnd_;
  return prefixPages_[size_t(first - prefixLongest_.begin())];
}

void dbFreeExtentIndex::PassedForAllocate(int32_t root, int32_t page) {
  if (!prefixValid_ || prefixRoot_ != root) {
    DropPrefix();
    prefixValid_ = true;
    prefixRoot_ = root;
    prefixEnd_ = root;
  }
  // Only the page right after the prefix extends it; a walk that started inside the prefix passes
  // over pages it already holds.
  if (page == 0 || page != prefixEnd_) return;
  Summary* s = Find(page);
  if (s == nullptr) return;
  s->prefixMark = prefixMark_;
  s->prefixAt = int32_t(prefixPages_.size());
  prefixPages_.push_back(page);
  pageLongest_.push_back(s->maxLength);
  prefixLongest_.push_back(prefixLongest_.empty() ? s->maxLength
                                                  : std::max(prefixLongest_.back(), s->maxLength));
  prefixEnd_ = s->next;
}

void dbFreeExtentIndex::PrefixPageChanged(const Summary& s) {
  const auto from = size_t(s.prefixAt);
  pageLongest_[from] = s.maxLength;
  int32_t longest = from == 0 ? std::numeric_limits<int32_t>::min() : prefixLongest_[from - 1];
  for (size_t i = from; i < prefixLongest_.size(); ++i) {
    longest = std::max(longest, pageLongest_[i]);
    prefixLongest_[i] = longest;
  }
}

void dbFreeExtentIndex::DropPrefix() {
  prefixValid_ = false;
  prefixPages_.clear();
  pageLongest_.clear();
  prefixLongest_.clear();
  if (++prefixMark_ == 0) {
    // The marks wrapped around: none may match a later prefix by chance.
    for (Summary& s : pages_) s.prefixMark = 0;
    prefixMark_ = 1;
  }
}
