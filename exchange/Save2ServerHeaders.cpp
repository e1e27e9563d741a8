#include "exchange/Save2ServerHeaders.h"

#include "foundation/TextsById.h"

int32_t Save2ServerHeaders::IndexOf(const Vcon::String& name) { return name == "FileName" ? 0 : 1; }

ppParameter Save2ServerHeaders::GetValue(int32_t index) {
  Vcon::WString title(index == 0 ? u"File name" : u"Date");
  GetTextById(index == 0 ? kFileNameTitle : kDateTitle, title);
  return ppParameter(title);
}
