// Writing a whole document file so that a failure never costs the last good copy (the foundation's
// WriteFileSafely: a temporary file beside the target, renamed over it once flushed). User-interface
// thread only (one save at a time may use a given target).
#pragma once

#include "foundation/FileRecord.h"
#include "foundation/SafeFileWrite.h"
#include "foundation/Vcon_HandleManager.h"

// Writes the whole data of `data` (null: an empty file) as the file `target.path` names, creating it
// when missing. File errors of the file layer pass on (the temporary file is removed, the target is
// untouched); `target` stays closed.
void WriteHandleToFile(ppFileSpec& target, Handle data);
