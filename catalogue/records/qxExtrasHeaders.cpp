#include "catalogue/records/qxExtrasHeaders.h"

#include "foundation/TextsById.h"

namespace {

struct Column {
  const char* name;
  int32_t title;
  const char16_t* englishTitle;
};

constexpr Column kColumns[qxExtrasHeaders::kColumnCount] = {
    {"article", 8067, u"Article number"},
    {"description", 8065, u"Description"},
    {"qty", 8086, u"Qty"},
};

}  // namespace

int32_t qxExtrasHeaders::IndexOf(const Vcon::String& name) {
  for (int32_t i = 0; i < kColumnCount; ++i) {
    if (name == kColumns[i].name) return i;
  }
  return -1;
}

int32_t qxExtrasHeaders::GetPropertyCount() { return kColumnCount; }

ppParameter qxExtrasHeaders::GetValue(int32_t index) {
  Vcon::WString title;
  if (index >= 0 && index < kColumnCount) {
    title = kColumns[index].englishTitle;
    GetTextById(kColumns[index].title, title);
  }
  return ppParameter(title);
}
