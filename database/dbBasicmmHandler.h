// Storage of a field that owns a memory handle of the zone: a new empty handle at construction,
// size 0 when cleared, freed at disposal; empty when the handle holds no bytes. Packed as u32 n =
// the handle's size, then its n bytes.
#pragma once

#include <cstring>

#include "database/dbHandler.h"

class dbBasicmmHandler : public dbHandler {
 public:
  dbBasicmmHandler() : dbHandler(int32_t(sizeof(Handle)), int32_t(alignof(Handle))) {}

  bool IsEmpty(const char* field) const override { return MemGetSize(Data(field)) == 0; }
  char* InitField(char* field) override;
  char* DisposeField(char* field) override;
  char* ClearField(char* field) override;
  int32_t PackedSize(const char* field) const override;

  static Handle Data(const char* field) {
    Handle h;
    std::memcpy(&h, field, sizeof h);
    return h;
  }

 protected:
  uint32_t PackPayload(uint8_t* base, uint32_t pos, const char* field) const override;
  uint32_t UnpackPayload(char* field, const uint8_t* base, uint32_t pos, uint32_t size) override;
};
