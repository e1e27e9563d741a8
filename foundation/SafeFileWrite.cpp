#include "foundation/SafeFileWrite.h"

#include <cstdint>

#include "foundation/FileOperations.h"

ppFileSpec TemporaryFileFor(const ppFileSpec& target) {
  ppFileSpec temporary(target.path);
  for (const char c : {'.', 's', 'a', 'v', 'i', 'n', 'g'}) temporary.path.push_back(static_cast<char16_t>(c));
  return temporary;
}

namespace {

void DeleteQuietly(ppFileSpec& file) {
  try {
    FileDelete(file);
  } catch (int32_t) {
    // Missing or held: a later write removes a leftover first.
  }
}

}  // namespace

void WriteFileSafely(ppFileSpec& target, ppFileSpec& open, const std::function<void()>& write) {
  ppFileSpec temporary = TemporaryFileFor(target);
  DeleteQuietly(temporary);  // a leftover would make the create fail
  try {
    FileCreate(temporary);
    FileOpen(open, temporary, false);
    write();
    // The bytes must be on disk before the name points at them.
    FileFlush(open);
    FileClose(open);
    FileReplace(temporary, target);
  } catch (...) {
    if (open.IsOpen()) {
      try {
        FileClose(open);
      } catch (int32_t) {
      }
    }
    DeleteQuietly(temporary);
    throw;
  }
}
