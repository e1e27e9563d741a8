// The colour codes of an element's 3D parts: code / 1000 names the colour record (0 none, -1 the
// element's own, any other group the record the element gives for it), code % 1000 the colour field
// ("rgbaN", "textureN" for N 0 to 9) of that record.
#include <memory>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproTextureFil.h"
#include "database/dbErrors.h"
#include "elements/base/ElementTextures.h"
#include "elements/base/zelvproElement.h"
#include "framework/ppPicture.h"

namespace {

constexpr int32_t kNoColour = -1000;
constexpr int32_t kFields = 10;

// A colour or texture that was deleted shows as none; other engine errors pass to the caller.
bool IsGone(int32_t error) { return error == db::kNotFound || error == db::kOutOfRange; }

// Reads the colour record into the colour table's buffer; false for 0 or a record that is gone.
bool ReadColour(zelvDatabase* database, int32_t colorId) {
  if (database == nullptr || colorId == 0) return false;
  try {
    database->ColorCatalogFile().ReadRecord(colorId, nullptr);
  } catch (int32_t error) {
    if (!IsGone(error)) throw;
    return false;
  }
  return true;
}

// Field `field` (0 to 9) named `prefix`N of the colour record just read; 0 for any other field.
int32_t ColourField(zelvDatabase* database, const char* prefix, int32_t field) {
  if (field < 0 || field >= kFields) return 0;
  ppDatafile& colours = database->ColorCatalogFile();
  const std::string name = prefix + std::to_string(field);
  return RecordField(colours, name.c_str()).Long(colours.GetRecordBuffer());
}

}  // namespace

int32_t zelvproElement::ColorRecordOfGroup(int32_t group) {
  return group == -1 ? colorRecordId : GetColorRecordId(group);
}

void zelvproElement::GetColorByCode(ppFloat4& out, int32_t code) {
  out = ppFloat4(1.0f, 1.0f, 1.0f, 1.0f);
  if (code < kNoColour) return;
  const int32_t group = code / 1000;
  int32_t field = code % 1000;
  if (group == 0) return;
  if (field < 256) {
    const ppPicture* texture = GetTextureByCode(code);
    if (texture != nullptr && !texture->GetModulate()) return;
  }
  field %= 256;
  uint32_t v = 0;
  if (ReadColour(database, ColorRecordOfGroup(group))) v = uint32_t(ColourField(database, "rgba", field));
  out = ppFloat4(float(((v >> 24) & 0xFF) / 100.0), float(((v >> 16) & 0xFF) / 100.0),
                 float(((v >> 8) & 0xFF) / 100.0), float((v & 0xFF) / 100.0));
}

const ppPicture* zelvproElement::GetTextureByCode(int32_t code) {
  const int32_t group = code / 1000;
  const int32_t field = code % 1000;
  if (code < kNoColour || field > 255 || group == 0) return nullptr;
  if (!ReadColour(database, ColorRecordOfGroup(group))) return nullptr;
  const int32_t textureId = ColourField(database, "texture", field % 256);
  if (textureId == 0) return nullptr;
  const ppObjectMap::Key key{double(database->Identifier()), double(textureId)};
  ppObjectMap& cache = ElementTextures::Map();
  if (ppPicture* kept = cache.Find(key)) return kept;
  zelvproTextureFil& textures = database->TextureFile();
  try {
    textures.ReadRecord(textureId, nullptr);
  } catch (int32_t error) {
    if (!IsGone(error)) throw;
    return nullptr;
  }
  return ElementTextures::Keep(key, textures);
}

void zelvproElement::RefreshPartColours() {
  // Colours and textures are asked of the element each time a part draws; what the parts keep is
  // the texture name each layer bound, which is forgotten so that the next drawing binds the
  // texture of the colour the element has now.
  for (ElementGeometryCache::Part& part : parts_) part.textureNames.assign(part.textureNames.size(), 0);
}
