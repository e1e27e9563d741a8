// Little-endian access to the fixed layouts of the database file (headers, pages, index nodes).
// Reading through memcpy keeps unaligned offsets well defined.
#pragma once

#include <cstdint>
#include <cstring>

namespace db {

inline int32_t GetI32(const void* base, uint32_t offset) {
  const auto* p = static_cast<const unsigned char*>(base) + offset;
  return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                              uint32_t(p[3]) << 24);
}

inline void PutI32(void* base, uint32_t offset, int32_t value) {
  auto* p = static_cast<unsigned char*>(base) + offset;
  const auto v = static_cast<uint32_t>(value);
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

inline int16_t GetI16(const void* base, uint32_t offset) {
  const auto* p = static_cast<const unsigned char*>(base) + offset;
  return static_cast<int16_t>(uint16_t(p[0] | p[1] << 8));
}

inline void PutI16(void* base, uint32_t offset, int16_t value) {
  auto* p = static_cast<unsigned char*>(base) + offset;
  const auto v = static_cast<uint16_t>(value);
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

}  // namespace db
