// The lookups of the line merging, kept beside the lines of one calculation table so that adding a
// contribution or taking an element out reads only the lines that can answer, not every line. Per
// line it keeps what the lookups ask about: a digest of all the merge keys, a digest of the article
// keys (tag, price link, dimensions), the line's own plan element and the element keys its
// "elements" list holds. Every lookup answers the lines, in list order, whose entry equals the one
// asked for; the table reads those lines and applies its exact test, so a shared digest only costs a
// read, never a wrong answer.
//
// The table keeps the entries in step with its records: every insert, write and delete passes here.
// An append and a write update the lookups at once; an insert before the end or a delete shifts the
// positions, and the lookups are then rebuilt from the kept entries at the next question (no line is
// read for that). After the lines were reloaded behind its back the table calls Forget and refills
// the entries by reading every line once. Elements are not owned. User-interface thread only.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

class zelvproElement;

class CalculationLineIndex {
 public:
  struct Entry {
    uint64_t allKeys = 0;      // digest of every merge key
    uint64_t articleKeys = 0;  // digest of tag, price link and dimensions
    const zelvproElement* owner = nullptr;
    std::vector<int32_t> listed;  // element keys of the line's list, each once
  };

  // False after Forget until Reset.
  bool Known() const { return known_; }
  int32_t Count() const { return int32_t(lines_.size()); }
  void Forget();
  void Reset(std::vector<Entry> lines);

  // A line at i (clamped to 0 .. Count()).
  void Insert(int32_t i, Entry entry);
  void Write(int32_t i, Entry entry);
  void Erase(int32_t i);

  // No line is owned by `element` any more.
  void ForgetOwner(const zelvproElement* element);

  // The lines, ascending, with that digest, owner or listed key.
  const std::vector<int32_t>& WithAllKeys(uint64_t digest);
  const std::vector<int32_t>& WithArticleKeys(uint64_t digest);
  const std::vector<int32_t>& OwnedBy(const zelvproElement* element);
  const std::vector<int32_t>& Listing(int32_t key);

 private:
  void Add(int32_t i, const Entry& entry);
  void Remove(int32_t i, const Entry& entry);
  void Refresh();

  std::vector<Entry> lines_;
  std::unordered_map<uint64_t, std::vector<int32_t>> all_, article_;
  std::unordered_map<const zelvproElement*, std::vector<int32_t>> owner_;
  std::unordered_map<int32_t, std::vector<int32_t>> listing_;
  bool known_ = true;
  bool stale_ = false;  // positions shifted: the lookups are rebuilt before the next answer
};
