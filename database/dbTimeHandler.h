// A time field (32-bit milliseconds): stored and indexed like a long; typed values do not reach it.
#pragma once

#include "database/dbLongHandler.h"

class dbTimeHandler : public dbLongHandler {
 public:
  void SetFromValue(const ppParameter&, char*) override {}
  void GetAsValue(ppParameter* out, const char* field) const override;
};
