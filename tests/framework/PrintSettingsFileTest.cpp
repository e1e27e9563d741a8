#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "framework/PrintSettingsFile.h"

namespace {

class PrintSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("print_settings_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "PrintSettings.dat").u16string();
    for (uint32_t i = 0; i < record_.size(); ++i) record_[i] = static_cast<uint8_t>(i + 1);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  plat::HGLOBAL Block(size_t size, uint8_t fill) {
    plat::HGLOBAL b = plat::GlobalAlloc(plat::GMEM_MOVEABLE, size);
    std::memset(plat::GlobalLock(b), fill, size);
    plat::GlobalUnlock(b);
    return b;
  }
  std::filesystem::path dir_;
  std::u16string path_;
  PrintSettingsFile::Record record_{};
};

TEST_F(PrintSettings, RecordAloneIsSeventyEightBytesAndReadsBack) {
  PrintSettingsFile file(path_);
  ASSERT_TRUE(file.Write(record_, nullptr, nullptr));
  EXPECT_EQ(std::filesystem::file_size(std::filesystem::path(path_)), 78u);
  PrintSettingsFile::Record back{};
  plat::HGLOBAL mode = reinterpret_cast<plat::HGLOBAL>(1), names = reinterpret_cast<plat::HGLOBAL>(1);
  ASSERT_TRUE(file.Read(&back, &mode, &names));
  EXPECT_EQ(back, record_);
  EXPECT_EQ(mode, nullptr);
  EXPECT_EQ(names, nullptr);
}

TEST_F(PrintSettings, DeviceBlocksFollowTheRecord) {
  PrintSettingsFile file(path_);
  plat::HGLOBAL mode = Block(156, 0xAB), names = Block(40, 0xCD);
  ASSERT_TRUE(file.Write(record_, mode, names));
  EXPECT_EQ(std::filesystem::file_size(std::filesystem::path(path_)), 78u + 156u + 40u);
  plat::HGLOBAL readMode = nullptr, readNames = nullptr;
  PrintSettingsFile::Record back{};
  ASSERT_TRUE(file.Read(&back, &readMode, &readNames));
  ASSERT_EQ(plat::GlobalSize(readMode), 156u);
  ASSERT_EQ(plat::GlobalSize(readNames), 40u);
  EXPECT_EQ(static_cast<uint8_t*>(plat::GlobalLock(readNames))[39], 0xCD);
  plat::GlobalUnlock(readNames);
  for (auto b : {mode, names, readMode, readNames}) plat::GlobalFree(b);
}

TEST_F(PrintSettings, MissingDamagedOrOversizedFilesCountAsNoFile) {
  PrintSettingsFile file(path_);
  PrintSettingsFile::Record back{};
  plat::HGLOBAL mode = nullptr, names = nullptr;
  EXPECT_FALSE(file.Read(&back, &mode, &names));  // missing
  size_t before = plat::GlobalBlockCount();
  // A record length beyond 66 must not be read into the record.
  std::ofstream(std::filesystem::path(path_), std::ios::binary)
      << std::string("\xFF\x00\x00\x00", 4) << std::string(300, 'x');
  EXPECT_FALSE(file.Read(&back, &mode, &names));
  // A device block that claims more bytes than the file holds.
  {
    std::ofstream out(std::filesystem::path(path_), std::ios::binary | std::ios::trunc);
    out << std::string("\x42\x00\x00\x00", 4) << std::string(66, 'r') << std::string(4, '\0')
        << std::string("\x10\x00\x00\x00", 4) << "short";
  }
  EXPECT_FALSE(file.Read(&back, &mode, &names));
  EXPECT_EQ(back, PrintSettingsFile::Record{});  // untouched
  EXPECT_EQ(plat::GlobalBlockCount(), before);   // nothing made is left behind
}

TEST_F(PrintSettings, AFolderThatCannotHoldTheFileAnswersFalse) {
  PrintSettingsFile file((dir_ / "no" / "such" / "folder" / "x.dat").u16string());
  EXPECT_FALSE(file.Write(record_, nullptr, nullptr));
}

}  // namespace
