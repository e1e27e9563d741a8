#include "catalogue/records/zelvproTextureFil.h"

zelvproTextureFil::zelvproTextureFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database), texture_(*this, "texture") {}

Handle zelvproTextureFil::GetTexturePicture(int32_t textureId) {
  if (textureId == 0) return nullptr;
  ReadRecord(textureId, nullptr);
  return texture_.Data(record_);
}
