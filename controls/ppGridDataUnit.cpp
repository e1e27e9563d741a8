#include "controls/ppGridDataUnit.h"

#include "database/iProperty.h"

ppGridDataUnit::ppGridDataUnit(iProperty* source, const Vcon::String& columnName, int32_t row)
    : source_(source),
      index_(source != nullptr ? source->IndexOf(columnName) : iProperty::kNoProperty),
      row_(row) {}

void ppGridDataUnit::SetValue(const ppParameter& value, bool) {
  // A name the source does not know has nowhere to go; writing index -1 would reach "no property".
  if (source_ == nullptr || index_ < 0) return;
  source_->GoTo(row_);
  source_->SetValueAt(index_, value, true);
}

void ppGridDataUnit::GetValue(ppParameter& out) {
  if (source_ == nullptr || index_ < 0) return;
  source_->GoTo(row_);
  out = source_->GetValueAt(index_);
}
