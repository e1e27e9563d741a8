#include "catalogue/records/RecordField.h"

#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "database/dbBasicLongHandler.h"
#include "database/dbBasic8byteHandler.h"
#include "database/dbBasicmmHandler.h"
#include "database/dbBytes.h"
#include "database/dbDatafile.h"
#include "database/dbDoubleHandler.h"
#include "database/dbRecordLayout.h"
#include "database/dbStringHandler.h"
#include "database/dbUnicodeHandler.h"
#include "database/ppDatafile.h"
#include "foundation/ppParameter.h"
#include "foundation/ppMoney.h"

namespace {

constexpr int32_t kLong = 2, kLink = 8, kFlags = 15, kText = 1, kWideText = 14;
constexpr int32_t kMoney = 3, kDouble = 4, kDate = 5, kQuantity = 17;
constexpr int32_t kBlob = 9, kBlob2 = 10, kPicture = 11, kBlob3 = 12, kHandle = 16;

}  // namespace

RecordField::RecordField(const ppDatafile& file, const char* name) : RecordField(file, name, 0) {}

RecordField::RecordField(const ppDatafile& file, const char* name, int32_t earlier) {
  const dbRecordLayout& layout = file.File().Layout();
  std::string candidate;
  for (int32_t i = 0; i < layout.FieldCount() && index_ < 0; ++i) {
    layout.FieldName(i, candidate);
    if (candidate == name && earlier-- == 0) index_ = i;
  }
  if (index_ >= 0) SetTo(layout, index_);
}

void RecordField::SetTo(const dbRecordLayout& layout, int32_t index) {
  index_ = index;
  handler_ = &layout.Handler(index);
  type_ = layout.FieldType(index);
}

void RecordField::Bind(const ppDatafile& file, std::initializer_list<Binding> bindings) {
  const dbRecordLayout& layout = file.File().Layout();
  struct Wanted {
    RecordField* field;
    std::string_view name;
  };
  std::vector<Wanted> open;
  open.reserve(bindings.size());
  for (const Binding& binding : bindings) {
    binding.field = RecordField();
    open.push_back({&binding.field, binding.name});
  }
  // The layout's entries, each a name of at most kNameSize bytes (NUL-ended when shorter); every one
  // of FieldCount() lies within the bytes (the layout's constructor sees to it).
  const uint8_t* entries = layout.Bytes().data() + dbRecordLayout::kFields;
  for (int32_t i = 0; i < layout.FieldCount() && !open.empty(); ++i) {
    const char* stored =
        reinterpret_cast<const char*>(entries + size_t(dbRecordLayout::kEntrySize) * size_t(i));
    const std::string_view name(stored, strnlen(stored, dbRecordLayout::kNameSize));
    // Every binding of this name takes the field: one name asked twice finds its first field twice.
    for (size_t w = 0; w < open.size();) {
      if (open[w].name == name) {
        open[w].field->SetTo(layout, i);
        open[w] = open.back();
        open.pop_back();
      } else {
        ++w;
      }
    }
  }
}

bool RecordField::Is(std::initializer_list<int32_t> types) const {
  if (handler_ == nullptr) return false;
  for (int32_t type : types) {
    if (type == type_) return true;
  }
  return false;
}

const char* RecordField::At(const char* record) const { return record + handler_->Offset(); }

char* RecordField::At(char* record) const { return record + handler_->Offset(); }

int32_t RecordField::Long(const char* record) const {
  return Is({kLong, kLink, kFlags}) ? dbBasicLongHandler::Word(At(record)) : 0;
}

void RecordField::SetLong(char* record, int32_t value) const {
  if (Is({kLong, kLink, kFlags})) dbBasicLongHandler::SetWord(At(record), value);
}

int64_t RecordField::MoneyRaw(const char* record) const {
  return Is({kMoney}) ? dbBasic8byteHandler::Raw(At(record)) : ppMoney::kNoValue;
}

void RecordField::SetMoneyRaw(char* record, int64_t raw) const {
  if (Is({kMoney})) dbBasic8byteHandler::SetRaw(At(record), raw);
}

Vcon::String RecordField::Text(const char* record) const {
  return Is({kText}) ? dbStringHandler::Text(At(record)) : Vcon::String();
}

Vcon::WString RecordField::WideText(const char* record) const {
  return Is({kWideText}) ? dbUnicodeHandler::Text(At(record)) : Vcon::WString();
}

void RecordField::SetWideText(char* record, const Vcon::WString& text) const {
  if (Is({kWideText})) dbUnicodeHandler::Text(At(record)) = text;
}

Handle RecordField::Data(const char* record) const {
  return Is({kBlob, kBlob2, kPicture, kBlob3, kHandle}) ? dbBasicmmHandler::Data(At(record)) : nullptr;
}

std::vector<int32_t> RecordField::Words(const char* record) const {
  std::vector<int32_t> words;
  Handle data = Data(record);
  if (data == nullptr || *data == nullptr) return words;
  const uint32_t count = uint32_t(MemGetSize(data)) / 4;
  words.reserve(count);
  for (uint32_t i = 0; i < count; ++i) words.push_back(db::GetI32(*data, i * 4));
  return words;
}

void RecordField::SetText(char* record, const Vcon::String& text) const {
  if (Is({kText})) dbStringHandler::Text(At(record)) = text;
}

double RecordField::Double(const char* record) const {
  return Is({kDouble}) ? dbDoubleHandler::Value(At(record)) : 0.0;
}

void RecordField::SetDouble(char* record, double value) const {
  int64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  if (Is({kDouble})) dbBasic8byteHandler::SetRaw(At(record), bits);
}

int64_t RecordField::Raw64(const char* record) const {
  return Is({kMoney, kDouble, kDate}) ? dbBasic8byteHandler::Raw(At(record)) : 0;
}

void RecordField::SetRaw64(char* record, int64_t bits) const {
  if (Is({kMoney, kDouble, kDate})) dbBasic8byteHandler::SetRaw(At(record), bits);
}

DecimalNumber RecordField::Quantity(const char* record) const {
  if (!Is({kQuantity})) return DecimalNumber();
  ppParameter value;
  handler_->GetAsValue(&value, At(record));
  return value.ToQuantity();
}

void RecordField::SetQuantity(char* record, const DecimalNumber& value) const {
  // The handlers are the layout's; writing a field through one changes only the given record.
  if (Is({kQuantity})) const_cast<dbHandler*>(handler_)->SetFromValue(ppParameter(value), At(record));
}
