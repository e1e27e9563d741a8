#include "catalogue/unit3d/EntryBytes.h"

#include <cstring>

uint32_t EntryBytes::U32(size_t offset) const {
  if (offset + 4 > size_) return 0;
  uint32_t value;
  std::memcpy(&value, data_ + offset, 4);
  return value;
}

float EntryBytes::F32(size_t offset) const {
  const uint32_t bits = U32(offset);
  float value;
  std::memcpy(&value, &bits, 4);
  return value;
}

std::vector<uint8_t> EntryBytes::Copy(Handle data) {
  if (data == nullptr) return {};
  const size_t size = MemGetSize(data);
  const auto* bytes = reinterpret_cast<const uint8_t*>(*data);
  return std::vector<uint8_t>(bytes, bytes + size);
}
