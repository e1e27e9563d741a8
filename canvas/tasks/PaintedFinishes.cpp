#include "canvas/tasks/PaintedFinishes.h"

#include "elements/base/zelvproElement.h"

namespace {

// Bits 0 to 31 of a colour mask stand for colour groups 1 to 32.
constexpr int32_t kGroupBits = 32;

}  // namespace

void PaintedFinishes::Keep(zelvproElement& unit) {
  Before before;
  before.own = unit.GetColorRecordIdClamped(unit.extraA);
  const uint32_t groups = unit.CollectBitMask(false);
  for (int32_t bit = 0; bit < kGroupBits; ++bit)
    if ((groups & (uint32_t{1} << bit)) != 0) before.groups.emplace_back(bit, unit.GetColorRecordId(bit + 1));
  kept_.push_back(std::move(before));
}

void PaintedFinishes::Restore(size_t i, zelvproElement& unit, zelvDatabase* source) const {
  // The own finish first over the whole unit, then each group's over its parts.
  unit.ApplyColorRecord(kept_[i].own, source, -1);
  for (const auto& [bit, colour] : kept_[i].groups)
    unit.ApplyColorRecord(colour, source, int32_t(uint32_t{1} << bit));
}
