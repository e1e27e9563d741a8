// A list of property objects with a current position. Its property names, indexes and count are
// those of the first object (the objects are expected to share one property table); values are read
// from and written to the object at the current position. The objects are not owned.
#pragma once

#include <cstdint>
#include <vector>

#include "database/iProperty.h"

class ppPropertyObjectList : public iProperty {
 public:
  ppPropertyObjectList() = default;

  void Append(iProperty* object) { objects_.push_back(object); }
  void Clear();
  iProperty* ObjectAt(int32_t i) const;  // null outside the list
  iProperty* CurrentObject() const { return ObjectAt(current_); }

  // The first object's; an empty list answers -1 (and "this" kThis), the name "" and the count 0.
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  // The value of the current object's property; an empty value without a current position.
  ppParameter GetValue(int32_t index) override;
  // Sets the current object's property without notification; nothing without a current position.
  void SetValue(int32_t index, const ppParameter& value) override;
  // Positions outside the list do nothing.
  void GoToItem(int32_t i) override;
  int32_t GetCurrentItem() override { return current_; }
  int32_t GetItemCount() override { return int32_t(objects_.size()); }

 private:
  int32_t current_ = -1;  // -1 = no current object
  std::vector<iProperty*> objects_;
};
