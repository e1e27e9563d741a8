// Storage of a 4-byte field (a 32-bit integer, or a float's bits): empty when all four bytes are 0,
// packed as its tag and the four bytes.
#pragma once

#include <cstdint>
#include <cstring>

#include "database/dbHandler.h"

class dbBasicLongHandler : public dbHandler {
 public:
  dbBasicLongHandler() : dbHandler(4, 4) {}

  bool IsEmpty(const char* field) const override { return Word(field) == 0; }
  char* InitField(char* field) override;
  char* ClearField(char* field) override { return InitField(field); }
  int32_t PackedSize(const char* field) const override { return IsEmpty(field) ? 0 : 8; }

  static int32_t Word(const char* field) {
    int32_t v;
    std::memcpy(&v, field, 4);
    return v;
  }
  static void SetWord(char* field, int32_t v) { std::memcpy(field, &v, 4); }

 protected:
  uint32_t PackPayload(uint8_t* base, uint32_t pos, const char* field) const override;
  uint32_t UnpackPayload(char* field, const uint8_t* base, uint32_t pos, uint32_t size) override;
};
