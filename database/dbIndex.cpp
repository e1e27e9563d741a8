#include "database/dbIndex.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "database/HandleList.h"
#include "database/dbBytes.h"
#include "database/dbErrors.h"
#include "database/dbStore.h"

namespace {

constexpr int32_t kHeaderBytes = 20;
constexpr int32_t kMaxDepth = 40;  // far above any real tree; deeper means a cycle in a damaged file
constexpr int32_t kFirstChanged = 0x01;
constexpr int32_t kUnderfull = 0x10;
constexpr int32_t kNothingToJoin = 0x20;

}  // namespace

// Opens a batch for one insertion or removal and closes it on every way out, so that no node
// stays pinned when an error leaves the operation.
class dbIndex::Batch {
 public:
  explicit Batch(dbIndex& index) : index_(index), exceptions_(std::uncaught_exceptions()) {
    index_.BeginBatch();
  }
  ~Batch() {
    // An error may have left a node half changed: its keys are checked again when next loaded.
    if (std::uncaught_exceptions() > exceptions_) index_.ForgetKeyChecks();
    index_.EndBatch();
  }
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

 private:
  dbIndex& index_;
  const int exceptions_;
};

// ---- Construction ----

dbIndex::dbIndex(int32_t headerNumber, dbStore& store) : store_(store), headerNumber_(headerNumber) {
  header_ = store_.ReadRecord(headerNumber);
  if (MemGetSize(header_) < kHeaderBytes || HeaderWord(0) != headerNumber) {
    store_.ReleaseRecord(headerNumber);
    db::Fail(db::kDamagedFile);
  }
  touched_ = HandleList::New(0);
}

dbIndex::dbIndex(int32_t* headerNumber, int32_t keyKind, dbStore& store) : store_(store) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, kHeaderBytes);
  MemClear(h);
  const int32_t number = store_.AddRecord(h);
  if (number == 0) {  // outside a transaction the store adds nothing
    MemDispose(h);
    db::Fail(db::kBadCall);
  }
  header_ = h;
  headerNumber_ = number;
  SetHeaderWord(0, number);
  SetHeaderWord(16, keyKind);
  WriteHeader();
  touched_ = HandleList::New(0);
  if (headerNumber != nullptr) *headerNumber = number;
}

dbIndex::~dbIndex() {
  HandleList::Dispose(touched_);
  try {
    store_.ReleaseRecord(headerNumber_);
  } catch (...) {
    // A rolled-back creation leaves no cached header to release.
  }
}

int32_t dbIndex::HeaderWord(uint32_t offset) const {
  // A header dropped by a rollback (its creation was undone) has no words left.
  if (MemGetSize(header_) < kHeaderBytes) db::Fail(db::kNotFound);
  return db::GetI32(*header_, offset);
}

void dbIndex::SetHeaderWord(uint32_t offset, int32_t value) {
  if (MemGetSize(header_) < kHeaderBytes) db::Fail(db::kNotFound);
  db::PutI32(*header_, offset, value);
}

void dbIndex::WriteHeader() { store_.MarkRecordChanged(headerNumber_); }

int32_t dbIndex::GetKeyKind() const { return HeaderWord(16); }

int32_t dbIndex::Count() const { return HeaderWord(12); }

// ---- The key part of the bare index: no keys ----

int32_t dbIndex::Compare(const void*, const void*, int32_t) const { return 0; }
void dbIndex::InsertKey(Handle, int32_t, const void*) {}
void dbIndex::ReplaceKey(Handle, int32_t, const void*) {}
void dbIndex::RemoveKey(Handle, int32_t) {}
const void* dbIndex::GetKey(Handle, int32_t) const { return nullptr; }
void dbIndex::Dump(const std::string&) {}
size_t dbIndex::KeyBytes(const void*) const { return 0; }
bool dbIndex::KeysValid(Handle, int32_t) const { return true; }
bool dbIndex::KeyFits(Handle, const void*) const { return true; }

// ---- Batches and node access ----

void dbIndex::BeginBatch() { ++batchNesting_; }

void dbIndex::EndBatch() {
  if (batchNesting_ > 0) --batchNesting_;
  if (batchNesting_ > 0) return;
  for (uint32_t i = 0, n = HandleList::Count(touched_); i < n; ++i) {
    try {
      store_.ReleaseRecord(HandleList::At(touched_, i));
    } catch (int32_t) {
      // Dropped by a rollback meanwhile: nothing left to unpin.
    }
  }
  HandleList::SetCount(touched_, 0);
}

