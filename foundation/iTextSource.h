// A source of user-interface texts by language and number: the string table of the application
// database implements it. Texts by number (TextsById.h) reach it through the registration there.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"

class iTextSource {
 public:
  virtual ~iTextSource() = default;

  // Looks up text `number` in `language`. When it exists it replaces `text` and the answer is true;
  // otherwise `text` is left as the caller set it and the answer is false.
  virtual bool GetString(int32_t number, Vcon::WString& text, int32_t language) = 0;
};
