#include "catalogue/records/zelvproTextureFil.h"

#include <string>

#include "database/dbErrors.h"
#include "database/ppDatabase.h"
#include "framework/ppPicture.h"

zelvproTextureFil::zelvproTextureFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      id_(*this, "id"),
      name_(*this, "name"),
      texture_(*this, "texture") {}

zelvproTextureFil::~zelvproTextureFil() = default;

ppPicture* zelvproTextureFil::GetTexturePicture(int32_t textureId) {
  if (textureId == 0) return nullptr;
  try {
    ReadRecord(textureId, nullptr);
  } catch (int32_t error) {
    // A link to a texture that is gone shows no texture, like an empty link.
    if (error != db::kNotFound && error != db::kOutOfRange) throw;
    RetirePicture(textureId);
    return nullptr;
  }
  std::unique_ptr<ppPicture>& picture = pictures_[textureId];
  if (picture == nullptr) {
    auto made = std::make_unique<ppPicture>();
    Handle bytes = texture_.Data(record_);
    if (bytes != nullptr && *bytes != nullptr) made->SetFromMemory(*bytes, size_t(MemGetSize(bytes)));
    made->SetSource(Database().Identifier(), textureId);
    picture = std::move(made);
  }
  return picture.get();
}

void zelvproTextureFil::RetirePicture(int32_t textureId) {
  auto kept = pictures_.find(textureId);
  if (kept == pictures_.end()) return;
  retired_.push_back(std::move(kept->second));
  pictures_.erase(kept);
}

void zelvproTextureFil::GetDisplayText(Vcon::String& out, char* buffer) {
  buffer = Buffer(buffer);
  out = Vcon::String(std::to_string(id_.Long(buffer)).c_str());
  out += " ";
  out += name_.Text(buffer);
}
