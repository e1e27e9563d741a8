#include "foundation/DecimalFormat.h"

#include <algorithm>

int16_t DecimalFormat::EffectiveDecimals() const {
  if (!decimalsOn) return 0;
  return std::clamp<int16_t>(decimals, 0, 7);
}
