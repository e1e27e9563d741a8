// A byte stream over a disk file.
//
// Opening an existing file is read-only; the create flag makes the file new (an old one is
// deleted first) and opens it for reading and writing. A ".txt" file that begins with the
// byte-order mark FF FE is UTF-16 text: IsWide is true and reading starts after the mark; any
// other file is read from byte 0. The file is open until Close or destruction.
#pragma once

#include <cstdint>

#include "foundation/FileRecord.h"
#include "foundation/ppStream.h"

class ppFile : public ppStream {
 public:
  // Throws -38 when the file cannot be opened, or the system error number when it cannot be
  // created; no object exists then.
  ppFile(const Vcon::WString& path, bool create);
  ~ppFile() override;
  ppFile(const ppFile&) = delete;
  ppFile& operator=(const ppFile&) = delete;

  // One byte at the position; 0 with AtEnd set when there is none.
  uint8_t ReadByte() override;
  // Throws -50 when the byte cannot be written (for example on a file opened read-only).
  void WriteByte(uint8_t b) override;
  // Set by the last ReadByte that found no byte; seeking does not clear it.
  bool AtEnd() override { return atEnd; }
  void Seek(uint32_t position) override;
  int32_t Tell() override;
  // Back n bytes, never before the start.
  void SeekBack(int32_t n) override;
  // Closing twice is harmless.
  void Close() override;
  bool IsWide() override { return isWide; }

  // The whole file from byte 0 (the mark included) into `out`; the position ends at the end.
  virtual void ReadAll(Vcon::String& out);

 private:
  void ProbeByteOrderMark();

  ppFileSpec fileSpec;
  bool isOpen = false;
  bool atEnd = false;
  bool isWide = false;
};
