#include "database/dbUnicodeHandler.h"

#include <new>

#include "database/dbRecordPacking.h"
#include "foundation/ppParameter.h"

Vcon::WString& dbUnicodeHandler::Text(char* field) {
  return *std::launder(reinterpret_cast<Vcon::WString*>(field));
}

const Vcon::WString& dbUnicodeHandler::Text(const char* field) {
  return *std::launder(reinterpret_cast<const Vcon::WString*>(field));
}

void dbUnicodeHandler::SetFromValue(const ppParameter& value, char* field) {
  Text(field) = value.AsWString();
}

void dbUnicodeHandler::GetAsValue(ppParameter* out, const char* field) const { out->SetWString(Text(field)); }

char* dbUnicodeHandler::InitField(char* field) {
  new (field) Vcon::WString();
  return field + Width();
}

char* dbUnicodeHandler::DisposeField(char* field) {
  Text(field).~WString();
  return field + Width();
}

char* dbUnicodeHandler::ClearField(char* field) {
  Text(field).clear();
  return field + Width();
}

int32_t dbUnicodeHandler::PackedSize(const char* field) const {
  const auto& text = Text(field);
  return text.empty() ? 0 : int32_t(db::AlignTo4((uint32_t(text.size()) + 1) * 2 + 8));
}

uint32_t dbUnicodeHandler::PackPayload(uint8_t* base, uint32_t pos, const char* field) const {
  const auto& text = Text(field);
  const uint32_t n = (uint32_t(text.size()) + 1) * 2;
  pos = db::PutU32(base, pos, n);
  for (size_t i = 0; i <= text.size(); ++i) {  // the terminating 0 included
    const char16_t c = text.c_str()[i];
    base[pos++] = uint8_t(c);
    base[pos++] = uint8_t(c >> 8);
  }
  return pos;
}

uint32_t dbUnicodeHandler::UnpackPayload(char* field, const uint8_t* base, uint32_t pos, uint32_t size) {
  uint32_t n = 0;
  pos = db::GetU32(base, pos, size, n);
  db::RequireBytes(pos, n, size);
  auto& text = Text(field);
  text.clear();
  for (uint32_t i = 0; i + 1 < n; i += 2) {  // up to the first 0
    const char16_t c = char16_t(base[pos + i] | base[pos + i + 1] << 8);
    if (c == 0) break;
    text.push_back(c);
  }
  return pos + n;
}

std::string dbUnicodeHandler::KeyText(const char* field) const { return Text(field).Narrow(); }
