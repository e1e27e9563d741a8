#include "database/dbStoreFile.h"

#include <limits>

#include "database/dbErrors.h"
#include "foundation/FileOperations.h"

dbStoreFile::~dbStoreFile() {
  try {
    Close();
  } catch (...) {
    // Closing a file that the system refuses to close leaves nothing to repair here.
  }
}

bool dbStoreFile::OpenExisting(const ppFileSpec& fileSpec) {
  try {
    FileOpen(spec_, fileSpec, false);
  } catch (int32_t e) {
    if (e == kFileErrCannotOpen) return false;
    throw;
  }
  ReadSize();
  return true;
}

void dbStoreFile::CreateAndOpen(const ppFileSpec& fileSpec) {
  ppFileSpec creating(fileSpec);
  FileCreate(creating);
  FileOpen(spec_, fileSpec, false);
  ReadSize();
}

void dbStoreFile::Close() {
  if (!spec_.IsOpen()) return;
  try {
    SyncSize();
  } catch (...) {
    FileClose(spec_);
    throw;
  }
  FileClose(spec_);
}

void dbStoreFile::ReadSize() {
  uint32_t size = 0;
  FileGetSize(spec_, size);
  // Positions in the file are signed 32-bit; a larger file cannot be one of ours.
  if (size > uint32_t(std::numeric_limits<int32_t>::max())) db::Fail(db::kDamagedFile);
  size_ = static_cast<int32_t>(size);
  diskSize_ = size_;
}

void dbStoreFile::Read(int32_t offset, void* buffer, int32_t n) {
  if (!Holds(offset, n)) db::Fail(db::kDamagedFile);
  if (n == 0) return;
  if (int64_t(offset) + n > diskSize_) SyncSize();
  if (FileRead(spec_, buffer, uint32_t(n), offset) != uint32_t(n)) db::Fail(db::kDamagedFile);
}

void dbStoreFile::Write(int32_t offset, const void* buffer, int32_t n) {
  if (offset < 0 || n < 0 || int64_t(offset) + n > std::numeric_limits<int32_t>::max())
    db::Fail(db::kBadCall);
  if (n == 0) return;
  FileWrite(spec_, buffer, uint32_t(n), offset);
  if (offset + n > diskSize_) diskSize_ = offset + n;
  if (offset + n > size_) size_ = offset + n;
}

void dbStoreFile::SetSize(int32_t size) {
  if (size < 0) db::Fail(db::kBadCall);
  size_ = size;
  if (size < diskSize_) SyncSize();
}

void dbStoreFile::SyncSize() {
  if (size_ == diskSize_) return;
  const auto wanted = static_cast<uint32_t>(size_);
  FileSetSize(spec_, &wanted);
  diskSize_ = size_;
}

void dbStoreFile::Flush() {
  SyncSize();
  FileFlushData(spec_);
}
