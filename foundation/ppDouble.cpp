#include "foundation/ppDouble.h"

#include "foundation/ppFloat.h"

int32_t TruncateToInt32(double d) {
  // Both bounds exclusive: -2147483648.9 still truncates into range. NaN fails both tests.
  if (!(d > -2147483649.0 && d < 2147483648.0)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(d);
}

int64_t TruncateToInt64(double d) {
  // -2^63 is exact in a double and in range; +2^63 is the first value above the range.
  if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) return kNoValueInt64;
  return static_cast<int64_t>(d);
}

ppDouble ppDouble::FromFloat(float f) {
  if (f == ppFloat::kNoValue) return NoValue();
  return ppDouble(static_cast<double>(f));
}

ppDouble ppDouble::FromInt64(int64_t n) {
  if (n == kNoValueInt64) return NoValue();
  return ppDouble(static_cast<double>(n));
}

int64_t ppDouble::ToInt64() const {
  if (IsNull()) return kNoValueInt64;
  return TruncateToInt64(value_);
}
