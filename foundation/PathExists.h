// Whether a narrow (Windows-1252) path names an existing file or folder.
#pragma once

#include "foundation/VconString.h"

// True when at least one file or folder matches `path`. The path is Windows-style: '\' or '/'
// separators, letters in any case, and the wildcards '*' (any run of characters) and '?' (any one
// character) in any component. An empty path matches nothing.
bool PathExists(const Vcon::String& path);
