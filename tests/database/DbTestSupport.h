// Helpers shared by the database tests: a private temporary folder, raw file access for checking
// bytes on disk, and small handle builders.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "database/dbBytes.h"
#include "foundation/HandleRoom.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/FileRecord.h"

namespace dbtest {

// A fresh folder per test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = BaseFolder() / ("planner_db_" + std::to_string(::getpid()) + "_" +
                           (info ? std::string(info->test_suite_name()) + "_" + info->name() : "x"));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

 private:
  // Memory-backed when the system has it: commits flush to disk, and the crash test commits often.
  static std::filesystem::path BaseFolder() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0)
      return "/dev/shm";
    return std::filesystem::temp_directory_path();
  }

  std::filesystem::path dir_;
};

inline ppFileSpec SpecFor(const std::string& path) { return ppFileSpec(Vcon::WString(path.c_str())); }

inline std::vector<unsigned char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline int64_t FileSize(const std::string& path) { return int64_t(std::filesystem::file_size(path)); }

inline int32_t WordAt(const std::vector<unsigned char>& bytes, size_t offset) {
  return db::GetI32(bytes.data(), uint32_t(offset));
}

// A new handle holding `text` (without a NUL) or `n` copies of `fill`.
inline Handle HandleOf(const std::string& text) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, uint32_t(text.size()));
  if (!text.empty()) std::memcpy(*h, text.data(), text.size());
  return h;
}

inline std::string TextOf(Handle h) { return std::string(*h, size_t(MemGetSize(h))); }

// The error number a call throws, or 0 when it returns.
template <typename F>
int32_t ErrorOf(F&& call) {
  try {
    call();
  } catch (int32_t e) {
    return e;
  }
  return 0;
}

// Takes the handle zone's free space in blocks of a megabyte until less than one is left, and gives it
// back when released or destroyed: for lengths in packed bytes that the zone cannot hold.
class ZoneFiller {
 public:
  ZoneFiller() {
    while (Handle h = MemTryNew(1u << 20)) taken_.push_back(h);
  }
  ~ZoneFiller() { Release(); }
  ZoneFiller(const ZoneFiller&) = delete;
  ZoneFiller& operator=(const ZoneFiller&) = delete;
  void Release() {
    for (Handle h : taken_) MemDispose(h);
    taken_.clear();
  }

 private:
  std::vector<Handle> taken_;
};

}  // namespace dbtest
