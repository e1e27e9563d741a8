// Counted arrays, counted run lists in handles, and the path existence test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/CountedArray.h"
#include "foundation/CountedRunList.h"
#include "foundation/PathExists.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

TEST(CountedArrayTest, AppendKeepsCountInFront) {
  CountedArray a;
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(a.Block()[0], 0);
  for (int32_t v : {7, -3, 2147483647}) a.Append(v);
  ASSERT_EQ(a.Count(), 3);
  EXPECT_EQ(a.At(1), 7);
  EXPECT_EQ(a.At(2), -3);
  EXPECT_EQ(a.At(3), 2147483647);

  // A copy made from the raw block is independent of the source.
  CountedArray b(a.Block());
  a.Append(9);
  EXPECT_EQ(b.Count(), 3);
  EXPECT_EQ(std::memcmp(a.Block() + 1, b.Block() + 1, 3 * sizeof(int32_t)), 0);
  EXPECT_EQ(b.At(3), 2147483647);
  EXPECT_EQ(a.Count(), 4);

  CountedArray c = b;
  c.Append(1);
  EXPECT_EQ(b.Count(), 3);
  EXPECT_EQ(c.Count(), 4);
  CountedArray moved = std::move(c);
  EXPECT_EQ(moved.Count(), 4);
  EXPECT_EQ(moved.At(4), 1);
  c = moved;  // the moved-from array is still a valid array
  EXPECT_EQ(c.Count(), 4);

  EXPECT_EQ(CountedArray(nullptr).Count(), 0);
  const int32_t negative[] = {-5};
  EXPECT_EQ(CountedArray(negative).Count(), 0);
}

// A handle with the given words.
Handle WordHandle(const std::vector<int32_t>& words) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, static_cast<uint32_t>(words.size() * sizeof(int32_t)));
  if (!words.empty()) std::memcpy(*h, words.data(), words.size() * sizeof(int32_t));
  return h;
}

TEST(CountedArrayTest, RunListWalksRunsToTheEnd) {
  CountedRunList list(WordHandle({2, 10, 11, 1, 20, 3, 30, 31, 32, 0}));
  int32_t* r0 = list.RunAt(0);
  int32_t* r1 = list.RunAt(1);
  int32_t* r2 = list.RunAt(2);
  ASSERT_TRUE(r0 && r1 && r2);
  EXPECT_EQ(r0, reinterpret_cast<int32_t*>(*list.handle()));
  EXPECT_EQ(r1[0], 1);
  EXPECT_EQ(r1[1], 20);
  EXPECT_EQ(r2[0], 3);
  EXPECT_EQ(r2[3], 32);
  EXPECT_EQ(list.RunAt(3), nullptr);
  EXPECT_EQ(list.RunAt(100), nullptr);
  EXPECT_EQ(list.RunAt(-1), nullptr);

  CountedRunList empty(WordHandle({0}));
  EXPECT_EQ(empty.RunAt(0), nullptr);
  CountedRunList none(nullptr);
  EXPECT_EQ(none.RunAt(0), nullptr);
}

TEST(CountedArrayTest, RunListNeverWalksOutOfItsHandle) {
  // No closing 0: the data's end ends the list.
  CountedRunList unclosed(WordHandle({1, 5, 2, 6, 7}));
  EXPECT_NE(unclosed.RunAt(1), nullptr);
  EXPECT_EQ(unclosed.RunAt(2), nullptr);
  // A count larger than the rest of the data, or negative, ends it as well.
  CountedRunList tooLong(WordHandle({1, 5, 9, 1, 2}));
  EXPECT_NE(tooLong.RunAt(0), nullptr);
  EXPECT_EQ(tooLong.RunAt(1), nullptr);
  CountedRunList negative(WordHandle({-4, 1, 2, 3, 0}));
  EXPECT_EQ(negative.RunAt(0), nullptr);
  // A run exactly filling the data is whole.
  CountedRunList exact(WordHandle({3, 1, 2, 3}));
  EXPECT_NE(exact.RunAt(0), nullptr);
  EXPECT_EQ(exact.RunAt(1), nullptr);
}

class PathExistsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/pathexistsXXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir_ = templ;
    std::filesystem::create_directory(dir_ + "/Settings");
    std::ofstream(dir_ + "/Settings/Config.txt") << "x";
    std::ofstream(dir_ + "/Settings/a[1].txt") << "x";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // The temporary folder written the program's way, with backslashes.
  std::string Win(const std::string& rest) const {
    std::string p = dir_ + rest;
    for (char& c : p)
      if (c == '/') c = '\\';
    return p;
  }

  std::string dir_;
};

TEST_F(PathExistsTest, FilesAndFoldersInAnyCaseAndSeparator) {
  EXPECT_TRUE(PathExists(Win("/Settings")));
  EXPECT_TRUE(PathExists(Win("/Settings\\")));
  EXPECT_TRUE(PathExists(Win("/Settings/Config.txt")));
  EXPECT_TRUE(PathExists(dir_ + "/Settings/Config.txt"));
  EXPECT_TRUE(PathExists(Win("/SETTINGS/config.TXT")));
  EXPECT_FALSE(PathExists(Win("/Settings/Config.txt/")));
  EXPECT_FALSE(PathExists(Win("/Settings/Missing.txt")));
  EXPECT_FALSE(PathExists(""));
}

TEST_F(PathExistsTest, WildcardsMatchAndBracketsAreLiteral) {
  EXPECT_TRUE(PathExists(Win("/Settings/*.txt")));
  EXPECT_TRUE(PathExists(Win("/Settings/C?nfig.*")));
  EXPECT_TRUE(PathExists(Win("/*/config.txt")));
  EXPECT_FALSE(PathExists(Win("/Settings/*.cdb")));
  EXPECT_FALSE(PathExists(Win("/Settings/C?fig.txt")));
  EXPECT_TRUE(PathExists(Win("/Settings/a[1].txt")));
  EXPECT_FALSE(PathExists(Win("/Settings/a1.txt")));
  EXPECT_FALSE(PathExists(Win("/Settings/[ac]*")));
}

}  // namespace
