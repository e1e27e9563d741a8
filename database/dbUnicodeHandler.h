// A wide text field: a Vcon::WString constructed in place, empty when its length is 0. Packed as
// u32 n = (length + 1) x 2, then the UTF-16LE text and its 0. Its index has text keys: the text
// narrowed through the ANSI code page.
#pragma once

#include "database/dbTextKeyHandler.h"
#include "foundation/VconString.h"

class dbUnicodeHandler : public dbTextKeyHandler {
 public:
  dbUnicodeHandler() : dbTextKeyHandler(int32_t(sizeof(Vcon::WString)), int32_t(alignof(Vcon::WString))) {}

  void SetFromValue(const ppParameter& value, char* field) override;
  void GetAsValue(ppParameter* out, const char* field) const override;
  bool IsEmpty(const char* field) const override { return Text(field).empty(); }
  char* InitField(char* field) override;
  char* DisposeField(char* field) override;
  char* ClearField(char* field) override;
  int32_t PackedSize(const char* field) const override;

  static Vcon::WString& Text(char* field);
  static const Vcon::WString& Text(const char* field);

 protected:
  std::string KeyText(const char* field) const override;
  bool SameText(const char* a, const char* b) const override { return Text(a) == Text(b); }
  uint32_t PackPayload(uint8_t* base, uint32_t pos, const char* field) const override;
  uint32_t UnpackPayload(char* field, const uint8_t* base, uint32_t pos, uint32_t size) override;
};