int32_t dbIndex::Word(Handle node, uint32_t offset) { return db::GetI32(*node, offset); }

void dbIndex::SetWord(Handle node, uint32_t offset, int32_t value) { db::PutI32(*node, offset, value); }

Handle dbIndex::LoadNode(int32_t number) {
  Handle node = store_.ReadRecord(number);
  if (batchNesting_ > 0 && HandleList::IndexOf(touched_, number) < 0) HandleList::Insert(touched_, number);
  const int32_t size = MemGetSize(node);
  const bool sound = size >= NodeSize() && Word(node, kSelf) == number && Word(node, kCount) >= 0 &&
                     Word(node, kCount) <= kMaxEntries &&
                     (Word(node, kInner) == 0 || Word(node, kInner) == 1) && KeysSound(number, node, size);
  if (!sound) db::Fail(db::kDamagedFile);
  return node;
}

// The key part is checked once after the node's bytes came from the file or were changed by
// another reader; this index's own complete changes keep a sound node sound and renew the note.
bool dbIndex::KeysSound(int32_t number, Handle node, int32_t size) {
  const uint8_t tag = KeyCheckTag();
  if (tag != 0 && store_.CheckedAs(number) == tag) return true;
  if (!KeysValid(node, size)) return false;
  if (tag != 0) store_.SetCheckedAs(number, tag);
  return true;
}

void dbIndex::MarkNodeChanged(int32_t number) {
  store_.MarkRecordChanged(number);
  if (const uint8_t tag = KeyCheckTag(); tag != 0) store_.SetCheckedAs(number, tag);
}

void dbIndex::ForgetKeyChecks() {
  for (uint32_t i = 0, n = HandleList::Count(touched_); i < n; ++i) {
    try {
      store_.SetCheckedAs(HandleList::At(touched_, i), 0);
    } catch (int32_t) {
      // Dropped meanwhile: its bytes come from the file when next read.
    }
  }
}

void dbIndex::ReleaseNode(int32_t number) {
  if (batchNesting_ == 0) store_.ReleaseRecord(number);
}

Handle dbIndex::NewNode() {
  Handle node = nullptr;
  Vcon_HandleManager::MemNew(&node, uint32_t(NodeSize()));
  MemClear(node);
  const int32_t number = store_.AddRecord(node);
  if (number == 0) {
    MemDispose(node);
    db::Fail(db::kBadCall);
  }
  SetWord(node, kSelf, number);
  MarkNodeChanged(number);
  if (batchNesting_ > 0) HandleList::Insert(touched_, number);
  return node;
}

void dbIndex::WriteNode(Handle node) { MarkNodeChanged(Word(node, kSelf)); }

void dbIndex::DeleteNode(Handle node) {
  const int32_t number = Word(node, kSelf);
  const int32_t next = Word(node, kNext);
  const int32_t prev = Word(node, kPrev);
  const int32_t at = HandleList::IndexOf(touched_, number);
  if (at >= 0) HandleList::RemoveAt(touched_, uint32_t(at));
  if (FirstLeaf() == number) SetHeaderWord(8, next);
  if (next != 0) {
    Handle n = LoadNode(next);
    SetWord(n, kPrev, prev);
    WriteNode(n);
  }
  if (prev != 0) {
    Handle p = LoadNode(prev);
    SetWord(p, kNext, next);
    WriteNode(p);
  }
  store_.DeleteRecord(number);
}

std::string dbIndex::CopyKey(const void* key) const {
  return std::string(static_cast<const char*>(key), KeyBytes(key));
}

std::string dbIndex::CopyKey(Handle node, int32_t index) const { return CopyKey(GetKey(node, index)); }

// Compare allocates nothing, so the key pointer into the node stays valid without locking it.
int32_t dbIndex::CompareAt(Handle node, int32_t index, const void* key, int32_t mode) const {
  return Compare(GetKey(node, index), key, mode);
}

int32_t dbIndex::StepLimit() const { return store_.LastRecordNumber() + 2; }

void dbIndex::CheckDepth(int32_t depth) const {
  if (depth > kMaxDepth) db::Fail(db::kDamagedFile);
}

// ---- Searches inside one node ----

