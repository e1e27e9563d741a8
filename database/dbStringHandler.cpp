#include "database/dbStringHandler.h"

#include <cstring>
#include <new>

#include "database/dbRecordPacking.h"
#include "foundation/ppParameter.h"

Vcon::String& dbStringHandler::Text(char* field) {
  return *std::launder(reinterpret_cast<Vcon::String*>(field));
}

const Vcon::String& dbStringHandler::Text(const char* field) {
  return *std::launder(reinterpret_cast<const Vcon::String*>(field));
}

void dbStringHandler::SetFromValue(const ppParameter& value, char* field) { Text(field) = value.AsString(); }

void dbStringHandler::GetAsValue(ppParameter* out, const char* field) const { out->SetString(Text(field)); }

char* dbStringHandler::InitField(char* field) {
  new (field) Vcon::String();
  return field + Width();
}

char* dbStringHandler::DisposeField(char* field) {
  Text(field).~String();
  return field + Width();
}

char* dbStringHandler::ClearField(char* field) {
  Text(field).clear();
  return field + Width();
}

int32_t dbStringHandler::PackedSize(const char* field) const {
  const auto& text = Text(field);
  return text.empty() ? 0 : int32_t(db::AlignTo4(uint32_t(text.size()) + 9));
}

uint32_t dbStringHandler::PackPayload(uint8_t* base, uint32_t pos, const char* field) const {
  const auto& text = Text(field);
  pos = db::PutU32(base, pos, uint32_t(text.size()) + 1);
  return db::PutBytes(base, pos, text.c_str(), uint32_t(text.size()) + 1);
}

uint32_t dbStringHandler::UnpackPayload(char* field, const uint8_t* base, uint32_t pos, uint32_t size) {
  uint32_t n = 0;
  pos = db::GetU32(base, pos, size, n);
  db::RequireBytes(pos, n, size);
  const char* text = reinterpret_cast<const char*>(base + pos);
  Text(field).assign(text, strnlen(text, n));  // the text ends at its NUL
  return pos + n;
}

std::string dbStringHandler::KeyText(const char* field) const { return Text(field); }
