// Colour records: the finishes the user can choose, each with up to ten texture links.
// The table of a catalogue database bound to layout "qxColorCatalog"; it owns a texture table.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"
#include "catalogue/records/zelvproTextureFil.h"

class zelvproColorCatalogFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5408;
  static constexpr const char* kLayout = "qxColorCatalog";
  static constexpr int32_t kTextureLinks = 10;

  explicit zelvproColorCatalogFil(ppDatabase& database);

  // The picture of the texture that link `n` ("texture0" to "texture9"; any other n takes
  // "texture0") of colour `colorId` names, as zelvproTextureFil::GetTexturePicture gives it; null
  // for colour 0 (nothing is read), an empty
  // link, or a colour or texture that is gone.
  Handle GetTexture(int32_t colorId, int32_t n);

  zelvproTextureFil& TextureFile() const { return *textureFile_; }

 private:
  std::unique_ptr<zelvproTextureFil> textureFile_;
  std::vector<RecordField> textures_;
};
