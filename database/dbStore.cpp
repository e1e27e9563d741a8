#include "database/dbStore.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "database/dbBytes.h"
#include "database/dbErrors.h"
#include "foundation/FileRecord.h"
#include "foundation/HandleRoom.h"

namespace {

constexpr uint32_t kFreeExtentNext = dbFreeExtentIndex::kNextOffset;
constexpr uint32_t kFreeExtentSlot0 = dbFreeExtentIndex::kSlot0;
constexpr int32_t kMaxGrowthUnit = 1 << 20;  // far above the 2048 every file is made with

uint32_t SlotOffset(int32_t i) { return kFreeExtentSlot0 + 8 * uint32_t(i); }

Handle NewZeroedHandle(int32_t size) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, uint32_t(size));
  MemClear(h);
  return h;
}

}  // namespace

dbStore::dbStore() = default;

dbStore::~dbStore() {
  try {
    Close();
  } catch (...) {
    // The file system refused to close; the caches are freed regardless.
  }
}

// ---- Opening and closing ----

std::unique_ptr<dbStore> dbStore::Open(ppFileSpec& fileSpec) {
  std::unique_ptr<dbStore> store(new dbStore);
  if (!store->file_.OpenExisting(fileSpec)) store->CreateFile(fileSpec);
  if (store->file_.Size() < kFirstPageOffset) db::Fail(db::kDamagedFile);
  unsigned char words[12];
  store->file_.Read(0, words, 12);
  fileSpec.word3 = uint32_t(db::GetI32(words, 0));
  fileSpec.word2 = uint32_t(db::GetI32(words, 4));
  fileSpec.word4 = uint32_t(db::GetI32(words, 8));
  store->Recover();
  store->ReadHeader();
  store->EnsureRootPage(kFreeExtentRoot, true);
  store->EnsureRootPage(kRecordMapRoot, false);
  store->Begin();
  store->End();
  return store;
}

void dbStore::ReadHeader() {
  file_.Read(kHeaderOffset, header_.data(), kHeaderSize);
  diskHeader_ = header_;
  CheckHeader();
}

// Refuses a header whose words cannot describe this file, so later walks never start from garbage.
void dbStore::CheckHeader() const {
  const int32_t growth = Header(kGrowthUnit);
  const int32_t last = LastRecordNumber();
  const int32_t freeHead = Header(kFreeRecordHead);
  const auto pageOk = [this](int32_t pos) {
    return pos == 0 || (pos >= kFirstPageOffset && file_.Holds(pos, kPageSize));
  };
  if (growth <= 0 || growth > kMaxGrowthUnit) db::Fail(db::kDamagedFile);
  if (last < 0 || last > kMaxRecordNumber) db::Fail(db::kDamagedFile);
  if (freeHead < 0 || freeHead > last) db::Fail(db::kDamagedFile);
  if (DirectoryRoot() < 0 || DirectoryRoot() > last) db::Fail(db::kDamagedFile);
  if (!pageOk(Header(kRecordMapRoot)) || !pageOk(Header(kFreeExtentRoot))) db::Fail(db::kDamagedFile);
}

// Creates the top page named by the header word when it is missing (a new file), writing the page
// and the header at once; pins it either way.
int32_t dbStore::EnsureRootPage(uint32_t headerOffset, bool freeExtentPage) {
  int32_t pos = Header(headerOffset);
  if (pos == 0) {
    Handle page = GetPage(pos);
    if (freeExtentPage) db::PutI32(*page, 0, pos);
    file_.Write(pos, *page, kPageSize);
    pages_.Lookup(pos).dirty = false;
    SetHeader(headerOffset, pos);
    file_.Write(kHeaderOffset, header_.data(), kHeaderSize);
    diskHeader_ = header_;
  } else {
    GetPage(pos);
  }
  PinPage(pos);
  return pos;
}

void dbStore::DisposeAll() {
  const auto dispose = [](dbCacheEntry& e) {
    MemDispose(e.data);
    return true;
  };
  ForgetPageShortcuts();
  pages_.Walk(dispose);
  records_.Walk(dispose);
  numbersToFree_.clear();
  extentsToFree_.clear();
}

void dbStore::ForgetPageShortcuts() {
  freeExtents_.Clear();
  mapPages_.clear();
}

void dbStore::Close() {
  DisposeAll();
  file_.Close();
}

int32_t dbStore::Header(uint32_t offset) const { return db::GetI32(header_.data(), offset); }

void dbStore::SetHeader(uint32_t offset, int32_t value) { db::PutI32(header_.data(), offset, value); }

