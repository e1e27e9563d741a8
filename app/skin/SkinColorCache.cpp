#include "app/skin/SkinColorCache.h"

#include <algorithm>
#include <cmath>

#include "catalogue/databases/qxSkindb.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxSkinObjectFil.h"

namespace {

constexpr ppRGBColor kWhite{100, 100, 100};

int32_t ToByte(int32_t percent) { return (percent * 255 + 50) / 100; }

int32_t ToPercent(float channel) {
  const double percent = std::trunc(double(channel) * 100.0);
  return int32_t(std::clamp(percent, 0.0, 100.0));
}

}  // namespace

ppRGBColor SkinColorCache::Unpack(uint32_t packed) {
  auto channel = [](uint32_t value) { return int32_t(std::min<uint32_t>(value & 0xFF, 100)); };
  return {channel(packed >> 24), channel(packed >> 16), channel(packed >> 8)};
}

ppRGBColor SkinColorCache::Percent(int32_t id) {
  auto found = colors_.find(id);
  if (found != colors_.end()) return found->second;
  ppRGBColor color = kWhite;
  if (SkinDatabase != nullptr) {
    ++reads_;
    qxSkinObjectFil& table = SkinDatabase->ColorFile();
    const int32_t record = table.FindRecordByKey(0, &id);
    if (record != 0) {
      table.ReadRecord(record, nullptr);
      color = Unpack(uint32_t(RecordField(table, "rgba").Long(table.GetRecordBuffer())));
    }
  }
  colors_.emplace(id, color);
  return color;
}

ppRGBColor SkinColorCache::Bytes(int32_t id) {
  const ppRGBColor percent = Percent(id);
  return {ToByte(percent.red), ToByte(percent.green), ToByte(percent.blue)};
}

ppFloat4 SkinColorCache::Float(int32_t id) {
  const ppRGBColor percent = Percent(id);
  return {float(percent.red) / 100.0f, float(percent.green) / 100.0f, float(percent.blue) / 100.0f, 1.0f};
}

void SkinColorCache::Set(int32_t id, const ppFloat4& color) {
  colors_[id] = {ToPercent(color.v[0]), ToPercent(color.v[1]), ToPercent(color.v[2])};
}
