#include "database/ppPropertySort.h"

#include "database/PropertySorting.h"

void ppPropertySort::SortBySpec(const Vcon::String& sortKeys) {
  current_ = -1;
  if (source_ == nullptr) {
    order_.clear();
    return;
  }
  ::SortBySpec(*source_, sortKeys, order_, random_);
}

int32_t ppPropertySort::IndexOf(const Vcon::String& name) {
  return source_ != nullptr ? source_->IndexOf(name) : iProperty::IndexOf(name);
}

void ppPropertySort::GetPropertyName(Vcon::String& out, int32_t index) {
  if (source_ != nullptr)
    source_->GetPropertyName(out, index);
  else
    out.clear();
}

int32_t ppPropertySort::GetPropertyCount() { return source_ != nullptr ? source_->GetPropertyCount() : 0; }

ppParameter ppPropertySort::GetValue(int32_t index) {
  if (index == kThis || source_ == nullptr) return iProperty::GetValue(index);
  return source_->GetValueAt(index);
}

void ppPropertySort::GoToItem(int32_t i) {
  if (source_ == nullptr || i < 0 || i >= int32_t(order_.size())) return;
  current_ = i;
  source_->GoTo(order_[size_t(i)]);
}
