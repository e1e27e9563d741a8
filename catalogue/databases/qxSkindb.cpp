#include "catalogue/databases/qxSkindb.h"

#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxSkinObjectFil.h"
#include "platform/ResetList.h"

qxSkindb* SkinDatabase = nullptr;

namespace {
[[maybe_unused]] const bool kReset = plat::ResetList::Add("skin database", [] { SkinDatabase = nullptr; });
}  // namespace

namespace {

const char* const kStateFields[] = {"normal", "selected", "clicked", "disabled", "rollover"};

}  // namespace

qxSkindb::qxSkindb(ppFileSpec& fileSpec) : ppDatabase(fileSpec) {
  BeginTransaction();
  try {
    buttonFile_ = std::make_unique<qxSkinObjectFil>("qxButton", *this);
    colorFile_ = std::make_unique<qxSkinObjectFil>("qxColor", *this);
    bitmapFile_ = std::make_unique<qxSkinObjectFil>("qxBitmap", *this);
  } catch (...) {
    AbortTransaction();
    DeleteTables();
    throw;
  }
  EndTransaction();
  buttonFile_->SelectAll();
  SkinDatabase = this;
}

qxSkindb::~qxSkindb() {
  if (SkinDatabase == this) SkinDatabase = nullptr;
  DeleteTables();
}

void qxSkindb::DeleteTables() {
  buttonFile_.reset();
  colorFile_.reset();
  bitmapFile_.reset();
}

const ppPicture& qxSkindb::GetButtonPicture(int32_t id, int32_t state) {
  qxSkinObjectFil& buttons = *buttonFile_;
  const int32_t found = buttons.FindRecordByKey(0, &id);
  if (found == 0) {
    buttons.ClearRecordBuffer(nullptr);
    state = kNormal;
  } else {
    buttons.ReadRecord(found, nullptr);
  }
  if (state < kNormal || state > kRollover) state = kNormal;
  Handle bytes = RecordField(buttons, kStateFields[state]).Data(buttons.GetRecordBuffer());
  if (bytes == nullptr || MemGetSize(bytes) == 0)
    buttonPicture_.Clear();
  else
    SetPicture(bytes);
  return buttonPicture_;
}

// Locked while the picture is decoded: decoding may allocate, and the bytes must not move.
void qxSkindb::SetPicture(Handle bytes) {
  MemLock(bytes);
  try {
    buttonPicture_.SetFromMemory(*bytes, size_t(MemGetSize(bytes)));
  } catch (...) {
    MemUnlock(bytes);
    throw;
  }
  MemUnlock(bytes);
}
