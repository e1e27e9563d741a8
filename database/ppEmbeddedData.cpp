#include "database/ppEmbeddedData.h"

#include <cstring>

#include "database/ppDatabase.h"

namespace {

constexpr uint32_t kLengthBytes = 4;

uint32_t RoundUpTo4(uint32_t n) { return (n + 3u) & ~3u; }

void AppendInt32(Handle blob, int32_t value) {
  uint8_t bytes[kLengthBytes];
  std::memcpy(bytes, &value, sizeof bytes);  // the program runs little-endian only
  MemInsertBytes(bytes, kLengthBytes, blob, kMemAppend);
}

}  // namespace

ppEmbeddedData::ppEmbeddedData(const char* layoutName, ppDatabase& database, Handle blob, ppDatafile* owner)
    : ppSubfile(layoutName, database), blob_(blob), owner_(owner) {}

ppEmbeddedData::ppEmbeddedData(const Vcon::String& layoutName, ppDatabase& database, Handle blob,
                               ppDatafile* owner)
    : ppSubfile(layoutName, database), blob_(blob), owner_(owner) {}

ppEmbeddedData::~ppEmbeddedData() { DisposeRecords(); }

void ppEmbeddedData::BeginAccess() { LoadFromBlob(); }

void ppEmbeddedData::EndAccess() { SaveToBlob(); }

void ppEmbeddedData::LoadFromBlob() {
  DisposeRecords();
  if (blob_ == nullptr) return;
  const uint32_t size = uint32_t(MemGetSize(blob_));
  uint32_t p = 0;
  while (p + kLengthBytes <= size) {
    int32_t length = 0;
    std::memcpy(&length, *blob_ + p, kLengthBytes);
    if (length < 1 || uint32_t(length) > size - p - kLengthBytes) break;
    Handle record = nullptr;
    Vcon_HandleManager::MemNew(&record, uint32_t(length));
    std::memcpy(*record, *blob_ + p + kLengthBytes, size_t(length));  // no call between can move blob
    RecordHandles().push_back(record);
    p = RoundUpTo4(p + kLengthBytes + uint32_t(length));
  }
}

void ppEmbeddedData::SaveToBlob() {
  if (blob_ == nullptr) return;
  MemSetSize(blob_, 0);
  static const uint8_t kZeros[4] = {0, 0, 0, 0};
  for (Handle record : RecordHandles()) {
    const uint32_t length = uint32_t(MemGetSize(record));
    AppendInt32(blob_, int32_t(length));
    MemInsertHandle(record, blob_, kMemAppend);
    const uint32_t size = uint32_t(MemGetSize(blob_));
    if (RoundUpTo4(size) > size) MemInsertBytes(kZeros, RoundUpTo4(size) - size, blob_, kMemAppend);
  }
  AppendInt32(blob_, 0);
  // The owner is written even when the table became empty, so that deleting the last record
  // reaches the stored owner.
  if (owner_ == nullptr || owner_->CurrentRecordId() <= 0) return;
  ppDatafile* owner = owner_;
  owner->BeginTransaction();
  try {
    owner->WriteRecord(0, nullptr);
  } catch (...) {
    owner->Database().AbortTransaction();
    throw;
  }
  owner->EndTransaction();
}

void ppEmbeddedData::ClearBlob() {
  if (blob_ != nullptr) MemSetSize(blob_, 0);
}

void ppEmbeddedData::DisposeRecords() {
  for (Handle record : RecordHandles()) MemDispose(record);
  RecordHandles().clear();
}