// ---- Pages ----

Handle dbStore::GetPage(int32_t& position) {
  if (position == 0) {
    position = file_.Size();
    if (position > INT32_MAX - kPageSize) db::Fail(db::kBadCall);
    file_.SetSize(position + kPageSize);
    dbCacheEntry& e = pages_.Insert(position);
    e.data = NewZeroedHandle(kPageSize);
    e.dirty = true;
    return e.data;
  }
  return PageEntry(position).data;
}

dbCacheEntry& dbStore::PageEntry(int32_t position) {
  if (dbCacheEntry* e = pages_.Find(position)) return *e;
  if (position < kFirstPageOffset || !file_.Holds(position, kPageSize)) db::Fail(db::kDamagedFile);
  Handle h = NewZeroedHandle(kPageSize);
  try {
    file_.Read(position, *h, kPageSize);
  } catch (...) {
    MemDispose(h);
    throw;
  }
  dbCacheEntry& e = pages_.Insert(position);
  e.data = h;
  return e;
}

int32_t dbStore::PinnedRecordCount() {
  int32_t pinned = 0;
  records_.Walk([&pinned](dbCacheEntry& e) {
    pinned += e.pinned;
    return false;
  });
  return pinned;
}

void dbStore::MarkPageDirty(int32_t position) { pages_.Lookup(position).dirty = true; }

void dbStore::PinPage(int32_t position) { pages_.Lookup(position).pinned = true; }

void dbStore::TrimCaches() {
  records_.Walk([](dbCacheEntry& e) {
    if (e.pinned || e.dirty || e.owner != 0) return false;
    MemDispose(e.data);
    return true;
  });
  const int32_t keep = Header(kFreeExtentRoot);
  ForgetPageShortcuts();
  pages_.Walk([keep](dbCacheEntry& e) {
    if (e.dirty || e.key == keep) return false;
    MemDispose(e.data);
    return true;
  });
}

// ---- Record map ----

// The level-3 page holding the entry of `number`; with `create`, missing pages on the way are
// appended and linked. Returns 0 when a page is missing and not created.
int32_t dbStore::MapPageFor(int32_t number, bool create) {
  if (number < 0 || number > kMaxRecordNumber) db::Fail(db::kDamagedFile);
  int32_t parent = Header(kRecordMapRoot);
  const uint32_t slots[2] = {4 * uint32_t(number >> 17), 4 * uint32_t((number & 0x1FFFF) >> 8)};
  for (const uint32_t slot : slots) {
    int32_t child = db::GetI32(*GetPage(parent), slot);
    if (child == 0) {
      if (!create) return 0;
      GetPage(child);  // appends; child is now the new page's position
      db::PutI32(*GetPage(parent), slot, child);
      MarkPageDirty(parent);
    }
    parent = child;
  }
  return parent;
}

// The cache entry of the level-3 map page of `number`, remembered by number >> 8 once found (the
// page cannot move: map pages are never freed); null when absent and not created.
dbCacheEntry* dbStore::MapPageEntry(int32_t number, bool create) {
  if (number < 0 || number > kMaxRecordNumber) db::Fail(db::kDamagedFile);
  const auto slot = size_t(number >> 8);
  if (slot < mapPages_.size() && mapPages_[slot] != nullptr) return mapPages_[slot];
  int32_t page = MapPageFor(number, create);
  if (page == 0) return nullptr;
  GetPage(page);
  dbCacheEntry* e = pages_.Find(page);
  if (slot >= mapPages_.size()) mapPages_.resize(slot + 1, nullptr);
  mapPages_[slot] = e;
  return e;
}

dbExtent dbStore::MapEntry(int32_t number) {
  const dbCacheEntry* page = MapPageEntry(number, false);
  if (page == nullptr) return {};
  const char* data = *page->data;
  const uint32_t at = 8 * uint32_t(number & 0xFF);
  return {db::GetI32(data, at), db::GetI32(data, at + 4)};
}

void dbStore::WriteMapEntry(int32_t number, dbExtent entry) {
  dbCacheEntry* page = MapPageEntry(number, true);
  char* data = *page->data;
  const uint32_t at = 8 * uint32_t(number & 0xFF);
  db::PutI32(data, at, entry.position);
  db::PutI32(data, at + 4, entry.length);
  page->dirty = true;
}

void dbStore::CheckNumber(int32_t number) const {
  if (number < 1 || number > LastRecordNumber()) db::Fail(db::kOutOfRange);
}

