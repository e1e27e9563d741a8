#include "foundation/FileOperations.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>

#include "foundation/FileFaultHook.h"
#include "foundation/HandleRoom.h"
#include "foundation/FilePowerLoss.h"
#include "foundation/PosixPath.h"
#include "platform/ResetList.h"

namespace {

std::atomic<FileErrorObserver> gErrorObserver{nullptr};  // set on the main thread, read by any
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("file operations: error observer", [] { gErrorObserver = nullptr; });

[[noreturn]] void Fail(int32_t site, int32_t error) {
  FileErrorHook(site);
  throw error;
}

// Windows system error numbers for the failures creating a file can meet.
int32_t WindowsErrorFromErrno(int error) {
  switch (error) {
    case EEXIST:
      return kFileErrExists;
    case ENOENT:
    case ENOTDIR:
      return 3;  // path not found
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return 5;  // access denied
    case EMFILE:
    case ENFILE:
      return 4;  // too many open files
    case ENOSPC:
    case EDQUOT:
      return 112;  // disk full
    case ENAMETOOLONG:
      return 206;  // file name too long
    case ELOOP:
      return 1921;  // name cannot be resolved
    default:
      return 31;  // device failure
  }
}

// Files held open by this process, by device and inode. The advisory lock already keeps other
// opens out, also within this process; the table keeps the rule where the lock is per process
// (as on some network file systems).
class OpenFileTable {
 public:
  using Key = std::pair<dev_t, ino_t>;
  bool Add(const Key& key) {
    std::lock_guard<std::mutex> guard(mutex_);
    return keys_.insert(key).second;
  }
  void Remove(const Key& key) {
    std::lock_guard<std::mutex> guard(mutex_);
    keys_.erase(key);
  }
  bool Contains(const Key& key) {
    std::lock_guard<std::mutex> guard(mutex_);
    return keys_.count(key) != 0;
  }

