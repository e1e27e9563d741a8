// Localised texts of catalogue records: a record's wide text k (0 its name, 1 its second text, 2 the
// third) is text number record id x 10 + k of the catalogue's string table in the current language.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"

class ppDatabase;

// Replaces `text` by that text when the database has it; otherwise `text` keeps the caller's default.
// Record ids too large for a text number (above 214,748,363) have no texts.
void LocaliseRecordText(ppDatabase& database, int32_t recordId, int32_t k, Vcon::WString& text);
