#include "foundation/CountedArray.h"

#include <algorithm>
#include <utility>

CountedArray::CountedArray() : block_(new int32_t[1]{0}) {}

CountedArray::CountedArray(const int32_t* source) : CountedArray() {
  if (!source) return;
  for (int32_t i = 1; i <= source[0]; ++i) Append(source[i]);
}

CountedArray::CountedArray(const CountedArray& other) : CountedArray(other.block_) {}

CountedArray::CountedArray(CountedArray&& other) : block_(new int32_t[1]{0}) {
  std::swap(block_, other.block_);
}

CountedArray& CountedArray::operator=(CountedArray other) noexcept {
  std::swap(block_, other.block_);
  return *this;
}

CountedArray::~CountedArray() { delete[] block_; }

void CountedArray::Append(int32_t value) {
  const int32_t n = block_[0];
  int32_t* grown = new int32_t[n + 2];
  std::copy(block_, block_ + n + 1, grown);
  delete[] block_;
  block_ = grown;
  block_[0] = n + 1;
  block_[n + 1] = value;
}
