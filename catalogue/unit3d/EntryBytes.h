// One fixed-size entry of a catalogue blob, copied out of it: little-endian 32-bit words and floats
// read by byte offset. Reads past the entry's end answer 0, so a short or damaged entry never reads
// outside its copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "foundation/Vcon_HandleManager.h"
#include "foundation/ppVector3.h"

class EntryBytes {
 public:
  EntryBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint32_t U32(size_t offset) const;
  int32_t I32(size_t offset) const { return static_cast<int32_t>(U32(offset)); }
  float F32(size_t offset) const;
  ppVector3 Vec3(size_t offset) const { return ppVector3(F32(offset), F32(offset + 4), F32(offset + 8)); }

  // A copy of a blob's bytes (empty for a null handle).
  static std::vector<uint8_t> Copy(Handle data);
  // A blob read as whole elements of T (trivially copyable); a partial element at the end is dropped.
  template <typename T>
  static std::vector<T> As(Handle data);

 private:
  const uint8_t* data_;
  size_t size_;
};

template <typename T>
std::vector<T> EntryBytes::As(Handle data) {
  const std::vector<uint8_t> bytes = Copy(data);
  std::vector<T> out(bytes.size() / sizeof(T));
  for (size_t i = 0; i < out.size(); ++i) std::memcpy(&out[i], bytes.data() + i * sizeof(T), sizeof(T));
  return out;
}
