#pragma once
// A small counted list of pointers kept in a handle of the zone: views keep their subviews in one and
// the cursor table its cursors. It grows by 8 entries when an insertion finds it full. Insertion at
// -1, or at an index not below the count, appends; removal outside 0..count-1 is ignored.

#include <cstdint>
#include <cstring>

#include "foundation/Vcon_HandleManager.h"

template <typename T>
class ppList {
 public:
  static constexpr int32_t kGrowth = 8;

  ppList() = default;
  virtual ~ppList() { MemDispose(items_); }
  ppList(const ppList&) = delete;
  ppList& operator=(const ppList&) = delete;

  int32_t Count() const { return count_; }
  int32_t Capacity() const { return capacity_; }
  T At(int32_t index) const { return Data()[index]; }

  void Insert(T item, int32_t index) {
    if (count_ == capacity_) Grow();
    if (index < 0 || index >= count_) index = count_;
    T* data = Data();
    std::memmove(data + index + 1, data + index, sizeof(T) * static_cast<size_t>(count_ - index));
    data[index] = item;
    ++count_;
  }
  void Append(T item) { Insert(item, -1); }

  void RemoveAt(int32_t index) {
    if (index < 0 || index >= count_) return;
    T* data = Data();
    std::memmove(data + index, data + index + 1, sizeof(T) * static_cast<size_t>(count_ - index - 1));
    --count_;
  }

  // The position of the item, or -1 when it is not in the list.
  int32_t Find(T item) const {
    for (int32_t i = 0; i < count_; ++i) {
      if (Data()[i] == item) return i;
    }
    return -1;
  }
  // The position of the item, and 0 when it is not in the list (callers that know it is there use it).
  int32_t IndexOf(T item) const {
    int32_t i = Find(item);
    return i < 0 ? 0 : i;
  }

 private:
  T* Data() const { return items_ ? reinterpret_cast<T*>(*items_) : nullptr; }
  void Grow() {
    capacity_ += kGrowth;
    uint32_t bytes = static_cast<uint32_t>(sizeof(T)) * static_cast<uint32_t>(capacity_);
    if (!items_) {
      Vcon_HandleManager::MemNew(&items_, bytes);
    } else {
      MemSetSize(items_, bytes);
    }
  }

  int32_t count_ = 0;
  int32_t capacity_ = 0;
  Handle items_ = nullptr;
};
