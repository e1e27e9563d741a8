// Price factors and rounding: the adjustment every catalogue price goes through before it is shown or
// summed. A price is multiplied by the exchange factor (currency conversion) or the profit factor and
// then rounded to a tidy value: a multiple of the rounding step, or a price whose last digits are the
// step (95 gives 1295, 1395, ...).
//
// The factors, the mode and the step come from the current document when it carries its own price
// settings, otherwise from the user preferences. Amounts are raw money values in ten-thousandths of a
// currency unit.
#pragma once

#include <cstdint>

#include "foundation/ppMoney.h"

class iDocumentPriceSettings;
struct UserPreferences;

// Rounding modes, in the order the preferences dialog lists them. Modes 1, 3 and 5 work with multiples
// of the step; modes 2, 4 and 6 with prices that end in the step.
enum PriceRoundingMode : uint32_t {
  kNoRounding = 0,
  kRound = 1,        // nearest multiple of the step, halves up
  kRoundTo = 2,      // nearest price ending in the step
  kRoundUp = 3,      // next multiple of the step at or above
  kRoundUpTo = 4,    // next price ending in the step at or above
  kRoundDown = 5,    // multiple of the step at or below
  kRoundDownTo = 6,  // price ending in the step at or below
};

// Rounds a raw amount by `mode` with the raw `step`. The rounding works on the amount's magnitude and
// gives the result the amount's sign, so -1232 rounds like 1232. An amount of 0, a step of 0 or less,
// an unknown mode, or a result that would not fit 64 bits leaves the amount unchanged.
int64_t RoundPriceRaw(int64_t amount, int64_t step, uint32_t mode);

// The two operations with their sources given explicitly; `document` may be null (no document, or one
// without price settings of its own).
void ApplyPriceFactorAndRounding(ppMoney& amount, bool exchange, const UserPreferences& preferences,
                                 const iDocumentPriceSettings* document);
void PriceRounding(ppMoney& amount, bool exchange, const UserPreferences& preferences,
                   const iDocumentPriceSettings* document);

// The same over the process-wide preferences and the registered document (see below). `exchange`
// tells the exchange step (factor always applied, rounding only with "Round each factor") from the
// profit step (always rounded).
void ApplyPriceFactorAndRounding(ppMoney& amount, bool exchange);
void PriceRounding(ppMoney& amount, bool exchange);

// The document record file registers itself here while it exists; null removes it. Not owned.
void SetCurrentDocumentPriceSettings(const iDocumentPriceSettings* document);
const iDocumentPriceSettings* CurrentDocumentPriceSettings();
