#include "foundation/ppFile.h"

#include <algorithm>

#include "foundation/FileOperations.h"

namespace {
const char16_t kTextExtension[] = u".txt";
constexpr uint8_t kMarkFirst = 0xFF;
constexpr uint8_t kMarkSecond = 0xFE;
}  // namespace

ppFile::ppFile(const Vcon::WString& path, bool create) {
  fileSpec.path = path;
  if (create) {
    try {
      FileDelete(fileSpec);
    } catch (int32_t) {
      // There was nothing to delete; a file that is held open makes FileCreate fail below.
    }
    FileCreate(fileSpec);
  }
  FileOpen(fileSpec, fileSpec, !create);
  isOpen = true;
  if (create || path.find(kTextExtension) == Vcon::WString::npos) return;
  try {
    ProbeByteOrderMark();
  } catch (int32_t) {
    Close();  // no object will exist to close it later
    throw;
  }
}

ppFile::~ppFile() {
  try {
    Close();
  } catch (int32_t) {
    // Nothing more can be done about a failed close while the object goes away.
  }
}

void ppFile::ProbeByteOrderMark() {
  if (ReadByte() == kMarkFirst && ReadByte() == kMarkSecond) {
    isWide = true;
    return;  // stays after the mark
  }
  Seek(0);
}

uint8_t ppFile::ReadByte() {
  uint8_t b = 0;
  // A failed read counts as the end too, so readers looping until AtEnd always stop.
  atEnd = FileRead(fileSpec, &b, 1, kFileCurrentPosition) == 0;
  return b;
}

void ppFile::WriteByte(uint8_t b) { FileWrite(fileSpec, &b, 1, kFileCurrentPosition); }

void ppFile::Seek(uint32_t position) { FileSeek(fileSpec, position); }

int32_t ppFile::Tell() { return static_cast<int32_t>(FileTell(fileSpec)); }

void ppFile::SeekBack(int32_t n) {
  uint32_t at = FileTell(fileSpec);
  int64_t back = static_cast<int64_t>(at) - n;
  FileSeek(fileSpec, static_cast<uint32_t>(std::max<int64_t>(back, 0)));
}

void ppFile::Close() {
  if (!isOpen) return;
  isOpen = false;
  FileClose(fileSpec);
}

void ppFile::ReadAll(Vcon::String& out) {
  Seek(0);
  uint32_t size = 0;
  FileGetSize(fileSpec, size);
  out.assign(size, '\0');
  if (size > 0) FileRead(fileSpec, out.data(), size, kFileCurrentPosition);
}
