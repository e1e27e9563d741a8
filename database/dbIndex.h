// A B+ tree over the records of one store: entries (key, tie, value) ordered by key ascending and,
// among equal keys, by tie descending. Nodes are ordinary store records of at most 32 entries,
// linked to their neighbours on each level; a 20-byte header record {self, root, firstLeaf, count,
// keyKind} describes the tree. The root is always an inner node; leaves hold the values returned by
// queries, inner nodes the record numbers of their children.
//
// dbIndex holds the algorithm; the key classes (dbNumIndex, dbStrIndex) say how keys are stored in a
// node and compared. The index changes records only: the caller's transaction decides when they
// reach the file. The store must outlive the index. Handles returned by queries are the caller's.
//
// Node record (little-endian): 0 self, 4 next, 8 prev, 12 count, 16 inner, 20 values[64] (32 used),
// 276 ties[32], 404 the key class's part (NodeSize bytes in all).
#pragma once

#include <cstdint>
#include <string>

#include "foundation/Vcon_HandleManager.h"

class dbStore;

class dbIndex {
 public:
  static constexpr int32_t kMaxEntries = 32;
  static constexpr int32_t kMinEntries = 14;  // fewer is underfull
  static constexpr uint32_t kSelf = 0, kNext = 4, kPrev = 8, kCount = 12, kInner = 16;
  static constexpr uint32_t kValues = 20, kTies = 276, kKeyPart = 404;
  static constexpr int32_t kNumericKeys = 0, kTextKeys = 1;

  dbIndex(int32_t headerNumber, dbStore& store);                    // opens an existing tree
  dbIndex(int32_t* headerNumber, int32_t keyKind, dbStore& store);  // creates one (in a transaction)
  virtual ~dbIndex();
  dbIndex(const dbIndex&) = delete;
  dbIndex& operator=(const dbIndex&) = delete;

  // Keys are passed by address: a pointer to an int32_t or to a NUL-terminated text.
  void Insert(int32_t value, int32_t tie, const void* key);
  void Remove(int32_t value, int32_t tie, const void* key);  // db::kNotFound when (key, tie) is absent
  int32_t Find(const void* key, int32_t* value);             // 0, or db::kNotFound with *value = 0
  // Values of entries with low <= key <= high in tree order; a null high selects the entries that
  // match low in prefix mode. The returned HandleList is the caller's.
  Handle Range(const void* low, const void* high);
  Handle Equal(const void* key) { return Range(key, nullptr); }
  Handle AllValues();
  void Clear();
  int32_t GetKeyKind() const;
  int32_t Count() const;
  int32_t HeaderNumber() const { return headerNumber_; }
  void BeginBatch();
  void EndBatch();

  virtual int32_t NodeSize() const { return 404; }
  virtual int32_t Compare(const void* a, const void* b, int32_t mode) const;
  virtual void InsertKey(Handle node, int32_t index, const void* key);
  virtual void ReplaceKey(Handle node, int32_t index, const void* key);
  virtual void RemoveKey(Handle node, int32_t index);
  virtual const void* GetKey(Handle node, int32_t index) const;
  virtual void Dump(const std::string& path);

 protected:
  // Bytes of a key at `key` (4, or the text with its NUL); 0 for the bare index.
  virtual size_t KeyBytes(const void* key) const;
  // Whether the key part of a node of `size` bytes is sound (offsets inside the record).
  virtual bool KeysValid(Handle node, int32_t size) const;
  // Whether `key` can join the node without outgrowing its key space; checked before any change.
  virtual bool KeyFits(Handle node, const void* key) const;
  // The store's tag for nodes whose key part passed KeysValid (dbStore::SetCheckedAs); 0 when the
  // key class checks nothing worth remembering.
  virtual uint8_t KeyCheckTag() const { return 0; }

  dbStore& Store() const { return store_; }
  int32_t Root() const { return HeaderWord(4); }
  int32_t FirstLeaf() const { return HeaderWord(8); }
  Handle LoadNode(int32_t number);
  void ReleaseNode(int32_t number);
  static int32_t Word(Handle node, uint32_t offset);

 private:
  struct Slot {
    int32_t index;
    bool exact;
  };
  // What an insertion below a node did: the entry went in (changing the node's first key or not),
  // or the node was full.
  enum class Outcome { kInserted, kFirstChanged, kFull };
  class Batch;

  int32_t HeaderWord(uint32_t offset) const;
  void SetHeaderWord(uint32_t offset, int32_t value);
  void WriteHeader();

  Handle NewNode();
  void WriteNode(Handle node);
  void MarkNodeChanged(int32_t number);
  bool KeysSound(int32_t number, Handle node, int32_t size);
  void ForgetKeyChecks();
  void DeleteNode(Handle node);
  static void SetWord(Handle node, uint32_t offset, int32_t value);
  std::string CopyKey(Handle node, int32_t index) const;
  std::string CopyKey(const void* key) const;
  int32_t CompareAt(Handle node, int32_t index, const void* key, int32_t mode) const;

  int32_t NodeSearch(Handle node, const void* key, int32_t mode) const;
  int32_t LastNotAbove(Handle node, const void* key, int32_t mode) const;
  Slot Position(Handle node, int32_t tie, const void* key) const;
  void InsertEntry(Handle node, int32_t i, int32_t value, int32_t tie, const void* key);
  void RemoveEntry(Handle node, int32_t i);
  void AppendEntryOf(Handle to, Handle from, int32_t i);

  Outcome Descent(Handle node, int32_t value, int32_t tie, const void* key, int32_t depth);
  void GrowRoot(int32_t value, int32_t tie, const void* key);
  Handle Split(Handle node);
  int32_t Shrink(Handle node, int32_t tie, const void* key, int32_t depth);
  int32_t Rebalance(Handle parent, int32_t i);
  void RefreshSeparator(Handle parent, int32_t i, Handle child);
  void ClearBelow(Handle node, int32_t depth);
  int32_t StepLimit() const;
  void CheckDepth(int32_t depth) const;

  dbStore& store_;
  int32_t headerNumber_ = 0;
  Handle header_ = nullptr;   // the store's cached header record, pinned while the index lives
  Handle touched_ = nullptr;  // HandleList of nodes pinned during the current batch
  int32_t batchNesting_ = 0;
};
