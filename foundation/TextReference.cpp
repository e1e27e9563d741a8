#include "foundation/TextReference.h"

#include "foundation/TextsById.h"
#include "foundation/ppParameter.h"

const Vcon::WString& ResolveTextRef(const Vcon::WString& text) {
  static Vcon::WString resolved;
  size_t semicolon = text.rfind(u';');
  if (semicolon == Vcon::WString::npos || semicolon + 1 == text.size()) {
    resolved = text;
    return resolved;
  }
  // Both parts are taken before the static changes: `text` may be the previous result.
  // The number as a typed value reads it: blanks, a sign, digits; nothing readable gives no value.
  ppLong number = ppParameter(Vcon::WString(text.substr(semicolon + 1))).ToPPLong();
  resolved = Vcon::WString(text.substr(0, semicolon));
  if (!number.IsNull()) GetTextById(number.Value(), resolved);
  return resolved;
}
