#pragma once
// The live drawing objects by id, for handle look-ups. Ids come in counting order and are never given
// twice, so an id's low bits already spread the objects alive at one time over distinct slots: an open
// table probed from slot (id mod size) finds most objects at the first probe and holds no node per
// object. Not locked: its one owner (GdiObject's registry) locks around every call.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

class GdiObject;

class GdiObjectTable {
 public:
  // `id` is not zero and not in the table.
  void Insert(uintptr_t id, GdiObject* object);
  // The object of `id`, or null.
  GdiObject* Find(uintptr_t id) const;
  // Removes `id` when it is in the table.
  void Erase(uintptr_t id);
  size_t Count() const { return count_; }

 private:
  struct Slot {
    uintptr_t id = 0;  // 0: free
    GdiObject* object = nullptr;
  };
  size_t Mask() const { return slots_.size() - 1; }
  void Grow();

  std::vector<Slot> slots_;  // a power of two long, at most half full
  size_t count_ = 0;
};

}  // namespace plat
