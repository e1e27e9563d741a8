#include "catalogue/records/zelvproShapeFil.h"

#include <cstring>

#include "catalogue/records/RewriteEveryRecord.h"
#include "database/dbBytes.h"

namespace {

constexpr uint32_t kPointBytes = 8;
constexpr uint32_t kFlagBytes = 4;

// Whole points of an outline blob.
uint32_t PointCount(Handle points) {
  return points != nullptr ? uint32_t(MemGetSize(points)) / kPointBytes : 0;
}

// Rewrites the outline's integer coordinates as floats; a partial point at the end is dropped.
void IntegerPointsToFloats(Handle points) {
  const uint32_t words = PointCount(points) * 2;
  MemSetSize(points, words * 4);
  for (uint32_t i = 0; i < words; ++i) {
    const float value = float(db::GetI32(*points, i * 4));
    std::memcpy(static_cast<char*>(*points) + i * 4, &value, 4);
  }
}

}  // namespace

zelvproShapeFil::zelvproShapeFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      name_(*this, "name"),
      points_(*this, "points"),
      attributes_(*this, "attributes") {}

void zelvproShapeFil::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }

void zelvproShapeFil::ConvertShapes(int32_t from, int32_t) {
  RewriteEveryRecord(*this, [&](char* record) { ConvertRecord(record, from); });
}

void zelvproShapeFil::ConvertRecord(char* record, int32_t from) const {
  if (from < 0 || from > 2) return;
  Handle points = points_.Data(record);
  if (from == 0 && points != nullptr) IntegerPointsToFloats(points);
  Handle attributes = attributes_.Data(record);
  if (attributes == nullptr) return;
  const uint32_t size = PointCount(points) * kFlagBytes;
  MemSetSize(attributes, size);
  if (size > 0) std::memset(*attributes, 0, size);
}
