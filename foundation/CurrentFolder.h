// The current folder, in the program's own path form (backslashes, a trailing backslash).
#pragma once

#include "foundation/VconString.h"

// The current folder, always ending in a backslash.
Vcon::WString GetCurrentDir();
// Makes `folder` the current folder; a folder that cannot be entered leaves it as it was (nothing is
// reported).
void SetCurrentDir(const Vcon::WString& folder);
