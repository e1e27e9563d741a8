// User-interface texts by number, in the current language of the user preferences, with an English
// text written in the code as the fallback: the caller puts the default into the string and then asks.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"

class iTextSource;

// Replaces `text` with text `number` in the current language and answers true; when there is no such
// text (or no source is registered) `text` keeps the caller's default and the answer is false.
bool GetTextById(int32_t number, Vcon::WString& text);

// Text `number` in the current language, or the English `fallback` when there is none.
Vcon::WString TextById(int32_t number, const char* fallback);

// Text `number`, or this call's `defaultText` when there is none, in one process-wide static text.
// The reference stays valid, but its content only until the next call.
const Vcon::WString& GetTextByIdStatic(int32_t number, const Vcon::WString& defaultText);

// The application database registers its string table here while it is open; null removes it.
// Not owned.
void SetTextSource(iTextSource* source);
iTextSource* CurrentTextSource();
