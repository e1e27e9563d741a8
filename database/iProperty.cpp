#include "database/iProperty.h"

namespace {
// The lower bound that selects every item of a numeric property.
constexpr double kBelowEveryValue = -9000000000.0;
constexpr int32_t kComparisonNotEqual = 2;
}  // namespace

int32_t iProperty::IndexOf(const Vcon::String& name) { return name == "this" ? kThis : kNoProperty; }

void iProperty::GetPropertyName(Vcon::String& out, int32_t) { out.clear(); }

int32_t iProperty::GetPropertyCount() { return 0; }

ppParameter iProperty::GetValue(int32_t index) {
  if (index == kThis) return ppParameter(this);
  return ppParameter();
}

void iProperty::SetValue(int32_t, const ppParameter&) {}

void iProperty::SelectAllItems() {
  Select(0, kComparisonNotEqual, ppParameter(kBelowEveryValue), ppParameter(kBelowEveryValue), '#');
}

void iProperty::Select(int32_t, int32_t, const ppParameter&, const ppParameter&, char) {}
void iProperty::GoToItem(int32_t) {}
int32_t iProperty::GetCurrentItem() { return 0; }
int32_t iProperty::GetItemCount() { return 0; }
void iProperty::InsertItem(int32_t) {}
void iProperty::DeleteItem() {}
void iProperty::BeginChange() {}
void iProperty::EndChange() {}

void iProperty::InsertItemNotified(bool notify) { InsertItemsNotified(1, notify); }

void iProperty::InsertItemsNotified(int32_t n, bool notify) {
  if (notify) BeginChange();
  InsertItem(n);
  if (notify) EndChange();
}

void iProperty::DeleteItemNotified(bool notify) {
  if (notify) BeginChange();
  DeleteItem();
  if (notify) EndChange();
}

Vcon::String iProperty::NameAt(int32_t index) {
  Vcon::String name;
  GetPropertyName(name, index);
  return name;
}

void iProperty::SetValueAt(int32_t index, const ppParameter& value, bool notify) {
  if (notify) BeginChange();
  SetValue(index, value);
  if (notify) EndChange();
}
