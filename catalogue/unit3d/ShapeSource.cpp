#include "catalogue/unit3d/ShapeSource.h"

#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/unit3d/EntryBytes.h"
#include "database/dbErrors.h"

ShapeSource::ShapeSource(zelvproShapeFil& file)
    : file_(file),
      points_(file, "points"),
      attributes_(file, "attributes"),
      texture_(file, "texture"),
      type_(file, "type"),
      textureDirection_(file, "textureDirection"),
      points3D_(file, "points3D") {}

bool ShapeSource::ReadIfPresent(ppDatafile& table, int32_t id) {
  try {
    table.ReadRecord(id, nullptr);
    return true;
  } catch (int32_t error) {
    if (error != db::kNotFound && error != db::kOutOfRange) throw;
    return false;
  }
}

bool ShapeSource::Load(int32_t id) {
  loaded_ = id > 0 && ReadIfPresent(file_, id);
  if (!loaded_) return false;
  const char* record = file_.GetRecordBuffer();
  points = EntryBytes::As<ppVector2>(points_.Data(record));
  attributes = EntryBytes::As<uint32_t>(attributes_.Data(record));
  texture = texture_.Long(record);
  type = type_.Long(record);
  textureDirection = static_cast<float>(textureDirection_.Double(record));
  points3D = EntryBytes::As<uint32_t>(points3D_.Data(record));
  return true;
}
