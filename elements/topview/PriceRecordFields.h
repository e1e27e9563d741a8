// The fields of one price record that the choice lists read, through a scratch buffer so the price
// table's current record stays. A record that is gone reads as unit 0 with no price and no key.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"

class zelvproPriceFil;

class PriceRecordFields {
 public:
  PriceRecordFields(zelvproPriceFil& prices, int32_t id);
  // The price is neither 0 nor no value.
  bool HasPrice() const;

  int32_t module = 0;  // unit record id
  int64_t price;       // raw money, ppMoney::kNoValue when the record has none
  Vcon::String optionKey;
};
