#include "catalogue/records/zelvproColorCatalogFil.h"

#include <string>

#include "database/dbErrors.h"

zelvproColorCatalogFil::zelvproColorCatalogFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database), textureFile_(std::make_unique<zelvproTextureFil>(database)) {
  for (int32_t n = 0; n < kTextureLinks; ++n)
    textures_.emplace_back(*this, ("texture" + std::to_string(n)).c_str());
}

Handle zelvproColorCatalogFil::GetTexture(int32_t colorId, int32_t n) {
  if (colorId == 0) return nullptr;
  if (n < 0 || n >= kTextureLinks) n = 0;
  try {
    ReadRecord(colorId, nullptr);
  } catch (int32_t error) {
    // A colour that is gone has no texture.
    if (error != db::kNotFound && error != db::kOutOfRange) throw;
    return nullptr;
  }
  return textureFile_->GetTexturePicture(textures_[size_t(n)].Long(record_));
}
