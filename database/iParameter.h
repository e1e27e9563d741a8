// A value source that can be read and written as one typed value, without naming a property: the
// column paths of selectors and other bound values implement it.
#pragma once

#include "foundation/ppParameter.h"

class iParameter {
 public:
  iParameter() = default;
  virtual ~iParameter() = default;
  iParameter(const iParameter&) = delete;
  iParameter& operator=(const iParameter&) = delete;

  // An empty value unless overridden.
  virtual ppParameter GetValue() { return ppParameter(); }
  // Ignored unless overridden.
  virtual void SetValue(const ppParameter&) {}
};
