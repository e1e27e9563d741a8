// The text fields (narrow and wide): a text object constructed in place in the record's field, empty
// when its length is 0. Packed as u32 n = (length + 1) x character size, then the characters
// little-endian and a terminating 0; reading stops at the first 0 inside the n bytes.
//
// TextType is Vcon::String or Vcon::WString; the two instantiations live in dbFieldTextHandler.cpp.
#pragma once

#include "database/dbTextKeyHandler.h"
#include "foundation/VconString.h"

template <typename TextType>
class dbFieldTextHandler : public dbTextKeyHandler {
 public:
  dbFieldTextHandler() : dbTextKeyHandler(int32_t(sizeof(TextType)), int32_t(alignof(TextType))) {}

  bool IsEmpty(const char* field) const override { return Text(field).empty(); }
  char* InitField(char* field) override;
  char* DisposeField(char* field) override;
  char* ClearField(char* field) override;
  int32_t PackedSize(const char* field) const override;

  static TextType& Text(char* field);
  static const TextType& Text(const char* field);

 protected:
  bool SameText(const char* a, const char* b) const override { return Text(a) == Text(b); }
  uint32_t PackPayload(uint8_t* base, uint32_t pos, const char* field) const override;
  uint32_t UnpackPayload(char* field, const uint8_t* base, uint32_t pos, uint32_t size) override;
};

extern template class dbFieldTextHandler<Vcon::String>;
extern template class dbFieldTextHandler<Vcon::WString>;