 private:
  std::mutex mutex_;
  std::set<Key> keys_;
};

OpenFileTable& OpenFiles() {
  static OpenFileTable table;
  return table;
}

OpenFileTable::Key KeyOf(const struct stat& st) { return {st.st_dev, st.st_ino}; }

std::string PosixPathOf(const ppFileSpec& fileSpec) {
  return Vcon::ResolvePosixPath(std::u16string_view(fileSpec.path));
}

// Takes the newly opened descriptor `fd` of a regular file exclusively, `st` receiving its status;
// returns it, or -1 having closed it.
int TakeExclusive(int fd, struct stat& st) {
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            OpenFiles().Add(KeyOf(st));
  if (!ok) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Opens `path` and takes it exclusively; returns the descriptor or -1 (nothing left open).
int OpenExclusive(const std::string& path, int flags, struct stat& st) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  return fd < 0 ? -1 : TakeExclusive(fd, st);
}

int OpenExclusive(const std::string& path, int flags) {
  struct stat st;
  return OpenExclusive(path, flags, st);
}

// OpenExclusive for the file `fileSpec` names, trying the path as written before looking it up:
// whenever a file of that name exists the lookup gives that very path, so an existing file costs no
// lookup. `path` receives the looked-up path when the first try failed (where a file would be
// created).
int OpenNamedExclusive(const ppFileSpec& fileSpec, int flags, std::string& path, struct stat& st) {
  path = Vcon::SlashedPath(Vcon::Utf8FromUtf16(std::u16string_view(fileSpec.path)));
  int fd = OpenExclusive(path, flags, st);
  if (fd >= 0) return fd;
  std::string resolved = Vcon::ResolvePosixPath(path);
  // The same path again would fail the same way.
  if (resolved == path) return -1;
  path = std::move(resolved);
  return OpenExclusive(path, flags, st);
}

// Reads up to `count` bytes from the descriptor's position; fewer only at the file's end or on an
// error. Returns the bytes read.
uint32_t ReadFully(int fd, char* bytes, uint32_t count) {
  uint32_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd, bytes + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

// Releases the table entry of a file taken with status `st` and closes it; false when the system
// reported a failure.
bool CloseExclusive(int fd, const struct stat& st) {
  OpenFiles().Remove(KeyOf(st));
  return ::close(fd) == 0;
}

// Releases the table entry and closes; false when the system reported a failure.
bool CloseExclusive(int fd) {
  struct stat st;
  if (::fstat(fd, &st) == 0) OpenFiles().Remove(KeyOf(st));
  return ::close(fd) == 0;
}

// Closes the file open in `file`, if any, leaving the record closed.
void CloseIfOpen(ppFileSpec& file) {
  if (!file.IsOpen()) return;
  CloseExclusive(file.handle);
  file.handle = kInvalidFileHandle;
  file.openPath.clear();
}

// Whether another open holds the file at `path` (in this process or another).
bool HeldOpen(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  bool held = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
              (OpenFiles().Contains(KeyOf(st)) || ::flock(fd, LOCK_EX | LOCK_NB) != 0);
  ::close(fd);
  return held;
}

bool SeekTo(int fd, int64_t offset) {
  if (offset == kFileCurrentPosition) return true;
  return offset >= 0 && ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

}  // namespace

void FileErrorHook(int32_t site) {
  FileErrorObserver observer = gErrorObserver.load(std::memory_order_acquire);
  if (observer != nullptr) observer(site);
}

void SetFileErrorObserver(FileErrorObserver observer) {
  gErrorObserver.store(observer, std::memory_order_release);
}

void FileCreate(ppFileSpec& fileSpec) {
  std::string path = PosixPathOf(fileSpec);
  Vcon::CallFileFaultHook(Vcon::FileOp::Create, path.c_str());
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) Fail(kFileSiteCreate, WindowsErrorFromErrno(errno));
  ::close(fd);
}

void FileDelete(ppFileSpec& fileSpec) {
  std::string path = PosixPathOf(fileSpec);
  if (HeldOpen(path)) Fail(kFileSiteDelete, kFileErrCannotOpen);
  Vcon::CallFileFaultHook(Vcon::FileOp::Delete, path.c_str());
  if (::unlink(path.c_str()) != 0) Fail(kFileSiteDelete, kFileErrCannotOpen);
}

namespace {

// Renames without replacing: false with errno set when the system refused.
bool RenameNoReplace(const std::string& source, const std::string& target) {
  if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
  // A file system without the no-replace rename: a link fails on an existing name as well. Should
  // the old name outlive the link, the file is still whole under its new one.
  if (::link(source.c_str(), target.c_str()) == 0) {
    ::unlink(source.c_str());
    return true;
  }
  if (errno == EEXIST) return false;
  struct stat st;
  if (::lstat(target.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::rename(source.c_str(), target.c_str()) == 0;
}

// Flushes the folder holding `path`, so that a name made in it is on disk; false when the system
// reported a failure (a file system that cannot flush folders counts as flushed).
bool FlushFolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
  ::close(fd);
  return ok;
}

}  // namespace

void FileRename(ppFileSpec& from, ppFileSpec& to) {
  const std::string source = PosixPathOf(from), target = PosixPathOf(to);
  if (HeldOpen(source)) Fail(kFileSiteRename, kFileErrCannotOpen);
  Vcon::CallFileFaultHook(Vcon::FileOp::Rename, target.c_str());
  if (!RenameNoReplace(source, target)) {
    const int error = errno;
    const bool sourceMissing = error == ENOENT && ::access(source.c_str(), F_OK) != 0;
    Fail(kFileSiteRename, sourceMissing ? kFileErrCannotOpen : WindowsErrorFromErrno(error));
  }
  if (!FlushFolderOf(target)) Fail(kFileSiteFlush, kFileErrBadCall);
}

void FileReplace(ppFileSpec& from, ppFileSpec& to) {
  const std::string source = PosixPathOf(from), target = PosixPathOf(to);
  if (HeldOpen(source) || HeldOpen(target)) Fail(kFileSiteRename, kFileErrCannotOpen);
  Vcon::CallFileFaultHook(Vcon::FileOp::Rename, target.c_str());
  if (::rename(source.c_str(), target.c_str()) != 0) {
    const int error = errno;
    if (error == EXDEV) Fail(kFileSiteRename, 17);
    const bool sourceMissing = error == ENOENT && ::access(source.c_str(), F_OK) != 0;
    Fail(kFileSiteRename, sourceMissing ? kFileErrCannotOpen : WindowsErrorFromErrno(error));
  }
  if (!FlushFolderOf(target)) Fail(kFileSiteFlush, kFileErrBadCall);
}

void FileOpen(ppFileSpec& destination, const ppFileSpec& source, bool readOnly) {
  CloseIfOpen(destination);
  destination = source;
  std::string path = PosixPathOf(destination);
  int fd = OpenExclusive(path, readOnly ? O_RDONLY : O_RDWR);
  if (fd < 0) Fail(kFileSiteOpen, kFileErrCannotOpen);
  destination.handle = fd;
  destination.openPath = std::move(path);
}

void FileClose(ppFileSpec& fileSpec) {
  Vcon::CallFileFaultHook(Vcon::FileOp::Close, fileSpec.openPath.c_str());
  if (!fileSpec.IsOpen()) Fail(kFileSiteCloseOrSize, kFileErrBadCall);
  bool ok = CloseExclusive(fileSpec.handle);
  fileSpec.handle = kInvalidFileHandle;
  fileSpec.openPath.clear();
  if (!ok) Fail(kFileSiteCloseOrSize, kFileErrBadCall);
}

uint32_t FileRead(ppFileSpec& fileSpec, void* buffer, uint32_t count, int64_t offset) {
  if (!SeekTo(fileSpec.handle, offset)) return 0;
  return ReadFully(fileSpec.handle, static_cast<char*>(buffer), count);
}

void FileWrite(ppFileSpec& fileSpec, const void* buffer, uint32_t count, int64_t offset) {
  Vcon::CallFileFaultHook(Vcon::FileOp::Write, fileSpec.openPath.c_str());
  if (!SeekTo(fileSpec.handle, offset)) Fail(kFileSiteWrite, kFileErrBadCall);
  if (Vcon::FilePowerLoss::Recording()) {
    const off_t at = ::lseek(fileSpec.handle, 0, SEEK_CUR);
    if (at >= 0) Vcon::FilePowerLoss::NoteWrite(fileSpec.handle, fileSpec.openPath, at, count);
  }
  const auto* bytes = static_cast<const char*>(buffer);
  uint32_t done = 0;
  while (done < count) {
    ssize_t n = ::write(fileSpec.handle, bytes + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail(kFileSiteWrite, kFileErrBadCall);
    done += static_cast<uint32_t>(n);
  }
}

void FileGetSize(ppFileSpec& fileSpec, uint32_t& size) {
  struct stat st;
  if (::fstat(fileSpec.handle, &st) != 0) Fail(kFileSiteCloseOrSize, kFileErrBadCall);
  size = static_cast<uint32_t>(st.st_size);
}

void FileSetSize(ppFileSpec& fileSpec, const uint32_t* size) {
  Vcon::CallFileFaultHook(Vcon::FileOp::SetSize, fileSpec.openPath.c_str());
  if (size == nullptr) Fail(kFileSiteSeek, kFileErrBadCall);
  if (Vcon::FilePowerLoss::Recording())
    Vcon::FilePowerLoss::NoteSetSize(fileSpec.handle, fileSpec.openPath, *size);
  if (::ftruncate(fileSpec.handle, static_cast<off_t>(*size)) != 0) Fail(kFileSiteSetEnd, kFileErrBadCall);
  if (::lseek(fileSpec.handle, static_cast<off_t>(*size), SEEK_SET) < 0) Fail(kFileSiteSeek, kFileErrBadCall);
}

void FileSeek(ppFileSpec& fileSpec, uint32_t position) {
  if (::lseek(fileSpec.handle, static_cast<off_t>(position), SEEK_SET) < 0)
    Fail(kFileSiteSeek, kFileErrBadCall);
}

void FileSeekRelative(ppFileSpec& fileSpec, int64_t delta) {
  if (::lseek(fileSpec.handle, static_cast<off_t>(delta), SEEK_CUR) < 0) Fail(kFileSiteSeek, kFileErrBadCall);
}

uint32_t FileTell(ppFileSpec& fileSpec) {
  off_t at = ::lseek(fileSpec.handle, 0, SEEK_CUR);
  if (at < 0) Fail(kFileSiteSeek, kFileErrBadCall);
  return static_cast<uint32_t>(at);
}

void FileFlush(ppFileSpec& fileSpec) {
  Vcon::CallFileFaultHook(Vcon::FileOp::Flush, fileSpec.openPath.c_str());
  if (::fsync(fileSpec.handle) != 0) Fail(kFileSiteFlush, kFileErrBadCall);
  if (Vcon::FilePowerLoss::Recording()) Vcon::FilePowerLoss::NoteFlush(fileSpec.handle, fileSpec.openPath);
}

void FileFlushData(ppFileSpec& file) {
  Vcon::CallFileFaultHook(Vcon::FileOp::Flush, file.openPath.c_str());
  if (::fdatasync(file.handle) != 0) Fail(kFileSiteFlush, kFileErrBadCall);
  if (Vcon::FilePowerLoss::Recording()) Vcon::FilePowerLoss::NoteFlush(file.handle, file.openPath);
}

bool FileOpenOrCreate(ppFileSpec& destination, const ppFileSpec& source) {
  CloseIfOpen(destination);
  destination = source;
  std::string path;
  struct stat st;
  int fd = OpenNamedExclusive(destination, O_RDWR, path, st);
  const bool created = fd < 0;
  if (created) {
    FileErrorHook(kFileSiteOpen);  // the failed open, as FileOpen reports it
    Vcon::CallFileFaultHook(Vcon::FileOp::Create, path.c_str());
    // The descriptor that creates the file is the one kept: nobody can have the new file open.
    const int made = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (made < 0) Fail(kFileSiteCreate, WindowsErrorFromErrno(errno));
    fd = TakeExclusive(made, st);
    if (fd < 0) Fail(kFileSiteOpen, kFileErrCannotOpen);
  }
  destination.handle = fd;
  destination.openPath = std::move(path);
  return created;
}

namespace {

// Site of a whole-file read refused because the handle zone cannot hold the file: it throws -38, as a
// file that cannot be opened does, so that every caller's own failure path follows (the load-failure
// box, the plan kept, no picture, no import).
constexpr int32_t kFileSiteTooLarge = 1041;

// ReadFileToHandle's work; with `allowMissing`, null instead of a failure when no file of that name
// exists.
Handle ReadNamedFile(const ppFileSpec& fileSpec, bool allowMissing) {
  std::string path;
  struct stat st;
  const int fd = OpenNamedExclusive(fileSpec, O_RDONLY, path, st);
  if (fd < 0) {
    struct stat none;
    if (allowMissing && ::stat(path.c_str(), &none) != 0 && errno == ENOENT) return nullptr;
    Fail(kFileSiteOpen, kFileErrCannotOpen);
  }
  // The size the open saw, all its bits; a file that shrinks meanwhile reads zero bytes for what it lost.
  const auto whole = static_cast<uint64_t>(st.st_size);
  Handle h = nullptr;
  if (whole > 0) {
    // The file's length is the user's to choose: one the zone cannot hold is refused as a file that
    // cannot be read, before anything is read or kept, rather than ending the program.
    h = whole <= UINT32_MAX ? MemTryNew(static_cast<uint32_t>(whole)) : nullptr;
    if (h == nullptr) {
      CloseExclusive(fd, st);
      Fail(kFileSiteTooLarge, kFileErrCannotOpen);
    }
  }
  const auto size = static_cast<uint32_t>(whole);
  try {
    if (size > 0) {
      const uint32_t got = ReadFully(fd, *h, size);
      if (got < size) std::memset(*h + got, 0, size - got);
    }
    Vcon::CallFileFaultHook(Vcon::FileOp::Close, path.c_str());
  } catch (...) {
    MemDispose(h);
    CloseExclusive(fd, st);
    throw;
  }
  if (!CloseExclusive(fd, st)) {
    MemDispose(h);
    Fail(kFileSiteCloseOrSize, kFileErrBadCall);
  }
  return h;
}

}  // namespace

Handle ReadFileToHandle(const ppFileSpec& fileSpec) { return ReadNamedFile(fileSpec, false); }

Handle ReadFileToHandleIfPresent(const ppFileSpec& fileSpec) { return ReadNamedFile(fileSpec, true); }

namespace {

// Offset of the first `search` at or after `from` in the NUL-terminated text of `h`, or -1.
int64_t FindText(Handle h, uint32_t from, const Vcon::String& search) {
  auto size = static_cast<uint32_t>(MemGetSize(h));
  if (from >= size) return -1;
  const char* data = *h;
  const void* nul = std::memchr(data + from, 0, size - from);
  uint32_t end = nul != nullptr ? static_cast<uint32_t>(static_cast<const char*>(nul) - data) : size;
  std::string_view text(data + from, end - from);
  size_t at = text.find(search);
  return at == std::string_view::npos ? -1 : static_cast<int64_t>(from + at);
}

// Replaces every occurrence, `insert` putting the replacement at an offset and returning its length.
template <typename Insert>
void ReplaceEvery(Handle h, const Vcon::String& search, Insert insert) {
  if (h == nullptr || search.empty()) return;
  uint32_t from = 0;
  for (int64_t at = FindText(h, from, search); at >= 0; at = FindText(h, from, search)) {
    auto offset = static_cast<uint32_t>(at);
    MemDeleteBytes(h, offset, static_cast<uint32_t>(search.size()));
    from = offset + insert(offset);
  }
}

}  // namespace

void ReplaceTextInHandle(Handle h, const Vcon::String& search, const Vcon::String& replacement) {
  // Only the text up to a NUL counts, as for any narrow text.
  const auto length = static_cast<uint32_t>(std::strlen(replacement.c_str()));
  ReplaceEvery(h, search, [&](uint32_t offset) {
    if (length > 0) MemInsertBytes(replacement.c_str(), length, h, offset);
    return length;
  });
}

void ReplaceTextWithHandle(Handle h, const Vcon::String& search, Handle replacementHandle) {
  ReplaceEvery(h, search, [&](uint32_t offset) {
    auto length = static_cast<uint32_t>(MemGetSize(replacementHandle));
    if (length > 0) MemInsertHandle(replacementHandle, h, offset);
    return length;
  });
}

std::vector<Vcon::String> ListFolderNames(const Vcon::WString& folder) {
  std::vector<Vcon::String> names;
  // As written first: a folder that opens so is the one the lookup would give.
  const std::string asWritten = Vcon::SlashedPath(Vcon::Utf8FromUtf16(std::u16string_view(folder)));
  DIR* listing = ::opendir(asWritten.c_str());
  if (listing == nullptr) {
    const std::string found = Vcon::ResolvePosixPath(asWritten);
    if (found != asWritten) listing = ::opendir(found.c_str());
  }
  if (listing == nullptr) return names;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name(entry->d_name);
    if (name != "." && name != "..") names.emplace_back(std::string(name));
  }
  ::closedir(listing);
  return names;
}
