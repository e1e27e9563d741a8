#include "app/skin/SkinPictures.h"

#include "catalogue/databases/qxSkindb.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxSkinObjectFil.h"
#include "framework/ppPicture.h"

namespace {

// A picture of the bitmap table's current record; null when its data is missing or not a picture.
std::unique_ptr<ppPicture> BitmapOfCurrentRecord(qxSkinObjectFil& bitmaps) {
  Handle bytes = RecordField(bitmaps, "bitmap").Data(bitmaps.GetRecordBuffer());
  if (bytes == nullptr || MemGetSize(bytes) == 0) return nullptr;
  auto picture = std::make_unique<ppPicture>();
  // Locked while decoding: decoding allocates, and the bytes must not move.
  MemLock(bytes);
  try {
    picture->SetFromMemory(*bytes, size_t(MemGetSize(bytes)));
  } catch (...) {
    MemUnlock(bytes);
    throw;
  }
  MemUnlock(bytes);
  if (picture->IsEmpty()) return nullptr;
  return picture;
}

}  // namespace

SkinPictures::SkinPictures() = default;
SkinPictures::~SkinPictures() = default;

ppPicture* SkinPictures::ButtonPicture(int32_t id, int32_t variant) {
  if (variant < 0 || variant > 4) variant = 0;
  auto& slot = buttons_[{id, variant}];
  if (slot) return slot.get();
  if (SkinDatabase != nullptr) {
    const ppPicture& skin = SkinDatabase->GetButtonPicture(id, variant);
    if (!skin.IsEmpty()) slot = std::make_unique<ppPicture>(skin);
  }
  if (!slot) slot = std::make_unique<ppPicture>(id + variant);
  return slot.get();
}

ppPicture* SkinPictures::FramePicture(int32_t id) {
  auto found = frames_.find(id);
  if (found != frames_.end()) return found->second.get();
  if (SkinDatabase == nullptr) return nullptr;
  qxSkinObjectFil& bitmaps = SkinDatabase->BitmapFile();
  const int32_t record = bitmaps.FindRecordByKey(0, &id);
  if (record == 0) return nullptr;
  bitmaps.ReadRecord(record, nullptr);
  std::unique_ptr<ppPicture> picture = BitmapOfCurrentRecord(bitmaps);
  if (!picture) return nullptr;
  return (frames_[id] = std::move(picture)).get();
}

bool SkinPictures::HasFramePicture(int32_t id) {
  if (frames_.count(id) != 0) return true;  // only pictures are kept
  if (SkinDatabase == nullptr) return false;
  qxSkinObjectFil& bitmaps = SkinDatabase->BitmapFile();
  const int32_t record = bitmaps.FindRecordByKey(0, &id);
  if (record == 0) return false;
  bitmaps.ReadRecord(record, nullptr);
  Handle bytes = RecordField(bitmaps, "bitmap").Data(bitmaps.GetRecordBuffer());
  if (bytes == nullptr || MemGetSize(bytes) == 0) return false;
  MemLock(bytes);
  const bool holds = ppPicture::HoldsPicture(*bytes, size_t(MemGetSize(bytes)));
  MemUnlock(bytes);
  return holds;
}

ppPicture* SkinPictures::FillPicture(int32_t id) {
  auto found = fills_.find(id);
  if (found != fills_.end()) return found->second.get();
  if (SkinDatabase == nullptr) return nullptr;
  qxSkinObjectFil& colors = SkinDatabase->ColorFile();
  const int32_t record = colors.FindRecordByKey(0, &id);
  if (record == 0) return nullptr;
  colors.ReadRecord(record, nullptr);
  // The link is a record id of the bitmap table.
  const int32_t link = RecordField(colors, "bitmap").Long(colors.GetRecordBuffer());
  if (link == 0) return nullptr;
  qxSkinObjectFil& bitmaps = SkinDatabase->BitmapFile();
  std::unique_ptr<ppPicture> picture;
  try {
    bitmaps.ReadRecord(link, nullptr);
    picture = BitmapOfCurrentRecord(bitmaps);
  } catch (...) {
    return nullptr;  // any error of the bitmap table's read: no fill
  }
  if (!picture) return nullptr;
  return (fills_[id] = std::move(picture)).get();
}
