// A money field: the raw amount (amount x 10000) in 64 bits. A money value is stored exactly, to
// four decimals, whatever the money format shows; any other typed value reaches the field through
// its default text read as money, so at most two decimals arrive and a double keeps only its whole
// part.
#pragma once

#include "database/dbBasic8byteHandler.h"

class dbMoneyHandler : public dbBasic8byteHandler {
 public:
  void SetFromValue(const ppParameter& value, char* field) override;
  void SetFromValueWithMoneyFormat(const ppParameter& value, const DecimalFormat& moneyFormat,
                                   char* field) override;
  void GetAsValue(ppParameter* out, const char* field) const override;
};
