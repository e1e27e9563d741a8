// The open file under a dbStore: positioned reads and writes with every range checked against the
// file's size, so that a damaged position or length read from the file raises an error number
// instead of reading past the data. The size is kept here and follows every write and resize.
//
// Growing the file only records the new size: the system learns it from the next write past the
// end, or before any read past what it holds, any flush and the close, so a commit that grows the
// file many times in small steps makes no system call for each step. Shrinking happens at once.
//
// Owns the open ppFileSpec; Close (or the destructor) closes it.
#pragma once

#include <cstdint>

#include "foundation/FileRecord.h"

class dbStoreFile {
 public:
  dbStoreFile() = default;
  ~dbStoreFile();
  dbStoreFile(const dbStoreFile&) = delete;
  dbStoreFile& operator=(const dbStoreFile&) = delete;

  // Opens the existing file named by `fileSpec` for reading and writing; false when it cannot be opened
  // (kFileErrCannotOpen), other errors are thrown.
  bool OpenExisting(const ppFileSpec& fileSpec);
  // Creates the file named by `fileSpec` and opens it.
  void CreateAndOpen(const ppFileSpec& fileSpec);
  void Close();
  bool IsOpen() const { return spec_.IsOpen(); }

  int32_t Size() const { return size_; }
  // Reads n bytes at offset; throws kDamagedFile when [offset, offset + n) is not inside the file.
  void Read(int32_t offset, void* buffer, int32_t n);
  void Write(int32_t offset, const void* buffer, int32_t n);
  void SetSize(int32_t size);
  // Gives the system a growth recorded since; the file then holds Size() bytes.
  void SyncSize();
  void Flush();

  // True when [offset, offset + n) lies inside the file.
  bool Holds(int32_t offset, int32_t n) const {
    return offset >= 0 && n >= 0 && int64_t(offset) + n <= size_;
  }

 private:
  void ReadSize();

  ppFileSpec spec_;
  int32_t size_ = 0;
  int32_t diskSize_ = 0;  // the size the system holds; below size_ while a growth is pending
};
