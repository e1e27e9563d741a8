// Giving a closed file a new name: never over an existing file, never a file that is open, and the
// fault hook sees the rename as a change on disk.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "foundation/FileFaultHook.h"
#include "foundation/FileOperations.h"
#include "foundation/FileRecord.h"

namespace {

namespace fs = std::filesystem;

std::vector<Vcon::FileOp> gOps;
void RecordOp(Vcon::FileOp op, const char*) { gOps.push_back(op); }

class FileRenameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "planner-rename-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    Vcon::SetFileFaultHook(nullptr);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  ppFileSpec FileAt(const std::string& name) const {
    return ppFileSpec(Vcon::WString((folder_ + "/" + name).c_str()));
  }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder_ + "/" + name, std::ios::binary) << bytes;
  }
  std::string Get(const std::string& name) const {
    std::ifstream in(folder_ + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  bool Exists(const std::string& name) const { return fs::exists(folder_ + "/" + name); }
  static int32_t ThrownBy(ppFileSpec& from, ppFileSpec& to) {
    try {
      FileRename(from, to);
    } catch (int32_t error) {
      return error;
    }
    return 0;
  }

  std::string folder_;
};

TEST_F(FileRenameTest, ANewNameIsTakenOnlyWhenNoFileHasIt) {
  Put("made.new", "whole");
  Put("kept", "older");
  ppFileSpec from = FileAt("made.new"), taken = FileAt("kept"), free = FileAt("made");
  EXPECT_EQ(ThrownBy(from, taken), kFileErrExists);
  EXPECT_EQ(Get("kept"), "older");
  EXPECT_EQ(Get("made.new"), "whole");

  gOps.clear();
  Vcon::SetFileFaultHook(&RecordOp);
  EXPECT_EQ(ThrownBy(from, free), 0);
  Vcon::SetFileFaultHook(nullptr);
  EXPECT_EQ(gOps, std::vector<Vcon::FileOp>{Vcon::FileOp::Rename});
  EXPECT_EQ(Get("made"), "whole");
  EXPECT_FALSE(Exists("made.new"));

  ppFileSpec missing = FileAt("gone"), other = FileAt("other");
  EXPECT_EQ(ThrownBy(missing, other), kFileErrCannotOpen);
  EXPECT_FALSE(Exists("other"));
}

TEST_F(FileRenameTest, AnOpenFileKeepsItsName) {
  Put("open", "held");
  ppFileSpec held;
  FileOpen(held, FileAt("open"), false);
  ppFileSpec from = FileAt("open"), to = FileAt("moved");
  EXPECT_EQ(ThrownBy(from, to), kFileErrCannotOpen);
  FileClose(held);
  EXPECT_EQ(Get("open"), "held");
  EXPECT_FALSE(Exists("moved"));
}

TEST_F(FileRenameTest, AReplacingRenameSwapsTheNameInOneStepButNeverAnOpenFile) {
  Put("doc.saving", "newer");
  Put("doc", "older");
  ppFileSpec from = FileAt("doc.saving"), to = FileAt("doc");
  ppFileSpec held;
  FileOpen(held, FileAt("doc"), false);
  EXPECT_THROW(
      try { FileReplace(from, to); } catch (int32_t error) {
        EXPECT_EQ(error, kFileErrCannotOpen);
        throw;
      },
      int32_t);
  FileClose(held);
  EXPECT_EQ(Get("doc"), "older");

  gOps.clear();
  Vcon::SetFileFaultHook(&RecordOp);
  FileReplace(from, to);
  Vcon::SetFileFaultHook(nullptr);
  EXPECT_EQ(gOps, std::vector<Vcon::FileOp>{Vcon::FileOp::Rename});
  EXPECT_EQ(Get("doc"), "newer");
  EXPECT_FALSE(Exists("doc.saving"));

  // A missing source and a free target name: nothing appears.
  ppFileSpec missing = FileAt("gone"), free = FileAt("free");
  try {
    FileReplace(missing, free);
    ADD_FAILURE() << "no throw";
  } catch (int32_t error) {
    EXPECT_EQ(error, kFileErrCannotOpen);
  }
  EXPECT_FALSE(Exists("free"));
}

}  // namespace