int32_t dbStore::NewRecordNumber() {
  const int32_t head = Header(kFreeRecordHead);
  if (head != 0) {
    const dbExtent entry = MapEntry(head);
    const int32_t next = entry.length;
    if (entry.position != -1 || next < 0 || next > LastRecordNumber() || next == head)
      db::Fail(db::kDamagedFile);
    SetHeader(kFreeRecordHead, next);
    return head;
  }
  const int32_t last = LastRecordNumber();
  if (last >= kMaxRecordNumber) db::Fail(db::kOutOfRange);
  SetHeader(kLastRecordNumber, last + 1);
  return last + 1;
}

void dbStore::FreeRecordNumber(int32_t number) {
  CheckNumber(number);
  if (MapEntry(number).position == -1) db::Fail(db::kNotFound);
  WriteMapEntry(number, {-1, Header(kFreeRecordHead)});
  SetHeader(kFreeRecordHead, number);
}

// ---- Free extents ----

// First fit over the chain of free-extent pages; the file grows when nothing fits.
int32_t dbStore::Allocate(int32_t length) {
  const int32_t root = Header(kFreeExtentRoot);
  int32_t page = freeExtents_.StartForAllocate(root, length);
  for (int32_t walked = 0; page != 0; ++walked) {
    if (walked > MaxChainPages()) db::Fail(db::kDamagedFile);
    const int32_t skipTo = freeExtents_.SkipForAllocate(page, length);
    if (skipTo >= 0) {
      freeExtents_.PassedForAllocate(root, page);
      page = skipTo;
      continue;
    }
    dbCacheEntry& entry = PageEntry(page);
    char* data = *entry.data;
    // The slots before the first one that may fit are known to be shorter; their longest is kept.
    int32_t leadMax = std::numeric_limits<int32_t>::min();
    int32_t i = freeExtents_.FirstSlotFor(page, length, leadMax);
    for (int32_t longest = leadMax; i < kExtentSlots; ++i) {
      const int32_t slotLen = db::GetI32(data, SlotOffset(i) + 4);
      if (slotLen >= length) {
        leadMax = longest;
        break;
      }
      longest = std::max(longest, slotLen);
    }
    if (i < kExtentSlots) {
      const int32_t slotPos = db::GetI32(data, SlotOffset(i));
      const int32_t slotLen = db::GetI32(data, SlotOffset(i) + 4);
      if (slotLen > 0 && (slotPos < kFirstPageOffset || !file_.Holds(slotPos, slotLen)))
        db::Fail(db::kDamagedFile);
      db::PutI32(data, SlotOffset(i), slotPos + length);
      db::PutI32(data, SlotOffset(i) + 4, slotLen - length);
      freeExtents_.Fitted(page, i, leadMax);
      freeExtents_.SlotChanged(page, i, slotPos + length, slotLen - length);
      entry.dirty = true;
      return slotPos;
    }
    freeExtents_.Scanned(page, data);
    freeExtents_.PassedForAllocate(root, page);
    page = db::GetI32(data, kFreeExtentNext);
  }
  const int32_t unit = Header(kGrowthUnit);
  const int32_t position = file_.Size();
  const int64_t growth = (int64_t(length) / unit + 1) * unit;
  if (position + growth > INT32_MAX) db::Fail(db::kBadCall);
  file_.SetSize(int32_t(position + growth));
  Release({position + length, int32_t(growth) - length});
  return position;
}

void dbStore::Release(dbExtent extent) {
  // An extent outside the file comes from a damaged record map: it was never the file's space, and
  // listing it free would hand it out later. It is dropped; the commit goes on.
  if (extent.position < kFirstPageOffset || !file_.Holds(extent.position, extent.length)) return;
  int32_t page = Header(kFreeExtentRoot);
  int32_t last = page;
  for (int32_t walked = 0; page != 0; ++walked) {
    if (walked > MaxChainPages()) db::Fail(db::kDamagedFile);
    const int32_t skipTo = freeExtents_.SkipForRelease(page, extent.position, extent.length);
    if (skipTo >= 0) {
      last = page;
      page = skipTo;
      continue;
    }
    dbCacheEntry& entry = PageEntry(page);
    char* data = *entry.data;
    for (int32_t i = 0; i < kExtentSlots; ++i) {
      const uint32_t at = SlotOffset(i);
      const int32_t slotPos = db::GetI32(data, at);
      const int32_t slotLen = db::GetI32(data, at + 4);
      if (slotLen != 0 && (slotPos < kFirstPageOffset || !file_.Holds(slotPos, slotLen)))
        db::Fail(db::kDamagedFile);
      if (slotLen == 0) {
        db::PutI32(data, at, extent.position);
        db::PutI32(data, at + 4, extent.length);
      } else if (slotPos == extent.position + extent.length) {
        db::PutI32(data, at, extent.position);
        db::PutI32(data, at + 4, slotLen + extent.length);
      } else if (extent.position == slotPos + slotLen) {
        db::PutI32(data, at + 4, slotLen + extent.length);
      } else {
        continue;
      }
      freeExtents_.SlotChanged(page, i, db::GetI32(data, at), db::GetI32(data, at + 4));
      entry.dirty = true;
      return;
    }
    freeExtents_.Scanned(page, data);
    last = page;
    page = db::GetI32(data, kFreeExtentNext);
  }
  int32_t added = 0;
  char* data = *GetPage(added);
  freeExtents_.Forget(added);
  db::PutI32(data, 0, added);
  db::PutI32(data, SlotOffset(0), extent.position);
  db::PutI32(data, SlotOffset(0) + 4, extent.length);
  db::PutI32(*GetPage(last), kFreeExtentNext, added);
  freeExtents_.NextChanged(last, added);
  MarkPageDirty(last);
}

