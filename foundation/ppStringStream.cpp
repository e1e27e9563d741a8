#include "foundation/ppStringStream.h"

uint8_t ppStringStream::ReadByte() {
  if (position < 0 || static_cast<size_t>(position) >= text.size()) return 0;
  return static_cast<uint8_t>(text[static_cast<size_t>(position++)]);
}

void ppStringStream::WriteByte(uint8_t b) {
  if (position == kAppend) text += static_cast<char>(b);
}

bool ppStringStream::AtEnd() {
  // Compared unsigned, so append mode (-1) counts as the end.
  return static_cast<uint32_t>(text.size()) <= static_cast<uint32_t>(position);
}

void ppStringStream::Seek(uint32_t newPosition) {
  if (position == kAppend) return;
  position = static_cast<int32_t>(newPosition);
}

void ppStringStream::SeekBack(int32_t n) {
  int64_t back = static_cast<int64_t>(position) - n;
  position = back < 0 ? 0 : static_cast<int32_t>(back);
}
