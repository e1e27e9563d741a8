#include "database/ppLocator.h"

#include <string>

ppLocator::ppLocator(const Vcon::String& path, iProperty* root) : root_(root) {
  std::string rest = path;
  iProperty* current = root;
  while (!rest.empty() && current != nullptr) {
    const size_t dot = rest.find('.');
    const Vcon::String segment = rest.substr(0, dot);
    const int32_t index = current->IndexOf(segment);
    if (index < 0) {
      root_ = nullptr;
      return;
    }
    steps_.push_back(index);
    current = current->GetValueAt(index).GetLink();
    rest = dot == std::string::npos ? std::string() : rest.substr(dot + 1);
  }
}

iProperty* ppLocator::LastObject() const {
  if (root_ == nullptr || steps_.empty()) return nullptr;
  iProperty* object = root_;
  for (size_t i = 0; i + 1 < steps_.size() && object != nullptr; ++i) {
    object = object->GetValueAt(steps_[i]).GetLink();
  }
  return object;
}

ppParameter ppLocator::GetValue() {
  iProperty* object = LastObject();
  if (object == nullptr) return ppParameter();
  return object->GetValueAt(steps_.back());
}

void ppLocator::SetValue(const ppParameter& value) {
  iProperty* object = LastObject();
  if (object == nullptr) return;
  object->SetValueAt(steps_.back(), value, true);
}
