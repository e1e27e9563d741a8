#include "foundation/ppLong.h"

#include "foundation/ppDouble.h"

ppLong ppLong::FromDouble(double d) {
  if (d == ppDouble::kNoValue) return NoValue();
  return ppLong(TruncateToInt32(d));
}

ppLong ppLong::FromInt64(int64_t n) {
  if (n == kNoValueInt64) return NoValue();
  return ppLong(static_cast<int32_t>(static_cast<uint32_t>(n)));
}

int64_t ppLong::ToInt64() const {
  if (IsNull()) return kNoValueInt64;
  return value_;
}

double ppLong::ToDouble() const {
  if (IsNull()) return ppDouble::kNoValue;
  return value_;
}
