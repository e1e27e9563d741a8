#include "room/RoomTextures.h"

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproTextureFil.h"
#include "database/dbErrors.h"
#include "elements/base/ElementTextures.h"
#include "framework/ppPicture.h"

namespace {

// The cache's other entries are keyed by (identifier, texture record id); a third word keeps the
// keys by colour record apart from them, so that colour 3 never finds texture record 3's picture.
constexpr double kByColourRecord = 1.0;

// Reads record `id` into the table's buffer; false for a record that is gone.
bool ReadIfPresent(ppDatafile& table, int32_t id) {
  try {
    table.ReadRecord(id, nullptr);
  } catch (int32_t error) {
    if (error != db::kNotFound && error != db::kOutOfRange) throw;
    return false;
  }
  return true;
}

}  // namespace

const ppPicture* RoomTextures::Find(zelvDatabase* database, int32_t colourId) {
  if (database == nullptr || colourId == 0) return nullptr;
  const ppObjectMap::Key key{double(database->Identifier()), double(colourId), kByColourRecord};
  ppObjectMap& cache = ElementTextures::Map();
  if (ppPicture* kept = cache.Find(key)) return kept;
  zelvproColorCatalogFil& colours = database->ColorCatalogFile();
  if (!ReadIfPresent(colours, colourId)) return nullptr;
  const int32_t textureId = RecordField(colours, "texture0").Long(colours.GetRecordBuffer());
  zelvproTextureFil& textures = database->TextureFile();
  if (textureId == 0 || !ReadIfPresent(textures, textureId)) return nullptr;
  return ElementTextures::Keep(key, textures);
}
