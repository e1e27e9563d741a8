#include "database/ppPropertyObjectList.h"

void ppPropertyObjectList::Clear() {
  objects_.clear();
  current_ = -1;
}

iProperty* ppPropertyObjectList::ObjectAt(int32_t i) const {
  if (i < 0 || i >= int32_t(objects_.size())) return nullptr;
  return objects_[size_t(i)];
}

int32_t ppPropertyObjectList::IndexOf(const Vcon::String& name) {
  iProperty* first = ObjectAt(0);
  return first != nullptr ? first->IndexOf(name) : iProperty::IndexOf(name);
}

void ppPropertyObjectList::GetPropertyName(Vcon::String& out, int32_t index) {
  iProperty* first = ObjectAt(0);
  if (first != nullptr)
    first->GetPropertyName(out, index);
  else
    out.clear();
}

int32_t ppPropertyObjectList::GetPropertyCount() {
  iProperty* first = ObjectAt(0);
  return first != nullptr ? first->GetPropertyCount() : 0;
}

void ppPropertyObjectList::SetValue(int32_t index, const ppParameter& value) {
  if (iProperty* object = CurrentObject()) object->SetValueAt(index, value, false);
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
