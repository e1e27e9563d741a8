#include "database/ppPropertyParameter.h"

ppPropertyParameter& ppPropertyParameter::operator=(const ppPropertyParameter& other) {
  ppParameter::operator=(other);
  return *this;
}

ppPropertyParameter& ppPropertyParameter::operator=(const ppParameter& value) {
  ppParameter::operator=(value);
  return *this;
}

int32_t ppPropertyParameter::IndexOf(const Vcon::String&) { return 0; }

void ppPropertyParameter::GetPropertyName(Vcon::String& out, int32_t) { out = "value"; }

int32_t ppPropertyParameter::GetPropertyCount() { return 1; }

ppParameter ppPropertyParameter::GetValue(int32_t) { return ppParameter(*this); }

void ppPropertyParameter::SetValue(int32_t, const ppParameter& value) { ppParameter::operator=(value); }
