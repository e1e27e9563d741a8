#include "foundation/PriceRounding.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "foundation/UserPreferences.h"
#include "foundation/iDocumentPriceSettings.h"
#include "platform/ResetList.h"

namespace {

using Wide = __int128;  // room for every intermediate of 64-bit amounts and steps

constexpr int64_t kRawPerUnit = 10000;  // raw money per whole currency unit

const iDocumentPriceSettings* gDocument = nullptr;  // the active document's; user-interface thread
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("price rounding: current document", [] { gDocument = nullptr; });

Wide Magnitude(int64_t v) { return v < 0 ? -static_cast<Wide>(v) : static_cast<Wide>(v); }

// The smallest power of ten in whole units above the step: 1 unit for a step of 0.25, 10 for 5, 100
// for 95.
Wide RoundingUnit(Wide step) {
  Wide u = kRawPerUnit;
  while (step >= u) u *= 10;
  return u;
}

Wide Distance(Wide a, Wide b) { return a < b ? b - a : a - b; }

// The price in m's block of u whose last digits are the step.
Wide PriceEndingInStep(Wide m, Wide s, Wide u) { return m - m % u + s; }

// Nearest of a1 - u, a1, a1 + u to m, leaving out a negative candidate; a tie goes to the higher one.
Wide NearestEndingInStep(Wide m, Wide s, Wide u) {
  Wide a1 = PriceEndingInStep(m, s, u);
  std::array<Wide, 3> candidates{a1 - u, a1, a1 + u};
  Wide best = -1;
  for (Wide c : candidates) {
    if (c < 0) continue;
    if (best < 0 || Distance(c, m) <= Distance(best, m)) best = c;
  }
  return best;
}

// Largest of a1, a1 - u that is not above m and not negative; -1 when there is none.
Wide HighestEndingInStepAtOrBelow(Wide m, Wide s, Wide u) {
  Wide a1 = PriceEndingInStep(m, s, u);
  if (a1 <= m) return a1;
  return a1 - u >= 0 ? a1 - u : -1;
}

// Rounds the magnitude m (> 0) with step s (> 0); -1 means "leave the amount as it is".
Wide RoundMagnitude(Wide m, Wide s, uint32_t mode) {
  Wide u = RoundingUnit(s);
  switch (mode) {
    case kRound: {
      Wide r = m % s;
      return 2 * r >= s ? m - r + s : m - r;  // exact half: up
    }
    case kRoundTo:
      return NearestEndingInStep(m, s, u);
    case kRoundUp: {
      Wide r = m % s;
      return r != 0 ? m - r + s : m;
    }
    case kRoundUpTo: {
      Wide r = m % u;
      Wide a = m - r + s;
      return s < r ? a + u : a;
    }
    case kRoundDown:
      return m - m % s;
    case kRoundDownTo:
      return HighestEndingInStepAtOrBelow(m, s, u);
    default:
      return -1;
  }
}

bool MoneyIsSet(const ppMoney& m) { return !m.IsNull() && m.Raw() != 0; }

// The amount times a price factor, to the nearest ten-thousandth (halves away from zero). Rounding,
// not truncation: 1234.5678 times 1.0 must stay 1234.5678, although neither is exact in binary.
// A product that is not finite or does not fit gives no value.
ppMoney ScaledByFactor(ppMoney amount, double factor) {
  double product = static_cast<double>(amount.Raw()) * factor;
  if (!std::isfinite(product) || std::fabs(product) >= 9.2e18) return ppMoney();
  return ppMoney::FromRaw(std::llround(product));
}

// A factor stored as a float, read as the shortest decimal that gives that float back: the 1.1 the
// user typed, not 1.10000002384.
double FactorOfFloat(float f) {
  char text[32];
  auto written = std::to_chars(text, text + sizeof text, f);
  double d = f;
  std::from_chars(text, written.ptr, d);
  return d;
}

}  // namespace

int64_t RoundPriceRaw(int64_t amount, int64_t step, uint32_t mode) {
  if (amount == 0 || step <= 0) return amount;
  Wide rounded = RoundMagnitude(Magnitude(amount), step, mode);
  // -1: nothing to do; the largest raw value is the "no value" marker, never a price.
  if (rounded < 0 || rounded >= std::numeric_limits<int64_t>::max()) return amount;
  int64_t result = static_cast<int64_t>(rounded);
  return amount < 0 ? -result : result;
}

void PriceRounding(ppMoney& amount, bool exchange, const UserPreferences& preferences,
                   const iDocumentPriceSettings* document) {
  if (exchange && preferences.roundEachFactor == 0) return;
  // The preferences' step gates rounding even when the document brings its own step.
  if (!MoneyIsSet(amount) || preferences.roundingStep.Raw() == 0) return;
  int64_t step = 0;
  uint32_t mode = kNoRounding;
  if (document != nullptr && document->HasOwnPriceSettings()) {
    step = document->RoundingStepRaw();
    mode = document->RoundingMode();
  } else {
    if (preferences.useFactors == 0) return;
    step = preferences.roundingStep.Raw();
    mode = preferences.roundingMode;
  }
  if (step == ppMoney::kNoValue) return;
  amount = ppMoney::FromRaw(RoundPriceRaw(amount.Raw(), step, mode));
}

void ApplyPriceFactorAndRounding(ppMoney& amount, bool exchange, const UserPreferences& preferences,
                                 const iDocumentPriceSettings* document) {
  if (amount.IsNull()) return;
  if (document != nullptr && document->HasOwnPriceSettings()) {
    amount = ScaledByFactor(amount, exchange ? document->ExchangeFactor() : document->ProfitFactor());
  } else if (preferences.useFactors != 0) {
    float factor = exchange ? preferences.exchangeFactor : preferences.profitFactor;
    amount = ScaledByFactor(amount, FactorOfFloat(factor));
  }
  PriceRounding(amount, exchange, preferences, document);
}

void ApplyPriceFactorAndRounding(ppMoney& amount, bool exchange) {
  ApplyPriceFactorAndRounding(amount, exchange, Preferences(), gDocument);
}

void PriceRounding(ppMoney& amount, bool exchange) {
  PriceRounding(amount, exchange, Preferences(), gDocument);
}

void SetCurrentDocumentPriceSettings(const iDocumentPriceSettings* document) { gDocument = document; }

const iDocumentPriceSettings* CurrentDocumentPriceSettings() { return gDocument; }
