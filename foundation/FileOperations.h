// Opening, reading, writing, sizing and deleting disk files named by a ppFileSpec, and the
// whole-file helpers built on them.
//
// Failures pass FileErrorHook with a site code and then throw a bare int32_t:
//   kFileErrCannotOpen (-38)  open or delete failed (missing file, folder, or held open elsewhere);
//   kFileErrBadCall (-50)     close, size, truncate, write or flush failed;
//   a Windows system error number when creating fails (kFileErrExists, 80, for an existing file).
// Files are opened without sharing: while one file record holds a file open, every other open of
// it, from this process or another, fails with -38, and so does deleting it.
// Sizes and offsets are bytes; only the low 32 bits of a size are reported.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/Vcon_HandleManager.h"
#include "foundation/VconString.h"
#include "foundation/FileRecord.h"

inline constexpr int32_t kFileErrCannotOpen = -38;
inline constexpr int32_t kFileErrBadCall = -50;
inline constexpr int32_t kFileErrExists = 80;

// Offset argument of FileRead and FileWrite meaning "at the current position".
inline constexpr int64_t kFileCurrentPosition = -1;

// Site codes passed to FileErrorHook just before a throw.
inline constexpr int32_t kFileSiteCreate = 1030;
inline constexpr int32_t kFileSiteDelete = 1032;
inline constexpr int32_t kFileSiteOpen = 1034;
inline constexpr int32_t kFileSiteCloseOrSize = 1035;
inline constexpr int32_t kFileSiteWrite = 1036;
inline constexpr int32_t kFileSiteFlush = 1037;
inline constexpr int32_t kFileSiteSeek = 1038;
inline constexpr int32_t kFileSiteSetEnd = 1039;
inline constexpr int32_t kFileSiteRename = 1040;

// Every failure passes here first. It does nothing; a debugger breakpoint or a test observer
// (SetFileErrorObserver) can watch it.
void FileErrorHook(int32_t site);
using FileErrorObserver = void (*)(int32_t site);
void SetFileErrorObserver(FileErrorObserver observer);  // nullptr removes it

// Creates `fileSpec.path` new and empty and leaves it closed. Throws the system error number.
void FileCreate(ppFileSpec& fileSpec);
// Deletes `fileSpec.path`. Throws -38 when it is missing, a folder, or open.
void FileDelete(ppFileSpec& fileSpec);
// Gives the closed file `from.path` the name `to.path`, which no file may have yet, and flushes the
// folder so that the new name survives a power cut. Throws kFileErrExists (80) when `to.path`
// exists, -38 when `from.path` is missing or open, -50 when the folder cannot be flushed, and the
// system error number of any other failure.
void FileRename(ppFileSpec& from, ppFileSpec& to);
// Gives the closed file `from.path` the name `to.path` in one step, replacing a closed file of that
// name: at every moment `to.path` names either the old file or the new one. Flushes the folder
// afterwards. Throws -38 when either file is open or `from.path` is missing, -50 when the folder
// cannot be flushed, and the system error number of any other failure (17, not same device, when
// the two names lie on different file systems).
void FileReplace(ppFileSpec& from, ppFileSpec& to);
// Copies `source` into `destination` (names and words) and opens the existing file, read-only when
// `readOnly`, else for reading and writing. On failure destination.handle is kInvalidFileHandle and
// -38 is thrown. A file already open in `destination` is closed first.
void FileOpen(ppFileSpec& destination, const ppFileSpec& source, bool readOnly);
// FileOpen for reading and writing, first creating the file new and empty (as FileCreate does) when
// it cannot be opened. Returns true when the file was created. Throws FileCreate's number when
// creating fails and -38 when the new file cannot be taken.
bool FileOpenOrCreate(ppFileSpec& destination, const ppFileSpec& source);
// Closes the file; the file record is closed afterwards. Throws -50 when it was not open.
void FileClose(ppFileSpec& fileSpec);

// Reads up to `count` bytes at `offset` (kFileCurrentPosition: where the last read, write or seek
// left off); the position ends after the bytes read. Returns the number read: a short read at the
// end of the file is no error and leaves the rest of the buffer unchanged.
uint32_t FileRead(ppFileSpec& fileSpec, void* buffer, uint32_t count, int64_t offset);
// Writes `count` bytes at `offset` (same rule). A write that cannot be completed throws -50.
void FileWrite(ppFileSpec& fileSpec, const void* buffer, uint32_t count, int64_t offset);

// The file's size in bytes (low 32 bits). Throws -50 when it cannot be read.
void FileGetSize(ppFileSpec& fileSpec, uint32_t& size);
// Truncates or extends (with zero bytes) the file to *size bytes; the position is left at the new
// end. Throws -50 on failure (for example on a read-only open).
void FileSetSize(ppFileSpec& fileSpec, const uint32_t* size);
// Moves the position to `position` bytes from the start, or by `delta` from the current position.
// Throws -50 on failure.
void FileSeek(ppFileSpec& fileSpec, uint32_t position);
void FileSeekRelative(ppFileSpec& fileSpec, int64_t delta);
// The current position in bytes from the start (low 32 bits).
uint32_t FileTell(ppFileSpec& fileSpec);
// Forces the file's data to disk. Throws -50 when the system reports a failure.
void FileFlush(ppFileSpec& fileSpec);
// Likewise, with the size and what else reading the data back needs, but not the file's times: a
// file whose bytes changed in place needs no separate write of its metadata (fdatasync).
void FileFlushData(ppFileSpec& file);

// A new handle holding the whole file named by `fileSpec.path`, or null for an empty file. Open
// failures pass on (-38); the file is closed again in every case.
Handle ReadFileToHandle(const ppFileSpec& fileSpec);
// The same, but a file that does not exist is no failure: null, as for an empty file. For files
// that are often absent (an autosave, stationery), where a failure would cost an exception at every
// start.
Handle ReadFileToHandleIfPresent(const ppFileSpec& fileSpec);

// Treat `h` as a NUL-terminated narrow text and replace every occurrence of `search` by
// `replacement` (its bytes without a terminator) or by the whole data of `replacementHandle`.
// The search goes on after each inserted replacement, so a replacement holding the search text
// does not loop. An empty search text changes nothing.
void ReplaceTextInHandle(Handle h, const Vcon::String& search, const Vcon::String& replacement);
void ReplaceTextWithHandle(Handle h, const Vcon::String& search, Handle replacementHandle);

// The names of the entries of `folder` (a program-style path such as ".\settings\catalogs\",
// translated like every other path), in the order the file system gives them; "." and ".." are left
// out. Names are the file system's bytes (UTF-8). A missing or unreadable folder gives no names; it is
// no error.
std::vector<Vcon::String> ListFolderNames(const Vcon::WString& folder);
