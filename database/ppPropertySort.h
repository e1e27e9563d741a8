// A sorted view of the items of a property source: SortBySpec orders the source's items, and the
// view's items are the source's items in that order. The source is not owned and must outlive the
// view.
#pragma once

#include <cstdint>
#include <deque>
#include <random>
#include <vector>

#include "database/iProperty.h"

class ppPropertySort : public iProperty {
 public:
  explicit ppPropertySort(iProperty* source) : source_(source) {}

  // Sorts the source's items by a sort description such as "EnumClass|-XPosition" (see PropertySorting.h).
  // A name the source does not define leaves the identity order.
  void SortBySpec(const Vcon::String& sortKeys);

  // The properties are the source's.
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  // The value of the source's current item.
  ppParameter GetValue(int32_t index) override;
  // Moves the source onto the item at sorted position i; positions outside the order do nothing.
  void GoToItem(int32_t i) override;
  int32_t GetCurrentItem() override { return current_; }
  int32_t GetItemCount() override { return int32_t(order_.size()); }

  // Sorted position -> source item number.
  const std::deque<int32_t>& Order() const { return order_; }
  iProperty* Source() const { return source_; }

 private:
  iProperty* source_;
  std::deque<int32_t> order_;
  int32_t current_ = -1;
  std::minstd_rand random_;  // pivot choice; any generator sorts correctly
};
