// A narrow text field: a Vcon::String constructed in place, empty when its length is 0. Packed as
// u32 n = length + 1, then the text and its NUL. Its index has text keys.
#pragma once

#include "database/dbTextKeyHandler.h"
#include "foundation/VconString.h"

class dbStringHandler : public dbTextKeyHandler {
 public:
  dbStringHandler() : dbTextKeyHandler(int32_t(sizeof(Vcon::String)), int32_t(alignof(Vcon::String))) {}

  void SetFromValue(const ppParameter& value, char* field) override;
  void GetAsValue(ppParameter* out, const char* field) const override;
  bool IsEmpty(const char* field) const override { return Text(field).empty(); }
  char* InitField(char* field) override;
  char* DisposeField(char* field) override;
  char* ClearField(char* field) override;
  int32_t PackedSize(const char* field) const override;

  static Vcon::String& Text(char* field);
  static const Vcon::String& Text(const char* field);

 protected:
  std::string KeyText(const char* field) const override;
  bool SameText(const char* a, const char* b) const override { return Text(a) == Text(b); }
  uint32_t PackPayload(uint8_t* base, uint32_t pos, const char* field) const override;
  uint32_t UnpackPayload(char* field, const uint8_t* base, uint32_t pos, uint32_t size) override;
};
