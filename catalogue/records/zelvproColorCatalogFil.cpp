#include "catalogue/records/zelvproColorCatalogFil.h"

#include <cstring>
#include <string>

#include "catalogue/records/LocalisedText.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorGroupFil.h"
#include "catalogue/records/zelvproMaterialFil.h"
#include "database/HandleList.h"
#include "database/dbErrors.h"

namespace {

std::vector<RecordField> NumberedFields(const ppDatafile& file, const char* stem, int32_t count) {
  std::vector<RecordField> fields;
  for (int32_t n = 0; n < count; ++n) fields.emplace_back(file, (stem + std::to_string(n)).c_str());
  return fields;
}

// Makes `to` an exact copy of the list `from`.
void CopyList(Handle to, Handle from) {
  const uint32_t size = uint32_t(MemGetSize(from));
  MemSetSize(to, size);
  std::memcpy(*to, *from, size);
}

}  // namespace

zelvproColorCatalogFil::zelvproColorCatalogFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      textureFile_(std::make_unique<zelvproTextureFil>(database)),
      name_(*this, "name"),
      number_(*this, "number"),
      tname_(*this, "tname"),
      tnumber_(*this, "tnumber"),
      colorGroup_(*this, "colorGroup"),
      class_(*this, "class"),
      textures_(NumberedFields(*this, "texture", kTextureLinks)),
      materials_(NumberedFields(*this, "material", kMaterialLinks)),
      savedSelection_(HandleList::New(0)) {}

zelvproColorCatalogFil::~zelvproColorCatalogFil() { HandleList::Dispose(savedSelection_); }

ppPicture* zelvproColorCatalogFil::GetTexture(int32_t colorId, int32_t n) {
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

void zelvproColorCatalogFil::AfterRead(char* buffer) {
  buffer = Buffer(buffer);
  Vcon::WString name = WideFromString(name_.Text(buffer));
  LocaliseRecordText(Database(), CurrentRecordId(), 0, name);
  tname_.SetWideText(buffer, name);
  Vcon::WString number = WideFromString(number_.Text(buffer));
  LocaliseRecordText(Database(), CurrentRecordId(), 1, number);
  tnumber_.SetWideText(buffer, number);
}

void zelvproColorCatalogFil::GetDisplayText(Vcon::String& out, char* buffer) {
  buffer = Buffer(buffer);
  AfterRead(buffer);
  out = number_.Text(buffer);
  out += " ";
  out += name_.Text(buffer);
}

void zelvproColorCatalogFil::SelectAllByIndex(int32_t field) {
  if (field == savedIndex_) {
    CopyList(GetSelection(), savedSelection_);
    return;
  }
  zelvproRecordFil::SelectAllByIndex(field);
  CopyList(savedSelection_, GetSelection());
  savedIndex_ = field;
}

void zelvproColorCatalogFil::AddRecord(int32_t* outId, char* buffer) {
  DropSavedSelection();
  zelvproRecordFil::AddRecord(outId, buffer);
}

void zelvproColorCatalogFil::DeleteRecord(int32_t id) {
  DropSavedSelection();
  zelvproRecordFil::DeleteRecord(id);
}

void zelvproColorCatalogFil::DropSavedSelection() {
  HandleList::Reset(savedSelection_);
  savedIndex_ = -1;
}

bool zelvproColorCatalogFil::AllowsDeleteOf(int32_t fileId, int32_t id) {
  switch (fileId) {
    case zelvproTextureFil::kFileId:
      return !AnyColourLinks(textures_, id);
    case zelvproMaterialFil::kFileId:
      return !AnyColourLinks(materials_, id);
    case zelvproClassFil::kFileId:
      return !AnyColourLinks({class_}, id);
    case zelvproColorGroupFil::kFileId:
      return !AnyRecordHolds(colorGroup_, id);
    default:
      return true;
  }
}

bool zelvproColorCatalogFil::AnyColourLinks(const std::vector<RecordField>& links, int32_t id) {
  // The walk must see colours added through other views too, so it does not trust a saved list.
  DropSavedSelection();
  SelectAll();
  for (int32_t i = 0; i < GetSelectedCount(); ++i) {
    ReadRecordAt(i, nullptr);
    for (const RecordField& link : links) {
      if (link.Exists() && link.Long(record_) == id) return true;
    }
  }
  return false;
}
