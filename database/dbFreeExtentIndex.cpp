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
  pages_[at] = s;
}

void dbFreeExtentIndex::SlotChanged(int32_t page, int32_t slot, int32_t position, int32_t length) {
  if (Summary* s = Find(page)) Widen(*s, position, length);
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
  if (at < pages_.size() && pages_[at].page == page) pages_[at] = Summary{};
  if (at < leads_.size() && leads_[at].page == page) leads_[at] = Lead{};
}

void dbFreeExtentIndex::NextChanged(int32_t page, int32_t next) {
  if (Summary* s = Find(page)) s->next = next;
}
