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
  std::vector<SnapAnchor> anchors;
  if (blob == nullptr || *blob == nullptr) return anchors;
  const int32_t count = MemGetSize(blob) / int32_t(kEntryBytes);
  anchors.resize(size_t(count));
  for (int32_t i = 0; i < count; ++i) {
    const char* entry = *blob + size_t(i) * kEntryBytes;
    SnapAnchor& anchor = anchors[size_t(i)];
    anchor.code = WordAt(entry, 0);
    anchor.point = ppVector3(FloatAt(entry, 1), FloatAt(entry, 2), FloatAt(entry, 3));
    anchor.direction = FloatAt(entry, 4);
    anchor.level = WordAt(entry, 5);
    anchor.flags = uint32_t(WordAt(entry, 6));
    anchor.word7 = WordAt(entry, 7);
  }
  return anchors;
}