int32_t dbIndex::NodeSearch(Handle node, const void* key, int32_t mode) const {
  const int32_t count = Word(node, kCount);
  int32_t i = 0;
  while (i < count && CompareAt(node, i, key, mode) < 0) ++i;
  if (Word(node, kInner) == 0) return i;
  if (i == count) return count - 1;
  return i == 0 ? 0 : i - 1;
}

int32_t dbIndex::LastNotAbove(Handle node, const void* key, int32_t mode) const {
  for (int32_t i = Word(node, kCount) - 1; i >= 0; --i)
    if (CompareAt(node, i, key, mode) <= 0) return i;
  return -1;
}

// The first entry at or after (key, tie) in the node's order (keys ascending, ties descending),
// found by halving: exact when that entry is (key, tie) itself, else the slot before it.
dbIndex::Slot dbIndex::Position(Handle node, int32_t tie, const void* key) const {
  int32_t low = 0, high = Word(node, kCount);
  while (low < high) {
    const int32_t mid = low + (high - low) / 2;
    const int32_t c = CompareAt(node, mid, key, 0);
    if (c > 0 || (c == 0 && Word(node, kTies + 4 * uint32_t(mid)) <= tie))
      high = mid;
    else
      low = mid + 1;
  }
  if (low < Word(node, kCount) && Word(node, kTies + 4 * uint32_t(low)) == tie &&
      CompareAt(node, low, key, 0) == 0)
    return {low, true};
  return {low - 1, false};
}

void dbIndex::InsertEntry(Handle node, int32_t i, int32_t value, int32_t tie, const void* key) {
  if (!KeyFits(node, key)) db::Fail(db::kBadCall);
  const int32_t count = Word(node, kCount);
  char* base = *node;
  const size_t moved = 4 * size_t(count - i);
  std::memmove(base + kValues + 4 * (i + 1), base + kValues + 4 * i, moved);
  std::memmove(base + kTies + 4 * (i + 1), base + kTies + 4 * i, moved);
  SetWord(node, kValues + 4 * uint32_t(i), value);
  SetWord(node, kTies + 4 * uint32_t(i), tie);
  SetWord(node, kCount, count + 1);
  InsertKey(node, i, key);
}

void dbIndex::RemoveEntry(Handle node, int32_t i) {
  const int32_t count = Word(node, kCount);
  char* base = *node;
  const size_t moved = 4 * size_t(count - i - 1);
  std::memmove(base + kValues + 4 * i, base + kValues + 4 * (i + 1), moved);
  std::memmove(base + kTies + 4 * i, base + kTies + 4 * (i + 1), moved);
  RemoveKey(node, i);
  SetWord(node, kCount, count - 1);
}

void dbIndex::AppendEntryOf(Handle to, Handle from, int32_t i) {
  const std::string key = CopyKey(from, i);
  InsertEntry(to, Word(to, kCount), Word(from, kValues + 4 * uint32_t(i)),
              Word(from, kTies + 4 * uint32_t(i)), key.data());
}

// ---- Queries ----

int32_t dbIndex::Find(const void* keyIn, int32_t* value) {
  *value = 0;
  if (Root() == 0) return db::kNotFound;
  const std::string key = CopyKey(keyIn);
  int32_t number = Root();
  for (int32_t steps = 0; steps <= StepLimit(); ++steps) {
    Handle node = LoadNode(number);
    const int32_t i = NodeSearch(node, key.data(), 0);
    const int32_t count = Word(node, kCount);
    const bool inner = Word(node, kInner) != 0;
    int32_t next = 0;
    if (i >= count) {
      next = Word(node, kNext);
    } else if (inner) {
      next = i < 0 ? 0 : Word(node, kValues + 4 * uint32_t(i));
    } else if (CompareAt(node, i, key.data(), 0) == 0) {
      *value = Word(node, kValues + 4 * uint32_t(i));
    }
    ReleaseNode(number);
    if (next == 0) return *value == 0 ? db::kNotFound : 0;
    number = next;
  }
  db::Fail(db::kDamagedFile);
}

