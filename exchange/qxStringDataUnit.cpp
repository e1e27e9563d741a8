#include "exchange/qxStringDataUnit.h"

void qxStringDataUnit::SetValue(const ppParameter& value, bool) {
  if (target_ != nullptr) *target_ = value.AsWString();
}

void qxStringDataUnit::GetValue(ppParameter& out) {
  if (target_ != nullptr) out = ppParameter(*target_);
}
