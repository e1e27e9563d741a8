// How a program-style path finds its file: names in any ASCII case, missing components kept as
// written, "." and ".." taken as they stand.
#include "foundation/PosixPath.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class PathLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "planner-lookup-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }

  void Put(const std::string& name) const {
    fs::create_directories(fs::path(root + "/" + name).parent_path());
    std::ofstream(root + "/" + name) << name;
  }
  // `rest` under the folder, looked up as the program writes it: with backslashes.
  std::string Lookup(std::string rest) const {
    for (char& c : rest)
      if (c == '/') c = '\\';
    return Vcon::ResolvePosixPath(root + "\\" + rest);
  }
  std::string Under(const std::string& rest) const { return root + "/" + rest; }

  std::string root;
};

TEST_F(PathLookupTest, NamesInAnyCaseAndTheFirstInByteOrderOfSeveral) {
  Put("Settings/Info/Worktops.TXT");
  EXPECT_EQ(Lookup("settings/INFO/worktops.txt"), Under("Settings/Info/Worktops.TXT"));
  EXPECT_EQ(Lookup("Settings/Info/worktops.txt"), Under("Settings/Info/Worktops.TXT"));
  EXPECT_EQ(Lookup("settings/info/"), Under("Settings/Info/"));

  // "DATA" sorts first and is kept even though only "data" holds the file asked for.
  Put("DATA/one.txt");
  Put("data/two.txt");
  EXPECT_EQ(Lookup("Data/two.txt"), Under("DATA/two.txt"));
  // A name that exists as written is taken as written, also after a folder found in another case.
  Put("Top/B/x.txt");
  Put("Top/b/y.txt");
  EXPECT_EQ(Lookup("top/b/y.txt"), Under("Top/b/y.txt"));
  EXPECT_EQ(Lookup("top/b/Y.txt"), Under("Top/b/y.txt"));
}

TEST_F(PathLookupTest, MissingComponentsAreKeptAsWrittenUntilCreated) {
  Put("Settings/prefs.dat");
  const std::string fresh = Lookup("SETTINGS/colors.dat");
  EXPECT_EQ(fresh, Under("Settings/colors.dat")) << "a new file in a folder found in another case";
  std::ofstream(fresh) << "c";
  EXPECT_EQ(Lookup("settings/COLORS.DAT"), fresh);
  EXPECT_EQ(Lookup("settings/Missing/x.DAT"), Under("Settings/Missing/x.DAT"));
  EXPECT_EQ(Lookup("Nowhere/settings/prefs.dat"), Under("Nowhere/settings/prefs.dat"));
  EXPECT_EQ(Vcon::ResolvePosixPath("/planner-no-such-root/Settings/x"), "/planner-no-such-root/Settings/x");
}

TEST_F(PathLookupTest, DotAndDotDotStandAsWritten) {
  Put("A/B/file.txt");
  EXPECT_EQ(Lookup("a/./b/FILE.txt"), Under("A/./B/file.txt"));
  EXPECT_EQ(Lookup("a/../A/b/File.txt"), Under("A/../A/B/file.txt"));
  EXPECT_EQ(Lookup("A/../a/B/new.txt"), Under("A/../A/B/new.txt"));
  EXPECT_EQ(Lookup("missing/../a/b"), Under("missing/../a/b")) << "the missing folder ends the lookup";

  const fs::path saved = fs::current_path();
  fs::current_path(root);
  const std::string relative = Vcon::ResolvePosixPath(".\\a\\b\\FILE.TXT");
  fs::current_path(saved);
  EXPECT_EQ(relative, "./A/B/file.txt");
}

}  // namespace
