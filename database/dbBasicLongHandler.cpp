#include "database/dbBasicLongHandler.h"

#include "database/dbRecordPacking.h"

char* dbBasicLongHandler::InitField(char* field) {
  SetWord(field, 0);
  return field + Width();
}

uint32_t dbBasicLongHandler::PackPayload(uint8_t* base, uint32_t pos, const char* field) const {
  return db::PutBytes(base, pos, field, 4);
}

uint32_t dbBasicLongHandler::UnpackPayload(char* field, const uint8_t* base, uint32_t pos, uint32_t size) {
  db::RequireBytes(pos, 4, size);
  std::memcpy(field, base + pos, 4);
  return pos + 4;
}