Handle dbIndex::Range(const void* lowIn, const void* highIn) {
  Handle result = HandleList::New(0);
  try {
    if (Root() == 0) return result;
    const int32_t mode = highIn == nullptr ? 2 : 0;
    const std::string low = CopyKey(lowIn);
    const std::string high = highIn == nullptr ? low : CopyKey(highIn);
    if (Compare(low.data(), high.data(), mode) > 0) return result;

    // The first leaf entry not below low.
    int32_t startLeaf = Root(), startIndex = 0;
    for (int32_t steps = 0;; ++steps) {
      if (steps > StepLimit()) db::Fail(db::kDamagedFile);
      Handle node = LoadNode(startLeaf);
      const int32_t i = std::max(NodeSearch(node, low.data(), mode), 0);
      const int32_t count = Word(node, kCount);
      if (count == 0 && Word(node, kInner) != 0) db::Fail(db::kDamagedFile);
      int32_t next = 0;
      if (i >= count && Word(node, kNext) != 0)
        next = Word(node, kNext);
      else if (Word(node, kInner) != 0)
        next = Word(node, kValues + 4 * uint32_t(i));
      else
        startIndex = i;
      ReleaseNode(startLeaf);
      if (next == 0) break;
      startLeaf = next;
    }
    // The last leaf entry not above high.
    int32_t endLeaf = Root(), endIndex = -1;
    for (int32_t depth = 0;; ++depth) {
      CheckDepth(depth);
      Handle node = LoadNode(endLeaf);
      const int32_t i = LastNotAbove(node, high.data(), mode);
      const bool inner = Word(node, kInner) != 0;
      const int32_t child = i >= 0 && inner ? Word(node, kValues + 4 * uint32_t(i)) : 0;
      ReleaseNode(endLeaf);
      if (i < 0) return result;
      if (!inner) {
        endIndex = i;
        break;
      }
      endLeaf = child;
    }
    // Copy from the start entry to the end entry along the leaf level; the list grows once.
    std::vector<int32_t> values;
    int32_t number = startLeaf;
    for (int32_t steps = 0; number != 0; ++steps) {
      if (steps > StepLimit()) db::Fail(db::kDamagedFile);
      Handle leaf = LoadNode(number);
      if (number == startLeaf && Word(leaf, kPrev) == endLeaf && endLeaf != 0) {
        ReleaseNode(number);
        break;
      }
      const int32_t from = number == startLeaf ? startIndex : 0;
      const int32_t to = number == endLeaf ? endIndex : Word(leaf, kCount) - 1;
      for (int32_t i = from; i <= to; ++i) values.push_back(Word(leaf, kValues + 4 * uint32_t(i)));
      const int32_t next = Word(leaf, kNext);
      ReleaseNode(number);
      if (number == endLeaf) break;
      number = next;
    }
    HandleList::Append(result, values.data(), uint32_t(values.size()));
    return result;
  } catch (...) {
    HandleList::Dispose(result);
    throw;
  }
}

Handle dbIndex::AllValues() {
  const int32_t count = Count();
  if (count < 0) db::Fail(db::kDamagedFile);
  // The count comes from the file: it sizes nothing before the leaves confirm it.
  Handle result = HandleList::New(uint32_t(std::min(count, 1024)));
  try {
    int32_t number = FirstLeaf();
    for (int32_t steps = 0; number != 0; ++steps) {
      if (steps > StepLimit()) db::Fail(db::kDamagedFile);
      Handle leaf = LoadNode(number);
      for (int32_t i = 0, n = Word(leaf, kCount); i < n; ++i) {
        if (int32_t(HandleList::Count(result)) >= count) db::Fail(db::kDamagedFile);
        HandleList::Insert(result, Word(leaf, kValues + 4 * uint32_t(i)));
      }
      const int32_t next = Word(leaf, kNext);
      ReleaseNode(number);
      number = next;
    }
    if (int32_t(HandleList::Count(result)) != count) db::Fail(db::kDamagedFile);
  } catch (...) {
    HandleList::Dispose(result);
    throw;
  }
  return result;
}

// ---- Insertion ----

void dbIndex::Insert(int32_t value, int32_t tie, const void* keyIn) {
  Batch batch(*this);
  const std::string key = CopyKey(keyIn);
  if (Root() == 0) {
    Handle root = NewNode();
    SetWord(root, kInner, 1);
    Handle leaf = NewNode();
    const int32_t leafNumber = Word(leaf, kSelf);
    SetHeaderWord(4, Word(root, kSelf));
    InsertEntry(leaf, 0, value, tie, key.data());
    InsertEntry(root, 0, leafNumber, tie, key.data());
    SetHeaderWord(8, leafNumber);
    WriteNode(root);
    WriteNode(leaf);
  } else {
    if (Descent(LoadNode(Root()), value, tie, key.data(), 0) == Outcome::kFull)
      GrowRoot(value, tie, key.data());
    // The root is pinned by this batch and was checked when the descent loaded it (or made new).
    MarkNodeChanged(Root());
  }
  SetHeaderWord(12, Count() + 1);
  WriteHeader();
}

