#include "catalogue/records/zelvproPacketFil.h"

#include <algorithm>
#include <string>

#include "catalogue/records/BlobWords.h"

namespace {

constexpr uint32_t kItemEntry = 12;

}  // namespace

zelvproPacketFil::zelvproPacketFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      name_(*this, "name"),
      unitId_(*this, "unitID"),
      level_(*this, "level"),
      items_(*this, "items"),
      unitFile_(std::make_unique<zelvproUnitFil>(database)) {}

void zelvproPacketFil::AfterRead(char* buffer) {
  const int32_t unit = unitId_.Long(Buffer(buffer));
  if (unit != 0) ReadIfPresent(*unitFile_, unit);
}

void zelvproPacketFil::GetDisplayText(Vcon::String& out, char* buffer) {
  buffer = Buffer(buffer);
  out = name_.Text(buffer);
  out += "\t";
  out += std::to_string(level_.Long(buffer)).c_str();
}

bool zelvproPacketFil::AllowsDeleteOf(int32_t fileId, int32_t id) {
  if (fileId != zelvproUnitFil::kFileId) return true;
  return !AnyRecord([&](const char* record) {
    if (unitId_.Long(record) == id) return true;
    const std::vector<int32_t> units = BlobWords::FirstWords(items_.Data(record), kItemEntry);
    return std::find(units.begin(), units.end(), id) != units.end();
  });
}
