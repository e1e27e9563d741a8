// A table from 64-bit keys to small values in one array (open addressing, linear probing), for the
// indexes the corner steps of a room rebuild keep and drop within one rebuild: a look-up reads one
// or two neighbouring slots instead of following a node pointer. Keys are any 64-bit values
// (addresses, cell numbers); nothing is ever removed. The table owns its slots; one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

template <typename Value>
class FlatKeyTable {
 public:
  // The value under `key`, or null; the address holds until the next insertion.
  Value* Find(uint64_t key) {
    if (slots_.empty()) return nullptr;
    for (size_t i = Home(key);; i = (i + 1) & mask_) {
      Slot& s = slots_[i];
      if (!s.used) return nullptr;
      if (s.key == key) return &s.value;
    }
  }
  const Value* Find(uint64_t key) const { return const_cast<FlatKeyTable*>(this)->Find(key); }
  // The value under `key`, which must be there.
  const Value& At(uint64_t key) const {
    const Value* v = Find(key);
    if (v == nullptr) throw std::out_of_range("FlatKeyTable::At");
    return *v;
  }
  // Puts `value` under `key` unless the key is there; the value under the key, and whether it was
  // put now.
  std::pair<Value*, bool> Emplace(uint64_t key, const Value& value) {
    // At most half full, so that a probe run stays short.
    if (2 * (count_ + 1) > slots_.size()) Grow();
    for (size_t i = Home(key);; i = (i + 1) & mask_) {
      Slot& s = slots_[i];
      if (s.used && s.key == key) return {&s.value, false};
      if (!s.used) {
        s = Slot{key, value, true};
        ++count_;
        return {&s.value, true};
      }
    }
  }
  size_t Size() const { return count_; }

 private:
  struct Slot {
    uint64_t key = 0;
    Value value{};
    bool used = false;
  };
  // The top bits of the key times 2^64 / golden ratio: neighbouring cells and addresses spread.
  size_t Home(uint64_t key) const { return size_t((key * 0x9E3779B97F4A7C15ull) >> shift_); }
  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    const size_t size = old.empty() ? 16 : old.size() * 2;
    slots_.assign(size, Slot{});
    mask_ = size - 1;
    shift_ = 64;
    for (size_t s = size; s > 1; s >>= 1) --shift_;
    count_ = 0;
    for (const Slot& s : old)
      if (s.used) Emplace(s.key, s.value);
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0, count_ = 0;
  int shift_ = 64;
};
