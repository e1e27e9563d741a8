// A 32-bit float field, empty at 0.0. Its index can be opened and queried, but no keys are ever
// added to it, so it stays empty.
#pragma once

#include "database/dbLongHandler.h"

class dbFloatHandler : public dbLongHandler {
 public:
  void SetFromValue(const ppParameter& value, char* field) override;
  void GetAsValue(ppParameter* out, const char* field) const override;
  bool IsEmpty(const char* field) const override { return Value(field) == 0.0f; }

  void AddKey(int32_t, dbIndexEntry*, const char*) override {}
  void RemoveKey(int32_t, dbIndexEntry*, const char*) override {}
  void UpdateKey(int32_t, dbIndexEntry*, const char*, const char*) override {}

  static float Value(const char* field) {
    float f;
    std::memcpy(&f, field, 4);
    return f;
  }
};
