#include "framework/ppPropertySelectorQuery.h"

ppPropertySelectorQuery::ppPropertySelectorQuery(iProperty* target, const Vcon::String& name,
                                                 iProperty* listSource, const Vcon::String& path1,
                                                 const Vcon::String& path2, const Vcon::String& path3,
                                                 const Vcon::String& path4)
    : binding_(target, name, true), listSource_(listSource) {
  if (listSource_ == nullptr) return;
  const Vcon::String* paths[] = {&path1, &path2, &path3, &path4};
  for (size_t k = 0; k < locators_.size(); ++k) {
    if (!paths[k]->empty()) locators_[k] = std::make_unique<ppLocator>(*paths[k], listSource);
  }
}

// The locators refer to the list source, so they go first.
ppPropertySelectorQuery::~ppPropertySelectorQuery() {
  for (auto& locator : locators_) locator.reset();
  listSource_.reset();
}

int32_t ppPropertySelectorQuery::GetItemCount() {
  return listSource_ != nullptr ? listSource_->CountItems() : 0;
}

bool ppPropertySelectorQuery::ReadPath(int32_t k, int32_t item, ppParameter& out) {
  ppLocator* locator = LocatorOfPath(k);
  // An item past the end would leave the list source where it was and show another item's values.
  if (item < 0 || locator == nullptr || listSource_ == nullptr || item >= GetItemCount()) {
    return false;
  }
  listSource_->GoTo(item);
  out = locator->GetValue();
  return true;
}

void ppPropertySelectorQuery::ReadTextColumn(int32_t k, int32_t item, ppParameter& out) {
  if (!ReadPath(k, item, out)) out.SetString("");
}

void ppPropertySelectorQuery::GetColumn1(int32_t item, ppParameter& out) {
  if (!ReadPath(1, item, out)) out.SetLong(item);
}

void ppPropertySelectorQuery::GetColumn2(int32_t item, ppParameter& out) { ReadTextColumn(3, item, out); }

void ppPropertySelectorQuery::GetColumn3(int32_t item, ppParameter& out) { ReadTextColumn(4, item, out); }

void ppPropertySelectorQuery::GetColumn4(int32_t item, ppParameter& out) { ReadTextColumn(2, item, out); }
