#pragma once
// One file of the document server's list, as the server dialogs show it.

#include "foundation/VconString.h"

struct ServerFileEntry {
  Vcon::WString name;  // decoded (UrlDecodeField) from the list's UTF-8 bytes; never empty
  Vcon::WString date;  // the server's date text, widened through the ANSI code page, not decoded
};
