#include "elements/base/SnapAnchor.h"

#include <cstring>

namespace {

int32_t WordAt(const char* entry, int32_t index) {
  int32_t word = 0;
  std::memcpy(&word, entry + index * 4, sizeof word);
  return word;
}

float FloatAt(const char* entry, int32_t index) {
  float value = 0.0f;
  std::memcpy(&value, entry + index * 4, sizeof value);
  return value;
}

}  // namespace

std::vector<SnapAnchor> SnapAnchor::FromBlob(Handle blob) {
  if (blob == nullptr || *blob == nullptr) return {};
  return FromBytes(reinterpret_cast<const uint8_t*>(*blob), size_t(MemGetSize(blob)));
}

std::vector<SnapAnchor> SnapAnchor::FromBytes(const uint8_t* bytes, size_t size) {
  std::vector<SnapAnchor> anchors(size / kEntryBytes);
  for (size_t i = 0; i < anchors.size(); ++i) {
    const char* entry = reinterpret_cast<const char*>(bytes) + i * kEntryBytes;
    SnapAnchor& anchor = anchors[i];
    anchor.code = WordAt(entry, 0);
    anchor.point = ppVector3(FloatAt(entry, 1), FloatAt(entry, 2), FloatAt(entry, 3));
    anchor.direction = FloatAt(entry, 4);
    anchor.level = WordAt(entry, 5);
    anchor.flags = uint32_t(WordAt(entry, 6));
    anchor.word7 = WordAt(entry, 7);
  }
  return anchors;
}
