// Writing a whole file so that a failure never costs the last good copy.
//
// The bytes go to a temporary file beside the target (the target's name with ".saving" added), which
// is flushed and then renamed over the target in one step (FileReplace also flushes the folder). A
// failed write (disk full, a file error, a power cut at any disk call) leaves the target as it was,
// or whole with the new bytes, never a mix or an empty file. One writer at a time per target.
#pragma once

#include <functional>

#include "foundation/FileRecord.h"

// The temporary file's record for `target`: same folder, ".saving" added to the name.
ppFileSpec TemporaryFileFor(const ppFileSpec& target);

// Opens a fresh temporary file for `target` in `open` (a leftover of a cut-off write is removed
// first), runs `write`, which writes through `open`, then flushes, closes and renames it over the
// target. Any failure (a file error of the file layer, or what `write` throws) closes `open`, removes
// the temporary file, leaves the target untouched and passes on.
void WriteFileSafely(ppFileSpec& target, ppFileSpec& open, const std::function<void()>& write);
