#include "database/dbQuantityHandler.h"

#include <new>

#include "foundation/DecimalNumber.h"
#include "foundation/ppParameter.h"

dbQuantityHandler::dbQuantityHandler()
    : dbBasic8byteHandler(int32_t(sizeof(DecimalNumber)), int32_t(alignof(DecimalNumber))) {}

DecimalNumber& dbQuantityHandler::Number(char* field) {
  return *std::launder(reinterpret_cast<DecimalNumber*>(field));
}

const DecimalNumber& dbQuantityHandler::Number(const char* field) {
  return *std::launder(reinterpret_cast<const DecimalNumber*>(field));
}

void dbQuantityHandler::SetFromValue(const ppParameter& value, char* field) {
  // A quantity keeps all its places; only other values go through their text.
  if (value.Type() == ppParameter::kQuantity) {
    Number(field) = value.ToQuantity();
    return;
  }
  DecimalNumber parsed;
  parsed.Parse(value.AsString(), ppParameter::PlainNumberFormat());
  Number(field) = parsed;
}

void dbQuantityHandler::GetAsValue(ppParameter* out, const char* field) const {
  out->SetQuantity(Number(field));
}

bool dbQuantityHandler::IsEmpty(const char* field) const { return Number(field).IsZero(); }

char* dbQuantityHandler::InitField(char* field) {
  new (field) DecimalNumber();
  return field + Width();
}

char* dbQuantityHandler::DisposeField(char* field) {
  Number(field).~DecimalNumber();
  return field + Width();
}

char* dbQuantityHandler::ClearField(char* field) {
  Number(field).Set(0, 4);
  return field + Width();
}

void dbQuantityHandler::GetText(Vcon::String& out, const char* field) const {
  out = Number(field).Format(ppParameter::PlainNumberFormat());
}

int64_t dbQuantityHandler::StoredWord(const char* field) const { return Number(field).RawWord(); }

void dbQuantityHandler::SetStoredWord(char* field, int64_t word) { Number(field).SetRawWord(word); }
