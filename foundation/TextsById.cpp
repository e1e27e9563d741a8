#include "foundation/TextsById.h"

#include "foundation/UserPreferences.h"
#include "foundation/iTextSource.h"
#include "platform/ResetList.h"

namespace {

iTextSource* gTextSource = nullptr;  // set by the program on the user-interface thread, read by any
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("texts by id: source", [] { gTextSource = nullptr; });

}  // namespace

bool GetTextById(int32_t number, Vcon::WString& text) {
  if (gTextSource == nullptr) return false;
  return gTextSource->GetString(number, text, static_cast<int32_t>(CurrentLanguageCode()));
}

const Vcon::WString& GetTextByIdStatic(int32_t number, const Vcon::WString& defaultText) {
  static Vcon::WString text;
  text = defaultText;
  GetTextById(number, text);
  return text;
}

Vcon::WString TextById(int32_t number, const char* fallback) {
  Vcon::WString text = WideFromNarrow(fallback);
  GetTextById(number, text);
  return text;
}

void SetTextSource(iTextSource* source) { gTextSource = source; }

iTextSource* CurrentTextSource() { return gTextSource; }
