#pragma once
// Reads the file list of a document server reply: every element that begins "<file", its name="..."
// and then its date="..." attribute, in that order. Parsing ends at a missing quote (the entry under
// way is dropped). An entry with an empty name is skipped; bytes of the name that are not UTF-8 become
// U+FFFD. A wrapping element whose tag also begins "<file" ("<files>") does no harm. Nothing a server
// sends can make it fail.

#include <memory>

#include "exchange/ServerFileList.h"
#include "foundation/VconString.h"

std::unique_ptr<ServerFileList> ParseServerFileList(const Vcon::String& reply);
