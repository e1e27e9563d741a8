#include "StoreConsistency.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "database/dbBytes.h"
#include "database/dbStore.h"

namespace dbtest {

namespace {

using Span = std::pair<int64_t, int64_t>;  // [begin, end) in bytes

int32_t PageWord(dbStore& store, int32_t position, uint32_t offset) {
  return db::GetI32(*store.GetPage(position), offset);
}

void CollectFreeExtents(dbStore& store, std::vector<Span>& spans, std::ostringstream& problems) {
  int32_t page = store.Header(dbStore::kFreeExtentRoot);
  for (int guard = 0; page != 0 && guard < 10000; ++guard) {
    spans.emplace_back(page, page + dbStore::kPageSize);
    if (PageWord(store, page, 0) != page) problems << "free-extent page " << page << " misnamed; ";
    for (uint32_t i = 0; i < uint32_t(dbStore::kExtentSlots); ++i) {
      const int32_t pos = PageWord(store, page, 8 + 8 * i);
      const int32_t len = PageWord(store, page, 12 + 8 * i);
      if (len < 0) problems << "negative free extent; ";
      if (len > 0) spans.emplace_back(pos, int64_t(pos) + len);
    }
    page = PageWord(store, page, 4);
  }
}

void CollectMapPages(dbStore& store, std::vector<Span>& spans) {
  const int32_t top = store.Header(dbStore::kRecordMapRoot);
  spans.emplace_back(top, top + dbStore::kPageSize);
  for (uint32_t i = 0; i < 512; ++i) {
    const int32_t middle = PageWord(store, top, 4 * i);
    if (middle == 0) continue;
    spans.emplace_back(middle, middle + dbStore::kPageSize);
    for (uint32_t j = 0; j < 512; ++j) {
      const int32_t low = PageWord(store, middle, 4 * j);
      if (low != 0) spans.emplace_back(low, low + dbStore::kPageSize);
    }
  }
}

void CollectRecords(dbStore& store, std::vector<Span>& spans, std::ostringstream& problems) {
  const int32_t last = store.LastRecordNumber();
  std::set<int32_t> chain;
  for (int32_t n = store.Header(dbStore::kFreeRecordHead); n != 0;) {
    if (n < 1 || n > last || !chain.insert(n).second) {
      problems << "free-number chain broken at " << n << "; ";
      break;
    }
    const dbExtent e = store.MapEntry(n);
    if (e.position != -1) problems << "chained number " << n << " not free; ";
    n = e.length;
  }
  size_t freeEntries = 0;
  for (int32_t n = 1; n <= last; ++n) {
    const dbExtent e = store.MapEntry(n);
    if (e.position == -1) {
      ++freeEntries;
      if (!chain.count(n)) problems << "free number " << n << " not chained; ";
    } else if (e.length < 0) {
      problems << "record " << n << " has a negative length; ";
    } else if (e.length > 0) {
      spans.emplace_back(e.position, int64_t(e.position) + e.length);
    }
  }
  if (freeEntries != chain.size()) problems << "free numbers and chain differ; ";
}

}  // namespace

std::string CheckStoreConsistency(dbStore& store) {
  std::ostringstream problems;
  std::vector<Span> spans;
  CollectFreeExtents(store, spans, problems);
  CollectMapPages(store, spans);
  CollectRecords(store, spans, problems);
  // A journal exists only while a commit is under way or waits to be finished; it runs to the end.
  const uint16_t state = store.State();
  if (state == dbStore::kJournalWriting || state == dbStore::kJournalComplete)
    spans.emplace_back(store.JournalStart(), store.FileSize());
  std::sort(spans.begin(), spans.end());
  // Everything after the header block must be claimed by a span: a gap is dead space.
  int64_t claimed = dbStore::kFirstPageOffset;
  for (size_t i = 0; i < spans.size(); ++i) {
    if (spans[i].first < dbStore::kFirstPageOffset || spans[i].second > store.FileSize())
      problems << "span [" << spans[i].first << "," << spans[i].second << ") outside the file; ";
    if (i > 0 && spans[i].first < spans[i - 1].second)
      problems << "spans overlap at " << spans[i].first << "; ";
    if (spans[i].first > claimed) problems << "dead bytes [" << claimed << "," << spans[i].first << "); ";
    claimed = std::max(claimed, spans[i].second);
  }
  if (claimed < store.FileSize()) problems << "dead bytes [" << claimed << "," << store.FileSize() << "); ";
  return problems.str();
}

}  // namespace dbtest
