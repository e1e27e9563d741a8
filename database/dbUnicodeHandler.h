// A wide text field: a Vcon::WString built in the field (packed form in dbFieldTextHandler.h, UTF-16LE).
// Its index has text keys: the text narrowed through the ANSI code page.
#pragma once

#include "database/dbFieldTextHandler.h"
#include "foundation/VconString.h"

class dbUnicodeHandler : public dbFieldTextHandler<Vcon::WString> {
 public:
  void SetFromValue(const ppParameter& value, char* field) override;
  void GetAsValue(ppParameter* out, const char* field) const override;

 protected:
  std::string KeyText(const char* field) const override;
};
