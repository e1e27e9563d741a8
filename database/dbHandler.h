// A field handler serves one field of a record layout: it knows the field's width and alignment in
// the in-memory record, constructs, clears and releases the field's value, converts it to and from
// a typed value, writes it into and reads it from the tagged packed form in which every record is
// stored, and keeps the field's index.
//
// Packed form (little-endian): for each non-empty field, padding to the next multiple of 4 counted
// from the start of the packed record (written as 0, never read), the u32 tag = field number, then
// the type's payload; the record ends with the tag 0xFFFFFFFF, padded to 4.
//
// A field is addressed by the address of its first byte inside a record block. Handlers hold no
// per-record state; one handler object serves one field of one bound layout.
#pragma once

#include <cstdint>

#include "foundation/Vcon_HandleManager.h"

class DecimalFormat;
class dbDatabase;
class dbHandler;
class dbIndex;
class ppParameter;

// One index of a table file as held in memory: the stored part (header record, field number) and
// the run-time references (not owned here).
struct dbIndexEntry {
  int32_t headerRecord = 0;  // record number of the index's header record; 0 or less = not built
  int32_t fieldNumber = 0;   // -1 = to be dropped
  dbIndex* index = nullptr;
  dbHandler* handler = nullptr;
};

// An operator query on a numeric index: the operator character ('=', 0xC5, 0xAD, 0xB2, 0xB3, '<',
// '>'), the combination character ('&', '+', '-') and the address of the 32-bit key.
struct dbQuery {
  uint8_t op = '=';
  uint8_t combine = '&';
  const void* value = nullptr;
};

class dbHandler {
 public:
  dbHandler(int32_t width, int32_t alignment) : width_(width), alignment_(alignment) {}
  virtual ~dbHandler() = default;
  dbHandler(const dbHandler&) = delete;
  dbHandler& operator=(const dbHandler&) = delete;

  int32_t Width() const { return width_; }
  int32_t Offset() const { return offset_; }
  void SetOffset(int32_t offset) { offset_ = offset; }

  virtual void SetFromValue(const ppParameter& value, char* field);
  // As SetFromValue, but a money field reads the value's text with `moneyFormat` instead of ppMoney's
  // process-wide default format; every other type ignores the format.
  virtual void SetFromValueWithMoneyFormat(const ppParameter& value, const DecimalFormat& moneyFormat,
                                           char* field);
  virtual void GetAsValue(ppParameter* out, const char* field) const;
  virtual bool IsEmpty(const char* field) const = 0;
  // `offset` rounded up to the field's alignment.
  virtual int32_t Align(int32_t offset) const;
  // Each returns the address after the field.
  virtual char* InitField(char* field) = 0;
  virtual char* DisposeField(char* field);
  virtual char* ClearField(char* field) = 0;

  // Bytes the field takes in a packed record, tag and padding included; 0 when empty.
  virtual int32_t PackedSize(const char* field) const = 0;
  // Writes the field at `pos` of `base` (nothing when empty); returns the position after it. The
  // caller sized the buffer by PackedSize.
  uint32_t Pack(uint8_t* base, uint32_t pos, const char* field, int32_t tag) const;
  // Reads the field from `pos` of the `size` bytes at `base`. When the tag there is not `tag` the
  // field is emptied and the aligned position is returned. A payload that runs past `size` throws
  // db::kDamagedFile.
  uint32_t Unpack(char* field, const uint8_t* base, uint32_t pos, uint32_t size, int32_t tag);

  // Indexes: the default has none (NewIndex writes -1 into the entry).
  virtual dbIndex* OpenIndex(int32_t headerRecord, dbDatabase& database);
  virtual dbIndex* NewIndex(dbIndexEntry* entry, dbDatabase& database);
  // The default gives a new empty record-number list.
  virtual Handle Select(dbIndex* index, const dbQuery& query, Handle previous);
  virtual void AddKey(int32_t record, dbIndexEntry* entry, const char* recordData);
  virtual void RemoveKey(int32_t record, dbIndexEntry* entry, const char* recordData);
  virtual void UpdateKey(int32_t record, dbIndexEntry* entry, const char* newRecord, const char* oldRecord);

 protected:
  // The field inside a whole record.
  const char* FieldIn(const char* record) const { return record + offset_; }
  // Payload of a non-empty field, written after its tag.
  virtual uint32_t PackPayload(uint8_t* base, uint32_t pos, const char* field) const = 0;
  virtual uint32_t UnpackPayload(char* field, const uint8_t* base, uint32_t pos, uint32_t size) = 0;

 private:
  int32_t width_;
  int32_t alignment_;
  int32_t offset_ = 0;
};
