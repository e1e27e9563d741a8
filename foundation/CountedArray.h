// A growable array of 32-bit values that keeps its count in front: one heap block of words, word 0
// the number n of elements and words 1 to n the elements. The empty array is a block of one word
// holding 0. The array owns its block; Block() lends it to callers that walk the words themselves.
#pragma once

#include <cstdint>

class CountedArray {
 public:
  CountedArray();
  // An array with the elements 1 to n of the counted block `source` (null counts as empty).
  explicit CountedArray(const int32_t* source);
  CountedArray(const CountedArray& other);
  CountedArray(CountedArray&& other);
  CountedArray& operator=(CountedArray other) noexcept;
  ~CountedArray();

  // Adds `value` as element n + 1. Every append moves the array into a new block one word longer,
  // so addresses taken from Block() are stale afterwards.
  void Append(int32_t value);

  int32_t Count() const { return block_[0]; }
  // Element i, counted from 1 as stored.
  int32_t At(int32_t i) const { return block_[i]; }
  const int32_t* Block() const { return block_; }

 private:
  int32_t* block_;
};
