// Colour records: the finishes the user can choose, each with a number and a name, up to ten
// texture links, a colour group, a class and twenty material links.
// The table of a catalogue database bound to layout "qxColorCatalog"; it owns a texture table.
//
// A full selection (SelectAll, SelectAllByIndex) is saved and answered again without a query while
// the same index is asked for. Adding or deleting a colour through this table drops the saved list;
// colours added or deleted through another view of the table are not seen until an index other than
// the saved one is asked for.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"
#include "catalogue/records/zelvproTextureFil.h"

class ppPicture;

class zelvproColorCatalogFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5408;
  static constexpr const char* kLayout = "qxColorCatalog";
  static constexpr int32_t kTextureLinks = 10;
  static constexpr int32_t kMaterialLinks = 20;

  explicit zelvproColorCatalogFil(ppDatabase& database);
  ~zelvproColorCatalogFil() override;

  // The picture of the texture that link `n` ("texture0" to "texture9"; any other n takes
  // "texture0") of colour `colorId` names, as zelvproTextureFil::GetTexturePicture gives it; null
  // for colour 0 (nothing is read), an empty link, or a colour or texture that is gone.
  ppPicture* GetTexture(int32_t colorId, int32_t n);

  // "tname" = the widened "name", replaced by text record id x 10 of the current language;
  // "tnumber" = the widened "number", replaced by text record id x 10 + 1.
  void AfterRead(char* buffer) override;
  // "number", a blank and "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  void SelectAllByIndex(int32_t field) override;
  void AddRecord(int32_t* outId, char* buffer) override;
  void DeleteRecord(int32_t id) override;
  // False while a colour names record `id` of a texture (any "textureN"), a material (any
  // "materialN"), a class ("class") or a colour group ("colorGroup"). The texture, material and class
  // checks select every colour and read them in turn: afterwards the selection is all colours and
  // the current record the last one read.
  bool AllowsDeleteOf(int32_t fileId, int32_t id) override;

  zelvproTextureFil& TextureFile() const { return *textureFile_; }

 private:
  // Reads every colour until one holds `id` in one of `links`.
  bool AnyColourLinks(const std::vector<RecordField>& links, int32_t id);
  void DropSavedSelection();

  std::unique_ptr<zelvproTextureFil> textureFile_;
  RecordField name_, number_, tname_, tnumber_, colorGroup_, class_;
  std::vector<RecordField> textures_, materials_;
  // The last full selection, by index `savedIndex_` (-1: none saved).
  Handle savedSelection_ = nullptr;
  int32_t savedIndex_ = -1;
};
