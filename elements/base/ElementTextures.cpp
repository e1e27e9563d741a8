#include "elements/base/ElementTextures.h"

#include <memory>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"
#include "framework/ppPicture.h"
#include "platform/ResetList.h"

namespace {

// Made at the first request; user-interface thread only.
std::unique_ptr<ppObjectMap> gTextures;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("element textures", [] { ElementTextures::Reset(); });

Handle PictureBytes(ppDatafile& textures) {
  for (const char* name : {"texture128", "texture"}) {
    Handle bytes = RecordField(textures, name).Data(textures.GetRecordBuffer());
    if (bytes != nullptr && *bytes != nullptr && MemGetSize(bytes) > 0) return bytes;
  }
  return nullptr;
}

}  // namespace

ppObjectMap& ElementTextures::Map() {
  if (gTextures == nullptr) gTextures = std::make_unique<ppObjectMap>();
  return *gTextures;
}

void ElementTextures::Reset() { gTextures.reset(); }

const ppPicture* ElementTextures::Keep(const ppObjectMap::Key& key, ppDatafile& textures) {
  Handle bytes = PictureBytes(textures);
  if (bytes == nullptr) return nullptr;
  const char* record = textures.GetRecordBuffer();
  ppPicture picture;
  picture.SetFromMemory(*bytes, size_t(MemGetSize(bytes)));
  picture.SetRepeat(RecordField(textures, "dontRepeat").Long(record) == 0);
  picture.SetModulate(RecordField(textures, "modulate").Long(record) != 0);
  picture.SetValues(key);
  ppObjectMap& cache = Map();
  cache.SetEntry(&picture);
  return cache.Find(key);
}
