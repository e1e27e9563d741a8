#include "database/ppEmbeddedData.h"

#include <cstring>

#include "database/dbErrors.h"
#include "database/ppDatabase.h"
#include "foundation/HandleRoom.h"

namespace {

constexpr uint32_t kLengthBytes = 4;

uint32_t RoundUpTo4(uint32_t n) { return (n + 3u) & ~3u; }

}  // namespace

ppEmbeddedData::ppEmbeddedData(const char* layoutName, ppDatabase& database, Handle blob, ppDatafile* owner)
    : ppSubfile(layoutName, database), blob_(blob), owner_(owner) {}

ppEmbeddedData::ppEmbeddedData(const Vcon::String& layoutName, ppDatabase& database, Handle blob,
                               ppDatafile* owner)
    : ppSubfile(layoutName, database), blob_(blob), owner_(owner) {}

ppEmbeddedData::~ppEmbeddedData() { DisposeRecords(); }

void ppEmbeddedData::BeginAccess() { LoadFromBlob(); }

void ppEmbeddedData::EndAccess() { SaveToBlob(); }

// One record handle per packed record of the blob; a length past the blob ends the records, and a
// length the zone cannot hold throws db::kDamagedFile with no record kept.
void ppEmbeddedData::LoadFromBlob() {
  DisposeRecords();
  if (blob_ == nullptr) return;
  const uint32_t size = uint32_t(MemGetSize(blob_));
  uint32_t p = 0;
  while (p + kLengthBytes <= size) {
    int32_t length = 0;
    std::memcpy(&length, *blob_ + p, kLengthBytes);
    if (length < 1 || uint32_t(length) > size - p - kLengthBytes) break;
    // The length comes from the blob's bytes (a document's, for one): one the zone cannot hold is
    // damage, not the end of the program.
    Handle record = MemTryNew(uint32_t(length));
    if (record == nullptr) {
      DisposeRecords();
      db::Fail(db::kDamagedFile);
    }
    std::memcpy(*record, *blob_ + p + kLengthBytes, size_t(length));  // no call between can move blob
    RecordHandles().push_back(record);
    p = RoundUpTo4(p + kLengthBytes + uint32_t(length));
  }
}

void ppEmbeddedData::SaveToBlob() {
  if (blob_ == nullptr) return;
  // The blob is sized once: growing it record by record may move the whole blob at every step, which
  // made saving a plan quadratic in its elements.
  uint32_t total = 0;
  for (Handle record : RecordHandles())
    total = RoundUpTo4(total + kLengthBytes + uint32_t(MemGetSize(record)));
  total += kLengthBytes;
  MemSetSize(blob_, 0);  // nothing of the old bytes needs keeping
  MemSetSize(blob_, total);
  char* out = *blob_;  // no call below can move the blob
  uint32_t p = 0;
  for (Handle record : RecordHandles()) {
    const uint32_t length = uint32_t(MemGetSize(record));
    const int32_t stored = int32_t(length);
    std::memcpy(out + p, &stored, kLengthBytes);  // the program runs little-endian only
    std::memcpy(out + p + kLengthBytes, *record, length);
    const uint32_t end = p + kLengthBytes + length;
    p = RoundUpTo4(end);
    std::memset(out + end, 0, p - end);
  }
  std::memset(out + p, 0, kLengthBytes);
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
