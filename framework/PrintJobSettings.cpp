#include "framework/PrintJobSettings.h"

#include <algorithm>
#include <cstring>

#include "platform/GlobalMemory.h"

namespace {

class Writer {
 public:
  explicit Writer(PrintSettingsFile::Record& bytes) : bytes_(bytes) { bytes_.fill(0); }
  void Put(uint32_t value, int32_t size) {
    for (int32_t i = 0; i < size; ++i) bytes_[at_++] = static_cast<uint8_t>(value >> (8 * i));
  }

 private:
  PrintSettingsFile::Record& bytes_;
  size_t at_ = 0;
};

class Reader {
 public:
  explicit Reader(const PrintSettingsFile::Record& bytes) : bytes_(bytes) {}
  uint32_t Get(int32_t size) {
    uint32_t value = 0;
    for (int32_t i = 0; i < size; ++i) value |= uint32_t(bytes_[at_++]) << (8 * i);
    return value;
  }

 private:
  const PrintSettingsFile::Record& bytes_;
  size_t at_ = 0;
};

constexpr int32_t kPointer = 4;  // a stored pointer-sized field, always 0

}  // namespace

PrintSettingsFile::Record StorePrintRecord(const plat::PRINTDLGA& record) {
  PrintSettingsFile::Record bytes;
  Writer out(bytes);
  out.Put(PrintSettingsFile::kRecordSize, 4);
  for (int32_t i = 0; i < 4; ++i) out.Put(0, kPointer);  // owner, device mode, device names, context
  out.Put(record.Flags, 4);
  for (plat::WORD word :
       {record.nFromPage, record.nToPage, record.nMinPage, record.nMaxPage, record.nCopies}) {
    out.Put(word, 2);
  }
  return bytes;  // instance, custom data and the hook and template words stay 0
}

void LoadPrintRecord(const PrintSettingsFile::Record& stored, plat::PRINTDLGA* record) {
  Reader in(stored);
  in.Get(4);
  for (int32_t i = 0; i < 4; ++i) in.Get(kPointer);
  record->lStructSize = PrintSettingsFile::kRecordSize;
  record->Flags = in.Get(4);
  record->nFromPage = static_cast<plat::WORD>(in.Get(2));
  record->nToPage = static_cast<plat::WORD>(in.Get(2));
  record->nMinPage = static_cast<plat::WORD>(in.Get(2));
  record->nMaxPage = static_cast<plat::WORD>(in.Get(2));
  record->nCopies = static_cast<plat::WORD>(in.Get(2));
}

bool ReadPrintSettings(const std::u16string& path, plat::PRINTDLGA* record) {
  PrintSettingsFile::Record stored;
  plat::HGLOBAL mode = nullptr;
  plat::HGLOBAL names = nullptr;
  if (!PrintSettingsFile(path).Read(&stored, &mode, &names)) return false;
  LoadPrintRecord(stored, record);
  if (mode) {
    plat::DEVMODEA* kept = plat::AllocDevMode();
    const size_t size = std::min(plat::GlobalSize(mode), sizeof(plat::DEVMODEA));
    std::memcpy(kept, plat::GlobalLock(mode), size);
    kept->dmDeviceName[sizeof kept->dmDeviceName - 1] = '\0';
    plat::GlobalUnlock(mode);
    plat::GlobalFree(mode);
    record->hDevMode = kept;
  }
  if (names) plat::GlobalFree(names);
  return true;
}

bool WritePrintSettings(const std::u16string& path, const plat::PRINTDLGA& record) {
  plat::HGLOBAL mode = nullptr;
  if (record.hDevMode) {
    mode = plat::GlobalAlloc(0, sizeof(plat::DEVMODEA));
    std::memcpy(plat::GlobalLock(mode), record.hDevMode, sizeof(plat::DEVMODEA));
    plat::GlobalUnlock(mode);
  }
  const bool written = PrintSettingsFile(path).Write(StorePrintRecord(record), mode, nullptr);
  if (mode) plat::GlobalFree(mode);
  return written;
}
