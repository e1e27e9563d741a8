#include "foundation/ppStream.h"

char ppStream::ReadChar() { return static_cast<char>(ReadByte()); }

uint16_t ppStream::ReadShort() {
  auto low = static_cast<uint8_t>(ReadChar());
  auto high = static_cast<uint8_t>(ReadChar());
  return static_cast<uint16_t>(low | (high << 8));
}

void ppStream::WriteChar(char c) { WriteByte(static_cast<uint8_t>(c)); }

void ppStream::WriteShort(uint16_t value) {
  WriteChar(static_cast<char>(value & 0xFF));
  WriteChar(static_cast<char>(value >> 8));
}

void ppStream::SeekBackWide(int32_t n) { SeekBack(2 * n); }

bool ppStream::IsWide() { return false; }

void ppStream::WriteWideText(const Vcon::WString& text) {
  for (char16_t unit : text) WriteShort(static_cast<uint16_t>(unit));
}

void ppStream::WriteText(const Vcon::String& text) {
  for (char c : text) WriteByte(static_cast<uint8_t>(c));
}

ppParameter ppStream::GetParameter() { return ppParameter(); }

void ppStream::SetParameter(const ppParameter&) {}
