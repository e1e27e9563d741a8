// A narrow text field: a Vcon::String built in the field (packed form in dbFieldTextHandler.h, one byte
// a character). Its index has text keys.
#pragma once

#include "database/dbFieldTextHandler.h"
#include "foundation/VconString.h"

class dbStringHandler : public dbFieldTextHandler<Vcon::String> {
 public:
  void SetFromValue(const ppParameter& value, char* field) override;
  void GetAsValue(ppParameter* out, const char* field) const override;

 protected:
  std::string KeyText(const char* field) const override;
};
