#pragma once
// The growable array under a region's rows and spans: the first N elements live inside the owner, so
// that a rectangle or a region of a few bands (the clips and frames of nearly every drawing call) is
// made, copied and freed without the heap. Only for plain values (copied as bytes).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace plat {

template <class T, size_t N>
class RegionStorage {
  static_assert(std::is_trivially_copyable_v<T> && N > 0);

 public:
  RegionStorage() = default;
  RegionStorage(const RegionStorage& other) { Assign(other); }
  RegionStorage(RegionStorage&& other) noexcept { Take(other); }
  RegionStorage& operator=(const RegionStorage& other) {
    if (this != &other) {
      size_ = 0;
      Assign(other);
    }
    return *this;
  }
  RegionStorage& operator=(RegionStorage&& other) noexcept {
    if (this != &other) {
      Free();
      Take(other);
    }
    return *this;
  }
  ~RegionStorage() { Free(); }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return heap_ ? heap_ : inline_; }
  const T* data() const { return heap_ ? heap_ : inline_; }
  T* begin() { return data(); }
  T* end() { return data() + size_; }
  const T* begin() const { return data(); }
  const T* end() const { return data() + size_; }
  T& operator[](size_t i) { return data()[i]; }
  const T& operator[](size_t i) const { return data()[i]; }
  T& front() { return data()[0]; }
  T& back() { return data()[size_ - 1]; }
  const T& front() const { return data()[0]; }
  const T& back() const { return data()[size_ - 1]; }

  void clear() { size_ = 0; }
  void reserve(size_t count) {
    if (count > capacity_) Grow(count);
  }
  void push_back(const T& value) {
    if (size_ == capacity_) {
      const T copy = value;  // `value` may live in the block about to move
      Grow(size_ + 1);
      data()[size_++] = copy;
      return;
    }
    data()[size_++] = value;
  }
  // Appends `count` values from outside this storage.
  void append(const T* values, size_t count) {
    reserve(size_ + count);
    if (count) std::memcpy(static_cast<void*>(data() + size_), values, count * sizeof(T));
    size_ += uint32_t(count);
  }
  // Shortens to `count` elements (never lengthens).
  void truncate(size_t count) { size_ = uint32_t(std::min<size_t>(count, size_)); }
  // Makes room for `count` elements at `at`; what was there and after moves up, the new ones are
  // left as they were.
  void open(size_t at, size_t count) {
    reserve(size_ + count);
    T* d = data();
    std::memmove(static_cast<void*>(d + at + count), d + at, (size_ - at) * sizeof(T));
    size_ += uint32_t(count);
  }
  // Removes the elements [from, to).
  void erase(size_t from, size_t to) {
    T* d = data();
    std::memmove(static_cast<void*>(d + from), d + to, (size_ - to) * sizeof(T));
    size_ -= uint32_t(to - from);
  }

  friend bool operator==(const RegionStorage& a, const RegionStorage& b) {
    return a.size_ == b.size_ && std::equal(a.begin(), a.end(), b.begin());
  }

 private:
  void Grow(size_t atLeast) {
    const size_t capacity = std::max<size_t>(atLeast, size_t(capacity_) * 2);
    T* block = static_cast<T*>(std::malloc(capacity * sizeof(T)));
    if (!block) throw std::bad_alloc();
    if (size_) std::memcpy(static_cast<void*>(block), data(), size_ * sizeof(T));
    std::free(heap_);
    heap_ = block;
    capacity_ = uint32_t(capacity);
  }
  void Free() {
    std::free(heap_);
    heap_ = nullptr;
    capacity_ = N;
    size_ = 0;
  }
  // Copies `other` into this (empty) storage, keeping a block already big enough.
  void Assign(const RegionStorage& other) {
    reserve(other.size_);
    if (other.size_) std::memcpy(static_cast<void*>(data()), other.data(), other.size_ * sizeof(T));
    size_ = other.size_;
  }
  // Takes `other`'s block, or copies its inline elements, leaving it empty; this holds no block.
  void Take(RegionStorage& other) {
    if (other.heap_) {
      heap_ = other.heap_;
      capacity_ = other.capacity_;
      other.heap_ = nullptr;
      other.capacity_ = N;
    } else if (other.size_) {
      std::memcpy(static_cast<void*>(inline_), other.inline_, other.size_ * sizeof(T));
    }
    size_ = other.size_;
    other.size_ = 0;
  }

  T* heap_ = nullptr;  // owned; null while the elements fit inline
  uint32_t size_ = 0;
  uint32_t capacity_ = N;
  T inline_[N];
};

}  // namespace plat
