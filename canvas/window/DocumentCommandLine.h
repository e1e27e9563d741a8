// The document named on the program's command line: the bytes of argv (UTF-8 on this system)
// widened as UTF-8, and a path the shell quoted because of its spaces taken out of its quotes.
#pragma once

#include <string_view>

#include "foundation/VconString.h"

// The path in `line`: a line that begins with a double quote loses it and, when the line ends with
// one, the closing quote too (an unclosed quote keeps every character after it). Empty for an empty
// line.
Vcon::WString DocumentPathFromCommandLine(std::string_view line);
