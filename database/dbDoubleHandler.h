// A double field, empty at 0.0.
#pragma once

#include "database/dbBasic8byteHandler.h"

class dbDoubleHandler : public dbBasic8byteHandler {
 public:
  void SetFromValue(const ppParameter& value, char* field) override;
  void GetAsValue(ppParameter* out, const char* field) const override;
  bool IsEmpty(const char* field) const override { return Value(field) == 0.0; }

  static double Value(const char* field) {
    double d;
    std::memcpy(&d, field, 8);
    return d;
  }
};
