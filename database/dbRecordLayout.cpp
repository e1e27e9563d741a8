#include "database/dbRecordLayout.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "database/dbBytes.h"
#include "database/dbErrors.h"
#include "database/dbHandlerFactory.h"
#include "database/dbRecordPacking.h"

namespace {

// Record blocks are aligned for every field type.
constexpr std::align_val_t kRecordAlignment{alignof(std::max_align_t)};

}  // namespace

int32_t dbRecordLayout::UsableFieldCount(const uint8_t* layout, uint32_t size) {
  if (layout == nullptr || size < kFields) db::Fail(db::kDamagedFile);
  const int32_t declared = db::GetI32(layout, kFieldCount);
  if (declared < 0) db::Fail(db::kDamagedFile);
  const auto held = int32_t((size - kFields) / kEntrySize);
  return declared < held ? declared : held;
}

dbRecordLayout::dbRecordLayout(const uint8_t* layout, uint32_t size) {
  const int32_t count = UsableFieldCount(layout, size);
  bytes_.assign(layout, layout + size);
  handlers_.reserve(size_t(count));
  int32_t offset = 0;
  for (int32_t i = 0; i < count; ++i) {
    auto handler = dbHandlerFactory::ForType(FieldType(i));
    offset = handler->Align(offset);
    handler->SetOffset(offset);
    offset += handler->Width();
    handlers_.push_back(std::move(handler));
  }
  recordSize_ = offset;
  template_ = NewRecord();
}

dbRecordLayout::~dbRecordLayout() { DisposeRecord(template_); }

int32_t dbRecordLayout::FieldType(int32_t field) const {
  return db::GetI32(bytes_.data(), EntryOffset(field) + kEntryType);
}

int32_t dbRecordLayout::FieldFlags(int32_t field) const {
  return db::GetI32(bytes_.data(), EntryOffset(field) + kEntryFlags);
}

int32_t dbRecordLayout::LinkedFileId(int32_t field) const {
  return db::GetI32(bytes_.data(), EntryOffset(field) + kEntryLinkedFile);
}

void dbRecordLayout::FieldName(int32_t field, std::string& out) const {
  if (field < 0 || field >= FieldCount()) {
    out.clear();
    return;
  }
  const char* name = reinterpret_cast<const char*>(bytes_.data() + EntryOffset(field));
  out.assign(name, strnlen(name, kNameSize));
}

int32_t dbRecordLayout::FieldIndex(const std::string& name) const {
  std::string candidate;
  for (int32_t i = 0; i < FieldCount(); ++i) {
    FieldName(i, candidate);
    if (candidate == name) return i;
  }
  return -1;
}

char* dbRecordLayout::NewRecord() const {
  const size_t size = recordSize_ > 0 ? size_t(recordSize_) : 1;
  char* record = static_cast<char*>(::operator new(size, kRecordAlignment));
  std::memset(record, 0, size);
  for (const auto& h : handlers_) h->InitField(record + h->Offset());
  return record;
}

void dbRecordLayout::DisposeRecord(char* record) const {
  if (record == nullptr) return;
  for (const auto& h : handlers_) h->DisposeField(record + h->Offset());
  ::operator delete(record, kRecordAlignment);
}

void dbRecordLayout::ClearRecord(char* record) const {
  for (const auto& h : handlers_) h->ClearField(record + h->Offset());
}

void dbRecordLayout::CopyRecord(const char* from, char* to) const {
  const uint32_t size = PackedSize(from);
  std::vector<uint8_t> packed(size);
  Pack(packed.data(), from);
  Unpack(to, packed.data(), size);
}

uint32_t dbRecordLayout::PackedSize(const char* record) const {
  uint32_t size = 4;
  for (const auto& h : handlers_) size += uint32_t(h->PackedSize(record + h->Offset()));
  return size;
}

uint32_t dbRecordLayout::Pack(uint8_t* destination, const char* record) const {
  uint32_t pos = 0;
  for (int32_t i = 0; i < FieldCount(); ++i) {
    const dbHandler& h = *handlers_[size_t(i)];
    pos = h.Pack(destination, pos, record + h.Offset(), i);
  }
  return db::PutTag(destination, pos, db::kEndTag);
}

Handle dbRecordLayout::NewPacked(const char* record) const {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, PackedSize(record));
  Pack(reinterpret_cast<uint8_t*>(*h), record);
  return h;
}

void dbRecordLayout::PackInto(Handle h, const char* record) const {
  const uint32_t size = PackedSize(record);
  MemSetSize(h, size);
  Pack(reinterpret_cast<uint8_t*>(*h), record);
}

uint32_t dbRecordLayout::Unpack(char* record, const uint8_t* source, uint32_t size) const {
  uint32_t pos = 0;
  for (int32_t i = 0; i < FieldCount(); ++i) {
    dbHandler& h = *handlers_[size_t(i)];
    pos = h.Unpack(record + h.Offset(), source, pos, size, i);
  }
  return pos;
}

void dbRecordLayout::SetField(int32_t field, const ppParameter& value, char* record) const {
  dbHandler& h = Handler(field);
  h.SetFromValue(value, record + h.Offset());
}

void dbRecordLayout::SetField(int32_t field, const ppParameter& value, const DecimalFormat& moneyFormat,
                              char* record) const {
  dbHandler& h = Handler(field);
  h.SetFromValueWithMoneyFormat(value, moneyFormat, record + h.Offset());
}

void dbRecordLayout::GetField(int32_t field, ppParameter* out, const char* record) const {
  const dbHandler& h = Handler(field);
  h.GetAsValue(out, record + h.Offset());
}
