// A typed value that is also a property object with the one property "value": every name finds it
// and every index reads and writes it. Elements keep their free texts in these so that fields can
// bind to them like to any other property.
#pragma once

#include <cstdint>

#include "database/iProperty.h"
#include "foundation/ppParameter.h"

class ppPropertyParameter : public ppParameter, public iProperty {
 public:
  ppPropertyParameter() = default;
  explicit ppPropertyParameter(const ppParameter& value) : ppParameter(value) {}
  ppPropertyParameter(const ppPropertyParameter& other) : ppParameter(other), iProperty() {}
  ppPropertyParameter& operator=(const ppPropertyParameter& other);
  ppPropertyParameter& operator=(const ppParameter& value);

  // 0 for any name, "this" included.
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  // A copy of the value, whatever the index.
  ppParameter GetValue(int32_t index) override;
  // The value becomes `value`, whatever the index.
  void SetValue(int32_t index, const ppParameter& value) override;
};
