#include "catalogue/records/zelvproTextureFil.h"

#include "database/dbErrors.h"

zelvproTextureFil::zelvproTextureFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database), texture_(*this, "texture") {}

Handle zelvproTextureFil::GetTexturePicture(int32_t textureId) {
  if (textureId == 0) return nullptr;
  try {
    ReadRecord(textureId, nullptr);
  } catch (int32_t error) {
    // A link to a texture that is gone shows no texture, like an empty link.
    if (error != db::kNotFound && error != db::kOutOfRange) throw;
    return nullptr;
  }
  return texture_.Data(record_);
}