// The root is full: a new root takes the old one and its split-off half as its two children.
void dbIndex::GrowRoot(int32_t value, int32_t tie, const void* key) {
  Handle old = LoadNode(Root());
  Handle sibling = Split(old);
  Handle root = NewNode();
  SetHeaderWord(4, Word(root, kSelf));
  AppendEntryOf(root, old, 0);
  SetWord(root, kValues, Word(old, kSelf));
  AppendEntryOf(root, sibling, 0);
  SetWord(root, kValues + 4, Word(sibling, kSelf));
  SetWord(root, kInner, 1);
  if (Descent(root, value, tie, key, 0) == Outcome::kFull) db::Fail(db::kNodeFull);
  WriteNode(old);
  WriteNode(root);
  WriteNode(sibling);
}

// Inserts below `node`; kFull when `node` is a full leaf or a full inner node whose full child could
// not be split here (the caller then splits `node` and tries again).
dbIndex::Outcome dbIndex::Descent(Handle node, int32_t value, int32_t tie, const void* key, int32_t depth) {
  CheckDepth(depth);
  for (int32_t attempt = 0; attempt <= kMaxEntries; ++attempt) {
    const Slot slot = Position(node, tie, key);
    if (Word(node, kInner) == 0) {
      if (Word(node, kCount) >= kMaxEntries) return Outcome::kFull;
      InsertEntry(node, slot.index + 1, value, tie, key);
      WriteNode(node);
      return slot.index < 0 ? Outcome::kFirstChanged : Outcome::kInserted;
    }
    const int32_t i = std::max(slot.index, 0);
    Handle child = LoadNode(Word(node, kValues + 4 * uint32_t(i)));
    const Outcome below = Descent(child, value, tie, key, depth + 1);
    if (below == Outcome::kFull) {
      if (Word(node, kCount) >= kMaxEntries) return Outcome::kFull;
      Handle sibling = Split(child);
      const std::string siblingKey = CopyKey(sibling, 0);
      InsertEntry(node, i + 1, Word(sibling, kSelf), Word(sibling, kTies), siblingKey.data());
      WriteNode(node);
      continue;
    }
    if (below == Outcome::kInserted) return Outcome::kInserted;
    RefreshSeparator(node, i, child);
    WriteNode(node);
    return i == 0 ? Outcome::kFirstChanged : Outcome::kInserted;
  }
  db::Fail(db::kDamagedFile);
}

void dbIndex::RefreshSeparator(Handle parent, int32_t i, Handle child) {
  const std::string key = CopyKey(child, 0);
  SetWord(parent, kTies + 4 * uint32_t(i), Word(child, kTies));
  ReplaceKey(parent, i, key.data());
}

Handle dbIndex::Split(Handle node) {
  Handle sibling = NewNode();
  const int32_t count = Word(node, kCount);
  for (int32_t j = kMaxEntries / 2; j < count; ++j) AppendEntryOf(sibling, node, j);
  for (int32_t j = count - 1; j >= kMaxEntries / 2; --j) RemoveEntry(node, j);
  const int32_t oldNext = Word(node, kNext);
  SetWord(sibling, kNext, oldNext);
  SetWord(sibling, kPrev, Word(node, kSelf));
  SetWord(sibling, kInner, Word(node, kInner));
  SetWord(node, kNext, Word(sibling, kSelf));
  WriteNode(node);
  WriteNode(sibling);
  if (oldNext != 0) {
    Handle next = LoadNode(oldNext);
    SetWord(next, kPrev, Word(sibling, kSelf));
    WriteNode(next);
  }
  return sibling;
}

// ---- Removal ----

