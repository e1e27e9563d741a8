// A date field: 64-bit milliseconds from the start of day 1.
#pragma once

#include "database/dbBasic8byteHandler.h"

class dbDateHandler : public dbBasic8byteHandler {
 public:
  void SetFromValue(const ppParameter& value, char* field) override;
  void GetAsValue(ppParameter* out, const char* field) const override;
};
