// Writing a whole document file so that a failure never costs the last good copy.
//
// The bytes go to a temporary file beside the target (the target's name with ".saving" added), which
// is flushed and then renamed over the target in one step; the folder is flushed last. A failed write
// (disk full, a file error, a power cut at any disk call) leaves the target as it was, or whole with
// the new bytes, never a mix or an empty file. User-interface thread only (one save at a time may
// use a given target).
#pragma once

#include "foundation/FileRecord.h"
#include "foundation/Vcon_HandleManager.h"

// The temporary file's record for `target`: same folder, ".saving" added to the name.
ppFileSpec TemporaryFileFor(const ppFileSpec& target);

// Writes the whole data of `data` (null: an empty file) as the file `target.path` names, creating it
// when missing. File errors of the file layer pass on (the temporary file is removed, the target is
// untouched); `target` stays closed.
void WriteHandleToFile(ppFileSpec& target, Handle data);
