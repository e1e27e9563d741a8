// A picture field: the picture's packed bytes in a handle that the record owns. A typed value hands
// over a handle whose bytes are copied in; reading gives a handle value of the field's own handle
// (still the record's).
#pragma once

#include "database/dbBasicmmHandler.h"

class dbPictHandler : public dbBasicmmHandler {
 public:
  void SetFromValue(const ppParameter& value, char* field) override;
  void GetAsValue(ppParameter* out, const char* field) const override;
};
