#include "elements/topview/ListChecksum.h"

uint32_t ListChecksum(const uint8_t* bytes, size_t length) {
  uint32_t r = 0xFFFFFFFF;
  for (size_t i = 0; i < length; ++i) {
    r ^= uint32_t(int32_t(int8_t(bytes[i])));
    for (int bit = 0; bit < 8; ++bit) {
      const bool out = (r & 1) != 0;
      r = (r & 0xFFFF0000) | ((r & 0xFFFF) >> 1);
      if (out) r ^= 0xFFFFA001;
    }
  }
  return r;
}
