// A boolean field kept as a 32-bit integer; any non-zero value reads as true. No index.
#pragma once

#include "database/dbBasicLongHandler.h"

class dbBooleanHandler : public dbBasicLongHandler {
 public:
  void SetFromValue(const ppParameter& value, char* field) override;
  void GetAsValue(ppParameter* out, const char* field) const override;
  Handle Select(dbIndex*, const dbQuery&, Handle) override { return nullptr; }
};
