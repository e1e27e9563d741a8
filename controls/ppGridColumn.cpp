#include "controls/ppGridColumn.h"

ppGridColumn::ppGridColumn(ppGrid* owner, const Vcon::String& name, int32_t width, int32_t,
                           ppValidator* validator)
    : width_(width), name_(name), owner_(owner), validator_(validator) {}

ppGridColumn& ppGridColumn::operator=(const ppGridColumn& other) {
  // The collaborator part keeps its own switchboard; only the description is copied.
  width_ = other.width_;
  flags_ = other.flags_;
  name_ = other.name_;
  owner_ = other.owner_;
  validator_ = other.validator_;
  return *this;
}
