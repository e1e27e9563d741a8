// Builds record-layout bytes (the DICT form) for the tests of handlers, packed records and table
// files: version, file id, record class, declared count, then 44-byte field entries.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "database/dbBytes.h"
#include "database/dbRecordLayout.h"

namespace dbtest {

struct FieldSpec {
  std::string name;
  int32_t type = 2;
  int32_t flags = 0;  // 1 = indexed
  int32_t linkedFileId = 0;
};

// kAsGiven declares exactly the fields given.
inline constexpr int32_t kAsGiven = INT32_MIN;

inline std::vector<uint8_t> MakeLayout(int32_t version, const std::vector<FieldSpec>& fields,
                                       int32_t declared = kAsGiven, int32_t fileId = 6000) {
  std::vector<uint8_t> bytes(dbRecordLayout::kFields + dbRecordLayout::kEntrySize * fields.size(), '.');
  db::PutI32(bytes.data(), dbRecordLayout::kVersion, version);
  db::PutI32(bytes.data(), dbRecordLayout::kFileId, fileId);
  std::memcpy(bytes.data() + dbRecordLayout::kRecordClass, "qxTest", 7);
  db::PutI32(bytes.data(), 40, 0);
  db::PutI32(bytes.data(), dbRecordLayout::kFieldCount,
             declared == kAsGiven ? int32_t(fields.size()) : declared);
  for (size_t i = 0; i < fields.size(); ++i) {
    const auto at = uint32_t(dbRecordLayout::kFields + dbRecordLayout::kEntrySize * i);
    std::memcpy(bytes.data() + at, fields[i].name.c_str(), fields[i].name.size() + 1);
    db::PutI32(bytes.data(), at + dbRecordLayout::kEntryType, fields[i].type);
    db::PutI32(bytes.data(), at + dbRecordLayout::kEntryFlags, fields[i].flags);
    db::PutI32(bytes.data(), at + dbRecordLayout::kEntryLinkedFile, fields[i].linkedFileId);
  }
  return bytes;
}

// The packed form of a record.
inline std::vector<uint8_t> PackedBytes(const dbRecordLayout& layout, const char* record) {
  std::vector<uint8_t> bytes(layout.PackedSize(record), 0xAA);
  EXPECT_EQ(layout.Pack(bytes.data(), record), bytes.size());
  return bytes;
}

}  // namespace dbtest
