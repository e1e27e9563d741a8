// A list of property objects with a current position; its properties are those of the object at
// the current position. The objects are not owned.
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

  // The value of the current object's property; an empty value without a current position.
  ppParameter GetValue(int32_t index) override;
  // Positions outside the list do nothing.
  void GoToItem(int32_t i) override;
  int32_t GetCurrentItem() override { return current_; }
  int32_t GetItemCount() override { return int32_t(objects_.size()); }

 private:
  int32_t current_ = -1;  // -1 = no current object
  std::vector<iProperty*> objects_;
};
