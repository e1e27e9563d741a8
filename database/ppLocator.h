// A dotted property path such as "preview.preview" or "texture0.texture", resolved once against a
// root object into one property index per segment. Each segment but the last must hold a link; the
// walk through the links is redone at every read and write, so it follows whatever record or object
// each link leads to at that moment.
//
// A segment that its object does not define leaves the locator unresolved for good: it reads as
// an empty value and ignores writes. A segment that holds no link ends the path there; the locator
// then stands for that segment's own value.
#pragma once

#include <cstdint>
#include <deque>

#include "database/iParameter.h"
#include "database/iProperty.h"
#include "foundation/VconString.h"

class ppLocator : public iParameter {
 public:
  // `root` is not owned and must outlive the locator.
  ppLocator(const Vcon::String& path, iProperty* root);

  // The value at the end of the path; empty when unresolved or when a link on the way is missing.
  ppParameter GetValue() override;
  // Sets the property at the end of the path with change notification.
  void SetValue(const ppParameter& value) override;

  // Null when the path could not be resolved.
  iProperty* Root() const { return root_; }
  const std::deque<int32_t>& Steps() const { return steps_; }

 private:
  // The object that holds the last step's property, or null when a link on the way is missing.
  iProperty* LastObject() const;

  iProperty* root_;
  std::deque<int32_t> steps_;
};
