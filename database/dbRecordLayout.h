// A record layout bound to field handlers: the in-memory record (one field after the other, each at
// its handler's alignment) and its packed form.
//
// The layout bytes are those of a DICT resource or of the copy a table file stores (little-endian):
// 0 version, 4 file id, 8 record class name (32 bytes), 40 reserved, 44 declared field count, 48
// field entries of 44 bytes: 0 name (32 bytes, NUL-terminated), 32 type code, 36 flags (bit 0 =
// indexed), 40 linked file id. The usable field count is the declared count, but never more entries
// than the bytes hold; bytes past the last used entry are ignored.
//
// Records are blocks owned by whoever asked for them (NewRecord / DisposeRecord); the layout owns
// its handlers, its copy of the layout bytes and its template record.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "database/dbHandler.h"

class ppParameter;

class dbRecordLayout {
 public:
  static constexpr uint32_t kVersion = 0, kFileId = 4, kRecordClass = 8, kFieldCount = 44;
  static constexpr uint32_t kFields = 48, kEntrySize = 44;
  static constexpr uint32_t kEntryType = 32, kEntryFlags = 36, kEntryLinkedFile = 40;
  static constexpr uint32_t kNameSize = 32;

  // Throws db::kDamagedFile when the bytes are shorter than the 48-byte head or the declared count
  // is negative.
  dbRecordLayout(const uint8_t* layout, uint32_t size);
  ~dbRecordLayout();
  dbRecordLayout(const dbRecordLayout&) = delete;
  dbRecordLayout& operator=(const dbRecordLayout&) = delete;

  // The usable number of fields of layout bytes (checked as the constructor does).
  static int32_t UsableFieldCount(const uint8_t* layout, uint32_t size);

  int32_t FieldCount() const { return int32_t(handlers_.size()); }
  int32_t RecordSize() const { return recordSize_; }
  dbHandler& Handler(int32_t field) const { return *handlers_.at(size_t(field)); }
  int32_t FieldType(int32_t field) const;
  int32_t FieldFlags(int32_t field) const;
  int32_t LinkedFileId(int32_t field) const;
  void FieldName(int32_t field, std::string& out) const;
  // The field number of a name, -1 when the layout has none.
  int32_t FieldIndex(const std::string& name) const;
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

  char* NewRecord() const;
  void DisposeRecord(char* record) const;
  void ClearRecord(char* record) const;
  void CopyRecord(const char* from, char* to) const;

  // Bytes of the packed form, end tag included.
  uint32_t PackedSize(const char* record) const;
  // Writes the packed form into `destination` (PackedSize bytes); returns the bytes written.
  uint32_t Pack(uint8_t* destination, const char* record) const;
  // Resizes `h` to the packed size and packs the record into it.
  void PackInto(Handle h, const char* record) const;
  // A new handle of the packed size holding the packed record; the caller's.
  Handle NewPacked(const char* record) const;
  // Reads a packed record of `size` bytes; a payload running past them throws db::kDamagedFile.
  // Answers where the fields read end (the end mark, when there is one, lies at the next multiple
  // of 4).
  uint32_t Unpack(char* record, const uint8_t* source, uint32_t size) const;

  void SetField(int32_t field, const ppParameter& value, char* record) const;
  // As SetField, a money field reading the value's text with `moneyFormat` (see dbHandler).
  void SetField(int32_t field, const ppParameter& value, const DecimalFormat& moneyFormat,
                char* record) const;
  void GetField(int32_t field, ppParameter* out, const char* record) const;

 private:
  uint32_t EntryOffset(int32_t field) const { return kFields + kEntrySize * uint32_t(field); }

  std::vector<uint8_t> bytes_;
  std::vector<std::unique_ptr<dbHandler>> handlers_;
  int32_t recordSize_ = 0;
  char* template_ = nullptr;
};
