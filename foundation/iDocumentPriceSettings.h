// The price settings a document may carry of its own: when it has them, they replace the factors,
// the rounding mode and the rounding step of the user preferences for every price of that document.
// The document record file implements this; the price rounding reads it through the registration in
// PriceRounding.h.
#pragma once

#include <cstdint>

class iDocumentPriceSettings {
 public:
  virtual ~iDocumentPriceSettings() = default;

  // True when the document's own-price-settings word is not 0; the other answers matter only then.
  virtual bool HasOwnPriceSettings() const = 0;
  virtual double ExchangeFactor() const = 0;
  virtual double ProfitFactor() const = 0;
  // 0 to 6, see PriceRoundingMode; any other value rounds nothing.
  virtual uint32_t RoundingMode() const = 0;
  // The stored 32-bit step taken as a raw money value (ten-thousandths of a unit), sign-extended;
  // ppMoney::kNoValue when the field holds no value.
  virtual int64_t RoundingStepRaw() const = 0;
};
