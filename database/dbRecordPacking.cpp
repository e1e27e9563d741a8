#include "database/dbRecordPacking.h"

#include <cstring>

#include "database/dbBytes.h"
#include "database/dbErrors.h"

namespace db {

uint32_t PadTo4(uint8_t* base, uint32_t pos) {
  const uint32_t aligned = AlignTo4(pos);
  if (aligned > pos) std::memset(base + pos, 0, aligned - pos);
  return aligned;
}

uint32_t PutTag(uint8_t* base, uint32_t pos, int32_t tag) {
  pos = PadTo4(base, pos);
  PutI32(base, pos, tag);
  return pos + 4;
}

uint32_t CheckTag(const uint8_t* base, uint32_t pos, uint32_t size, int32_t tag, bool& found) {
  pos = AlignTo4(pos);
  found = pos <= size && size - pos >= 4 && GetI32(base, pos) == tag;
  return found ? pos + 4 : pos;
}

uint32_t PutU32(uint8_t* base, uint32_t pos, uint32_t value) {
  PutI32(base, pos, int32_t(value));
  return pos + 4;
}

uint32_t PutU64(uint8_t* base, uint32_t pos, uint64_t value) {
  PutI32(base, pos, int32_t(uint32_t(value)));
  PutI32(base, pos + 4, int32_t(uint32_t(value >> 32)));
  return pos + 8;
}

uint32_t PutBytes(uint8_t* base, uint32_t pos, const void* bytes, uint32_t n) {
  if (n != 0) std::memcpy(base + pos, bytes, n);
  return pos + n;
}

void RequireBytes(uint32_t pos, uint32_t n, uint32_t size) {
  if (pos > size || size - pos < n) Fail(kDamagedFile);
}

uint32_t GetU32(const uint8_t* base, uint32_t pos, uint32_t size, uint32_t& value) {
  RequireBytes(pos, 4, size);
  value = uint32_t(GetI32(base, pos));
  return pos + 4;
}

uint64_t GetU64At(const uint8_t* base, uint32_t pos, uint32_t size) {
  RequireBytes(pos, 8, size);
  return uint64_t(uint32_t(GetI32(base, pos))) | uint64_t(uint32_t(GetI32(base, pos + 4))) << 32;
}

}  // namespace db
