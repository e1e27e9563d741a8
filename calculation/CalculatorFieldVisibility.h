// Which fields of a calculation line the price list shows on which line types, and the description
// field, which shows on every type. The description field is one program-wide value (initially 20,
// "unitDescription"): the column file may name another, and printing switches it to its own value
// while it prints. User-interface thread only; on the reset list.
#pragma once

#include <cstdint>

// The field the description field starts as: "unitDescription".
constexpr int32_t kDefaultDescriptionField = 20;

// The mask of line types (bit t: type t) that show field `field` of the layout "qxCalculator"; 0 for
// a field outside 0-88.
uint32_t CalculatorFieldTypes(int32_t field);
// Whether a line of type `type` shows field `field`: by the mask, or as the description field.
bool CalculatorFieldShown(int32_t field, int32_t type);

int32_t CalculatorDescriptionField();
void SetCalculatorDescriptionField(int32_t field);
