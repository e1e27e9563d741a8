#include "foundation/ppFloat.h"

#include <cmath>
#include <limits>

ppFloat ppFloat::FromDouble(double d) {
  if (d == ppDouble::kNoValue) return NoValue();
  // Narrowing a finite double beyond the float range is undefined; give the infinity it rounds to.
  constexpr double kLargest = std::numeric_limits<float>::max();
  if (std::isfinite(d) && std::fabs(d) > kLargest) {
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    return ppFloat(d > 0 ? kInfinity : -kInfinity);
  }
  return ppFloat(static_cast<float>(d));
}

ppFloat ppFloat::FromInt64(int64_t n) {
  if (n == kNoValueInt64) return NoValue();
  return ppFloat(static_cast<float>(n));
}

int64_t ppFloat::ToInt64() const {
  if (IsNull()) return kNoValueInt64;
  return TruncateToInt64(value_);
}

double ppFloat::ToDouble() const {
  if (IsNull()) return ppDouble::kNoValue;
  return value_;
}