void dbIndex::Remove(int32_t, int32_t tie, const void* keyIn) {
  Batch batch(*this);
  if (Root() == 0) db::Fail(db::kNotFound);
  const std::string key = CopyKey(keyIn);
  Handle root = LoadNode(Root());
  const int32_t flags = Shrink(root, tie, key.data(), 0);
  WriteNode(root);
  if (flags & kUnderfull) {
    const int32_t count = Word(root, kCount);
    if (count == 1) {
      const int32_t child = Word(root, kValues);
      if (Word(LoadNode(child), kInner) != 0) {
        DeleteNode(root);
        SetHeaderWord(4, child);
      }
    } else if (count == 0) {
      DeleteNode(root);
      SetHeaderWord(4, 0);
      SetHeaderWord(8, 0);
    }
  }
  SetHeaderWord(12, Count() - 1);
  WriteHeader();
}

int32_t dbIndex::Shrink(Handle node, int32_t tie, const void* key, int32_t depth) {
  CheckDepth(depth);
  const Slot slot = Position(node, tie, key);
  if (Word(node, kInner) == 0) {
    if (!slot.exact) db::Fail(db::kNotFound);
    RemoveEntry(node, slot.index);
    WriteNode(node);
    int32_t flags = slot.index == 0 ? kFirstChanged : 0;
    if (Word(node, kCount) < kMinEntries) flags |= kUnderfull;
    return flags;
  }
  const int32_t i = std::max(slot.index, 0);
  Handle child = LoadNode(Word(node, kValues + 4 * uint32_t(i)));
  const int32_t result = Shrink(child, tie, key, depth + 1);
  int32_t flags = 0;
  if (result & kFirstChanged) {
    // An emptied child has no first entry: its old separator still orders every search.
    if (Word(child, kCount) > 0) {
      RefreshSeparator(node, i, child);
      WriteNode(node);
    }
    if (i < 1) flags = kFirstChanged;
  }
  if (result & kUnderfull) {
    flags = Rebalance(node, i);
    if (Word(node, kCount) < kMinEntries) flags |= kUnderfull;
  }
  return flags;
}

int32_t dbIndex::Rebalance(Handle parent, int32_t i) {
  const int32_t parentCount = Word(parent, kCount);
  if (parentCount == 1) return kNothingToJoin;
  if (i == parentCount - 1) --i;
  Handle left = LoadNode(Word(parent, kValues + 4 * uint32_t(i)));
  Handle right = LoadNode(Word(parent, kValues + 4 * uint32_t(i + 1)));
  const int32_t leftCount = Word(left, kCount);
  const int32_t rightCount = Word(right, kCount);
  const int32_t total = leftCount + rightCount;
  if (total <= kMaxEntries) {
    for (int32_t j = 0; j < rightCount; ++j) AppendEntryOf(left, right, j);
    for (int32_t j = rightCount - 1; j >= 0; --j) RemoveEntry(right, j);
    WriteNode(left);
    WriteNode(right);
    DeleteNode(right);
    RemoveEntry(parent, i + 1);
    WriteNode(parent);
    return Word(parent, kCount) < kMinEntries ? kUnderfull : 0;
  }
  const int32_t half = total / 2;
  if (leftCount < half) {
    const int32_t moving = half - leftCount;
    for (int32_t j = 0; j < moving; ++j) AppendEntryOf(left, right, j);
    for (int32_t j = moving - 1; j >= 0; --j) RemoveEntry(right, j);
    RefreshSeparator(parent, i + 1, right);
    WriteNode(left);
    WriteNode(right);
    WriteNode(parent);
  }
  return 0;
}

// ---- Clearing ----

void dbIndex::Clear() {
  Batch batch(*this);
  if (Root() != 0) ClearBelow(LoadNode(Root()), 0);
  SetHeaderWord(4, 0);
  SetHeaderWord(8, 0);
  SetHeaderWord(12, 0);
  WriteHeader();
}

// Deletes the children of an inner node from the last to the first, depth first, then the node.
void dbIndex::ClearBelow(Handle node, int32_t depth) {
  CheckDepth(depth);
  if (Word(node, kInner) != 0) {
    for (int32_t i = Word(node, kCount) - 1; i >= 0; --i)
      ClearBelow(LoadNode(Word(node, kValues + 4 * uint32_t(i))), depth + 1);
  }
  const int32_t number = Word(node, kSelf);
  const int32_t at = HandleList::IndexOf(touched_, number);
  if (at >= 0) HandleList::RemoveAt(touched_, uint32_t(at));
  store_.DeleteRecord(number);
}
