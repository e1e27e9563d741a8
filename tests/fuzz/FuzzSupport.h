// What the fuzz targets share: the program's handle zone, made once per process and kept until it
// ends, and a scratch file for parsers that read files.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>

#include "foundation/Vcon_HandleManager.h"

namespace fuzz {

// Makes the handle zone on the first call (the size the test binaries use).
inline void EnsureZone() {
  static const bool made = MemInit(40'000'000, 400'000) == 0;
  if (!made) std::abort();
}

// A handle the target owns, disposed however the target leaves.
struct HandleDisposer {
  void operator()(Handle h) const { MemDispose(h); }
};
using OwnedHandle = std::unique_ptr<std::remove_pointer_t<Handle>, HandleDisposer>;

// A folder of this process for scratch files, made on the first call and removed at exit: under
// $PLANNER_FUZZ_SCRATCH when set (scripts/fuzz sets it and removes it, since a crash skips the
// removal), else in /dev/shm when there is one (the fuzzer writes a file per input), else in the
// system's temporary folder.
class ScratchFolderOwner {
 public:
  ScratchFolderOwner() {
    const char* given = std::getenv("PLANNER_FUZZ_SCRATCH");
    const std::filesystem::path base = given != nullptr ? std::filesystem::path(given)
                                       : std::filesystem::is_directory("/dev/shm")
                                           ? "/dev/shm"
                                           : std::filesystem::temp_directory_path();
    path_ = base / ("planner-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolderOwner() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline const std::filesystem::path& ScratchFolder() {
  static const ScratchFolderOwner owner;
  return owner.Path();
}

// Writes the bytes to `name` in the scratch folder, replacing what was there; returns its path.
inline std::string WriteScratchFile(const char* name, const uint8_t* data, size_t size) {
  const std::string path = (ScratchFolder() / name).string();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return path;
}

}  // namespace fuzz
