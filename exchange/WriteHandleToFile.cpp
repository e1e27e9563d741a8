#include "exchange/WriteHandleToFile.h"

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
    // Missing or held: a later save removes a leftover first.
  }
}

}  // namespace

void WriteHandleToFile(ppFileSpec& target, Handle data) {
  ppFileSpec temporary = TemporaryFileFor(target);
  // A leftover of a save that was cut off would make the create fail.
  DeleteQuietly(temporary);
  ppFileSpec open;
  try {
    FileCreate(temporary);
    FileOpen(open, temporary, false);
    const int32_t size = MemGetSize(data);
    if (size > 0) {
      MemLock(data);
      try {
        FileWrite(open, *data, static_cast<uint32_t>(size), 0);
      } catch (...) {
        MemUnlock(data);
        throw;
      }
      MemUnlock(data);
    }
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