// ---- Records ----

Handle dbStore::LoadRecordBytes(dbExtent entry) {
  if (entry.position == -1) db::Fail(db::kNotFound);  // a free record number
  if (entry.length < 0 || entry.length > kMaxRecordBytes ||
      (entry.length > 0 && !file_.Holds(entry.position, entry.length)))
    db::Fail(db::kDamagedFile);
  // The length comes from the file: one the zone cannot hold is damage, not the end of the program.
  Handle h = MemTryNew(uint32_t(entry.length));
  if (h == nullptr) db::Fail(db::kDamagedFile);
  try {
    file_.Read(entry.position, *h, entry.length);
  } catch (...) {
    MemDispose(h);
    throw;
  }
  return h;
}

Handle dbStore::ReadRecord(int32_t number, int32_t owner) {
  CheckNumber(number);
  dbCacheEntry* e = records_.Find(number);
  if (e == nullptr || e->data == nullptr) {
    Handle h = LoadRecordBytes(MapEntry(number));
    if (e == nullptr) e = &records_.Insert(number);
    e->data = h;
    e->placed = true;
    e->checkedAs = 0;
  } else if (!e->placed && !e->pinned && !e->dirty && e->owner == 0) {
    // Added or changed records lie where the transaction left them, among index nodes and the
    // holes of moved blocks. A record read a second time is likely read again: it is placed after
    // the records placed before it, so that passes in one order (a view's sort order) walk memory
    // forwards. Records read once, as by look-ups, are not worth the move.
    if (e->readOnce) {
      MemMoveToRover(e->data);
      e->placed = true;
    }
    e->readOnce = true;
  }
  e->pinned = true;
  if (owner != 0 && e->owner == 0) e->owner = owner;
  return e->data;
}

int32_t dbStore::AddRecord(Handle data) {
  if (data == nullptr) db::Fail(db::kBadCall);
  if (nesting_ == 0) return 0;
  if (pendingAbort_ != 0) db::Fail(pendingAbort_);
  const int32_t position = Allocate(0);
  const int32_t number = NewRecordNumber();
  WriteMapEntry(number, {position, 0});
  // A number reused after an aborted add may still have a stale cache entry.
  if (dbCacheEntry* stale = records_.Find(number)) {
    MemDispose(stale->data);
    records_.Remove(number);
  }
  dbCacheEntry& e = records_.Insert(number);
  e.data = data;
  e.pinned = true;
  e.dirty = true;
  return number;
}

void dbStore::MarkRecordChanged(int32_t number) {
  dbCacheEntry& e = records_.Lookup(number);
  e.dirty = true;
  e.placed = false;
  e.readOnce = false;
  e.checkedAs = 0;
}

void dbStore::ReleaseRecord(int32_t number) { records_.Lookup(number).pinned = false; }

void dbStore::CheckOwner(int32_t number, int32_t owner) {
  dbCacheEntry& e = records_.Lookup(number);
  if (e.owner != owner) db::Fail(db::kHeldByOther);
  e.owner = 0;
}

void dbStore::DeleteRecord(int32_t number) {
  CheckNumber(number);
  if (dbCacheEntry* e = records_.Find(number)) {
    MemDispose(e->data);
    records_.Remove(number);
  }
  if (pendingAbort_ != 0) db::Fail(pendingAbort_);
  const dbExtent entry = MapEntry(number);
  if (entry.position > 0 && entry.length > 0) extentsToFree_.push_back(entry);
  numbersToFree_.push_back(number);
}
