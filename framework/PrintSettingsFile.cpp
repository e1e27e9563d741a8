#include "framework/PrintSettingsFile.h"

#include <cstring>
#include <vector>

#include "foundation/FileOperations.h"

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

uint32_t GetU32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

void AppendBlock(std::vector<uint8_t>& out, plat::HGLOBAL block) {
  uint32_t size = static_cast<uint32_t>(plat::GlobalSize(block));
  PutU32(out, size);
  if (size == 0) return;
  auto* bytes = static_cast<const uint8_t*>(plat::GlobalLock(block));
  out.insert(out.end(), bytes, bytes + size);
  plat::GlobalUnlock(block);
}

// A block of `size` bytes at `offset` of the file's bytes, or false when they run past the end.
bool TakeBlock(const std::vector<uint8_t>& file, size_t& offset, plat::HGLOBAL* out) {
  *out = nullptr;
  if (offset + 4 > file.size()) return false;
  uint32_t size = GetU32(&file[offset]);
  offset += 4;
  if (size > file.size() - offset) return false;
  if (size == 0) return true;
  *out = plat::GlobalAlloc(plat::GMEM_MOVEABLE | plat::GMEM_ZEROINIT, size);
  if (!*out) return false;
  std::memcpy(plat::GlobalLock(*out), &file[offset], size);
  plat::GlobalUnlock(*out);
  offset += size;
  return true;
}

// Closes the file on every way out, errors included, so no descriptor or lock stays behind.
struct OpenedFile {
  ppFileSpec fileSpec;
  ~OpenedFile() {
    if (fileSpec.handle == kInvalidFileHandle) return;
    try {
      FileClose(fileSpec);
    } catch (int32_t) {
    }
  }
};

}  // namespace

PrintSettingsFile::PrintSettingsFile(std::u16string path) : path_(std::move(path)) {}

bool PrintSettingsFile::Read(Record* record, plat::HGLOBAL* deviceMode, plat::HGLOBAL* deviceNames) const {
  *deviceMode = nullptr;
  *deviceNames = nullptr;
  std::vector<uint8_t> file;
  try {
    ppFileSpec fileSpec(Vcon::WString(path_.c_str()));
    OpenedFile open;
    FileOpen(open.fileSpec, fileSpec, true);
    uint32_t size = 0;
    FileGetSize(open.fileSpec, size);
    file.resize(size);
    uint32_t got = size ? FileRead(open.fileSpec, file.data(), size, 0) : 0;
    if (got != size) return false;
  } catch (int32_t) {
    return false;
  }
  if (file.empty()) return true;  // an empty file holds nothing and changes nothing
  if (file.size() < 4) return false;
  uint32_t length = GetU32(file.data());
  // The record is 66 bytes; a longer one would not fit the caller's record.
  if (length > kRecordSize || length > file.size() - 4) return false;
  size_t offset = 4 + length;
  plat::HGLOBAL mode = nullptr, names = nullptr;
  if (!TakeBlock(file, offset, &mode) || !TakeBlock(file, offset, &names)) {
    plat::GlobalFree(mode);
    plat::GlobalFree(names);
    return false;
  }
  std::memcpy(record->data(), file.data() + 4, length);
  *deviceMode = mode;
  *deviceNames = names;
  return true;
}

bool PrintSettingsFile::Write(const Record& record, plat::HGLOBAL deviceMode,
                              plat::HGLOBAL deviceNames) const {
  std::vector<uint8_t> bytes;
  PutU32(bytes, kRecordSize);
  bytes.insert(bytes.end(), record.begin(), record.end());
  AppendBlock(bytes, deviceMode);
  AppendBlock(bytes, deviceNames);
  ppFileSpec fileSpec(Vcon::WString(path_.c_str()));
  try {
    FileCreate(fileSpec);
  } catch (int32_t) {
    // An existing file is simply written over.
  }
  try {
    OpenedFile open;
    FileOpen(open.fileSpec, fileSpec, false);
    uint32_t zero = 0;
    FileSetSize(open.fileSpec, &zero);
    FileWrite(open.fileSpec, bytes.data(), static_cast<uint32_t>(bytes.size()), 0);
    FileClose(open.fileSpec);
  } catch (int32_t) {
    return false;
  }
  return true;
}
