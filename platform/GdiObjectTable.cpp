#include "platform/GdiObjectTable.h"

namespace plat {

void GdiObjectTable::Insert(uintptr_t id, GdiObject* object) {
  if ((count_ + 1) * 2 > slots_.size()) Grow();
  size_t i = id & Mask();
  while (slots_[i].id != 0) i = (i + 1) & Mask();
  slots_[i] = Slot{id, object};
  ++count_;
}

GdiObject* GdiObjectTable::Find(uintptr_t id) const {
  if (slots_.empty() || id == 0) return nullptr;
  for (size_t i = id & Mask(); slots_[i].id != 0; i = (i + 1) & Mask())
    if (slots_[i].id == id) return slots_[i].object;
  return nullptr;
}

void GdiObjectTable::Erase(uintptr_t id) {
  if (slots_.empty() || id == 0) return;
  size_t hole = id & Mask();
  while (slots_[hole].id != id) {
    if (slots_[hole].id == 0) return;
    hole = (hole + 1) & Mask();
  }
  // Later entries of the same run move back into the hole when their home slot is not past it, so
  // that every entry stays reachable from its home without marks left for the removed ones.
  for (size_t next = (hole + 1) & Mask(); slots_[next].id != 0; next = (next + 1) & Mask()) {
    const size_t home = slots_[next].id & Mask();
    const bool homeAfterHole = hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
    if (homeAfterHole) continue;
    slots_[hole] = slots_[next];
    hole = next;
  }
  slots_[hole] = Slot{};
  --count_;
}

void GdiObjectTable::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 256 : old.size() * 2, Slot{});
  count_ = 0;
  for (const Slot& slot : old)
    if (slot.id != 0) Insert(slot.id, slot.object);
}

}  // namespace plat
