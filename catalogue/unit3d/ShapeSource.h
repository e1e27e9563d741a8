// The shape record (layout "qxShape") a body is made from, read from a shape table's current record:
// its outline, per-point flags, texture link, imported mark, texture direction and imported point
// stream. Fields are found once per source; Load copies them, so the table may read on.
#pragma once

#include <cstdint>
#include <vector>

#include "catalogue/records/RecordField.h"
#include "foundation/ppVector2.h"

class ppDatafile;
class zelvproShapeFil;

class ShapeSource {
 public:
  explicit ShapeSource(zelvproShapeFil& file);

  // Reads record `id` into the table and copies it; false (and nothing loaded) when it is gone.
  bool Load(int32_t id);
  bool Loaded() const { return loaded_; }

  std::vector<ppVector2> points;
  std::vector<uint32_t> attributes;
  int32_t texture = 0;
  int32_t type = 0;  // non-zero: an imported 3D shape
  float textureDirection = 0.0f;
  std::vector<uint32_t> points3D;

  // Reads record `id` of `table` into its current buffer; false when the record is gone. Other
  // engine errors pass through.
  static bool ReadIfPresent(ppDatafile& table, int32_t id);

 private:
  zelvproShapeFil& file_;
  RecordField points_, attributes_, texture_, type_, textureDirection_, points3D_;
  bool loaded_ = false;
};
