#include "foundation/DoubleVector.h"

void DoubleVector::AppendReplacingPlaceholder(double value) {
  if (!values_.empty() && values_.front() == kPlaceholder) values_.erase(values_.begin());
  values_.push_back(value);
}

bool DoubleVector::IsPlaceholder() const { return values_.empty() || values_.front() == kPlaceholder; }
