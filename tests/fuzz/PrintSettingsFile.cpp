// The kept print settings file: read, and when accepted written anew and read back, which must give
// the same record and device blocks.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>

#include "FuzzSupport.h"
#include "framework/PrintSettingsFile.h"
#include "platform/GlobalMemory.h"

namespace {

bool SameBlocks(plat::HGLOBAL a, plat::HGLOBAL b) {
  const size_t size = plat::GlobalSize(a);
  if (size != plat::GlobalSize(b)) return false;
  if (size == 0) return true;
  const bool same = std::memcmp(plat::GlobalLock(a), plat::GlobalLock(b), size) == 0;
  plat::GlobalUnlock(a);
  plat::GlobalUnlock(b);
  return same;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path path = fuzz::WriteScratchFile("PrintSettings.dat", data, size);
  PrintSettingsFile file(path.u16string());
  PrintSettingsFile::Record record{};
  plat::HGLOBAL mode = nullptr, names = nullptr;
  if (!file.Read(&record, &mode, &names)) {
    if (mode != nullptr || names != nullptr) __builtin_trap();
    return 0;
  }
  PrintSettingsFile copy((fuzz::ScratchFolder() / "PrintSettingsCopy.dat").u16string());
  PrintSettingsFile::Record back{};
  plat::HGLOBAL backMode = nullptr, backNames = nullptr;
  if (!copy.Write(record, mode, names) || !copy.Read(&back, &backMode, &backNames)) __builtin_trap();
  if (back != record || !SameBlocks(mode, backMode) || !SameBlocks(names, backNames)) __builtin_trap();
  for (plat::HGLOBAL block : {mode, names, backMode, backNames})
    if (block != nullptr) plat::GlobalFree(block);
  return 0;
}
