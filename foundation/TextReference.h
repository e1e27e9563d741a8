// Texts that carry the number of their translation after their last ";", such as "Width;1234": the
// part before it is the default, the number is looked up among the texts by number.
#pragma once

#include "foundation/VconString.h"

// The translated text, or the default part when the number has no text or cannot be read. A text
// without ";" (or ending in it) comes back unchanged. The result is one process-wide static text: the
// reference stays valid, its content only until the next call.
const Vcon::WString& ResolveTextRef(const Vcon::WString& text);
