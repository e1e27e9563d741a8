// Texture records: the pictures of one texture.
// The table of a catalogue database bound to layout "qxTexture".
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproTextureFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5407;
  static constexpr const char* kLayout = "qxTexture";

  explicit zelvproTextureFil(ppDatabase& database);

  // Reads texture record `textureId` and answers the handle of its "texture" picture (the packed
  // picture bytes, owned by this table's record buffer until its next read); null for id 0 or a texture
  // record that is gone.
  Handle GetTexturePicture(int32_t textureId);

 private:
  RecordField texture_;
};
