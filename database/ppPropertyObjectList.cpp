#include "database/ppPropertyObjectList.h"

void ppPropertyObjectList::Clear() {
  objects_.clear();
  current_ = -1;
}

iProperty* ppPropertyObjectList::ObjectAt(int32_t i) const {
  if (i < 0 || i >= int32_t(objects_.size())) return nullptr;
  return objects_[size_t(i)];
}

ppParameter ppPropertyObjectList::GetValue(int32_t index) {
  if (index == kThis) return iProperty::GetValue(index);
  iProperty* object = CurrentObject();
  if (object == nullptr) return ppParameter();
  return object->GetValueAt(index);
}

void ppPropertyObjectList::GoToItem(int32_t i) {
  if (i >= 0 && i < int32_t(objects_.size())) current_ = i;
}
