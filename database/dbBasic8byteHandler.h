// Storage of an 8-byte field (a 64-bit integer or a double's bits) at 4-byte alignment: empty when
// both 32-bit halves are 0, packed as its tag and the eight bytes, low half first.
#pragma once

#include <cstdint>
#include <cstring>

#include "database/dbHandler.h"

class dbBasic8byteHandler : public dbHandler {
 public:
  dbBasic8byteHandler() : dbHandler(8, 4) {}
  dbBasic8byteHandler(int32_t width, int32_t alignment) : dbHandler(width, alignment) {}

  bool IsEmpty(const char* field) const override { return Raw(field) == 0; }
  char* InitField(char* field) override;
  char* ClearField(char* field) override { return InitField(field); }
  int32_t PackedSize(const char* field) const override { return IsEmpty(field) ? 0 : 12; }

  static int64_t Raw(const char* field) {
    int64_t v;
    std::memcpy(&v, field, 8);
    return v;
  }
  static void SetRaw(char* field, int64_t v) { std::memcpy(field, &v, 8); }

 protected:
  uint32_t PackPayload(uint8_t* base, uint32_t pos, const char* field) const override;
  uint32_t UnpackPayload(char* field, const uint8_t* base, uint32_t pos, uint32_t size) override;
  // The 64-bit word written to and read from the packed form.
  virtual int64_t StoredWord(const char* field) const { return Raw(field); }
  virtual void SetStoredWord(char* field, int64_t word) { SetRaw(field, word); }
};
