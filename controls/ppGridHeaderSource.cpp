#include "controls/ppGridHeaderSource.h"

#include "database/ppDatafile.h"

ppGridHeaderSource::ppGridHeaderSource(ppDatafile* file) : file_(file) {}

int32_t ppGridHeaderSource::IndexOf(const Vcon::String& name) {
  return file_ != nullptr ? file_->IndexOf(name) : kNoProperty;
}

void ppGridHeaderSource::GetPropertyName(Vcon::String& out, int32_t index) {
  if (file_ != nullptr) {
    file_->GetPropertyName(out, index);
  } else {
    out.clear();
  }
}

int32_t ppGridHeaderSource::GetPropertyCount() { return file_ != nullptr ? file_->GetPropertyCount() : 0; }

ppParameter ppGridHeaderSource::GetValue(int32_t index) {
  if (file_ == nullptr || index < 0 || index >= file_->FieldCount()) return {};
  Vcon::String name;
  file_->FieldNameAt(index, name);
  return ppParameter(name);
}
