// Field maps of the database tool: parsed from the command line, or the program's own map of a
// layout, or every field in layout order.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/Vcon_HandleManager.h"

class dbDatafile;
class ppDatafile;

// A new handle (the caller's) holding the map's 12-byte entries. Throws std::runtime_error with a
// message for a field the layout does not have or a malformed number.
Handle ParseFieldMap(const std::string& text, const dbDatafile& file);

// The program's IMPT or EXPT map (`type` is "IMPT" or "EXPT") for the file's layout, else every
// field in order as a plain field; a new handle, the caller's.
Handle DefaultFieldMap(const char (&type)[5], const ppDatafile& view);
