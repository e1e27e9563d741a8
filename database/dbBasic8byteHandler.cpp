#include "database/dbBasic8byteHandler.h"

#include "database/dbRecordPacking.h"

char* dbBasic8byteHandler::InitField(char* field) {
  SetRaw(field, 0);
  return field + Width();
}

uint32_t dbBasic8byteHandler::PackPayload(uint8_t* base, uint32_t pos, const char* field) const {
  return db::PutU64(base, pos, uint64_t(StoredWord(field)));
}

uint32_t dbBasic8byteHandler::UnpackPayload(char* field, const uint8_t* base, uint32_t pos, uint32_t size) {
  SetStoredWord(field, int64_t(db::GetU64At(base, pos, size)));
  return pos + 8;
}
