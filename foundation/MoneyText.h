// Amounts of the price list as the user preferences show money: with 2 decimals or none, grouped or
// not, with the decimal and thousands characters of the preferences, and with the currency text before
// or after the number when it is shown.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"

// The text of a raw money amount (ten-thousandths of a currency unit), rounded half away from zero to
// the decimals shown: raw 12345678 reads "CU 1.234,57" with decimals, grouping, ',' as the decimal
// character, '.' for thousands and the currency text "CU " in front. An amount without value reads
// "no value".
void FormatMoneyText(Vcon::WString& out, int64_t amount);
