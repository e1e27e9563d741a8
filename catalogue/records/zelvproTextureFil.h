// Texture records: the pictures of one texture.
// The table of a catalogue database bound to layout "qxTexture".
//
// Each texture record's "texture" picture is decoded once, at its first request, into a ppPicture
// that this table keeps until it is destroyed: the address and the identity of the picture stay the
// same, so what is derived from it (the OpenGL texture) is made once. A record changed after that
// keeps showing the picture first made from it until the table is made again. A record found gone
// retires its picture (still kept, so its address stays valid), so that a new record that is given
// the freed id gets a picture of its own.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class ppPicture;

class zelvproTextureFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5407;
  static constexpr const char* kLayout = "qxTexture";

  explicit zelvproTextureFil(ppDatabase& database);
  ~zelvproTextureFil() override;

  // Reads texture record `textureId` (it becomes current) and answers its picture, stamped with the
  // database's number and the record id; owned by this table. Null for id 0 (nothing is read) or a
  // texture record that is gone; a record without picture bytes gives an empty picture.
  ppPicture* GetTexturePicture(int32_t textureId);

  // The stored "id" as text, a blank and "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;

 private:
  void RetirePicture(int32_t textureId);

  RecordField id_, name_, texture_;
  // Texture record id -> its picture.
  std::map<int32_t, std::unique_ptr<ppPicture>> pictures_;
  // Pictures of records that were found gone.
  std::vector<std::unique_ptr<ppPicture>> retired_;
};
