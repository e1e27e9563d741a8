#include "database/dbBasicmmHandler.h"

#include "database/dbErrors.h"
#include "database/dbRecordPacking.h"
#include "foundation/HandleRoom.h"

char* dbBasicmmHandler::InitField(char* field) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, 0);
  std::memcpy(field, &h, sizeof h);
  return field + Width();
}

char* dbBasicmmHandler::DisposeField(char* field) {
  MemDispose(Data(field));
  Handle none = nullptr;
  std::memcpy(field, &none, sizeof none);
  return field + Width();
}

char* dbBasicmmHandler::ClearField(char* field) {
  MemSetSize(Data(field), 0);
  return field + Width();
}

int32_t dbBasicmmHandler::PackedSize(const char* field) const {
  const auto n = uint32_t(MemGetSize(Data(field)));
  return n == 0 ? 0 : int32_t(db::AlignTo4(n + 8));
}

uint32_t dbBasicmmHandler::PackPayload(uint8_t* base, uint32_t pos, const char* field) const {
  const Handle h = Data(field);
  const auto n = uint32_t(MemGetSize(h));
  pos = db::PutU32(base, pos, n);
  return db::PutBytes(base, pos, *h, n);
}

uint32_t dbBasicmmHandler::UnpackPayload(char* field, const uint8_t* base, uint32_t pos, uint32_t size) {
  uint32_t n = 0;
  pos = db::GetU32(base, pos, size, n);
  db::RequireBytes(pos, n, size);
  const Handle h = Data(field);
  // The length comes from the packed bytes: one the zone cannot hold is damage, not the end of the
  // program.
  if (!MemTrySetSize(h, n)) db::Fail(db::kDamagedFile);
  if (n != 0) std::memcpy(*h, base + pos, n);
  return pos + n;
}
