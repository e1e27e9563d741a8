// The power cut that FilePowerLoss simulates: flushed bytes always survive; each later write or size
// change survives whole, torn at a 512-byte boundary, or not at all; and the outcomes a cut can
// choose all occur over enough seeds.
#include "foundation/FileOperations.h"
#include "foundation/FilePowerLoss.h"
#include "foundation/FileRecord.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

class FilePowerLossTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "planner-powerloss-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    Vcon::FilePowerLoss::Stop();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // Writes `start` to the file, runs `changes` on it under recording, cuts with `seed` and returns
  // what the file then holds.
  std::string CutAfter(const std::string& start, const std::function<void(ppFileSpec&)>& changes,
                       uint64_t seed) {
    std::ofstream(path(), std::ios::binary | std::ios::trunc) << start;
    Vcon::FilePowerLoss::Start();
    ppFileSpec file;
    FileOpen(file, ppFileSpec(Vcon::WString(path().c_str())), false);
    changes(file);
    FileClose(file);
    Vcon::FilePowerLoss::Cut(seed);
    Vcon::FilePowerLoss::Stop();
    std::ifstream in(path(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  std::string path() const { return folder_ + "/file.bin"; }

  std::string folder_;
};

void Write(ppFileSpec& file, int64_t at, char fill, uint32_t count) {
  const std::string bytes(count, fill);
  FileWrite(file, bytes.data(), count, at);
}

TEST_F(FilePowerLossTest, FlushedBytesStayAndEachLaterWriteIsWholeTornOrGone) {
  const auto changes = [](ppFileSpec& file) {
    Write(file, 0, 'A', 1024);
    FileFlush(file);
    Write(file, 512, 'B', 1024);  // may tear at 1024 only
    Write(file, 2048, 'C', 600);  // grows the file; may tear at 2560
  };
  const std::string A(512, 'A'), B(512, 'B'), O(512, '0'), C(600, 'C');
  const std::string C512 = C.substr(0, 512) + std::string(88, '\0');
  const std::set<std::string> middles = {A + O, B + B, B + O};  // bytes 512-1535: gone, whole, torn
  const std::set<std::string> tails = {"", C, C512};            // bytes 2048-: gone, whole, torn
  std::set<std::string> seenMiddles, seenTails;
  for (uint64_t seed = 1; seed <= 300; ++seed) {
    const std::string file = CutAfter(std::string(2048, '0'), changes, seed);
    ASSERT_GE(file.size(), 2048u) << "seed " << seed;
    EXPECT_EQ(file.substr(0, 512), A) << "seed " << seed;
    EXPECT_EQ(file.substr(1536, 512), O) << "seed " << seed;
    const std::string middle = file.substr(512, 1024), tail = file.substr(2048);
    EXPECT_TRUE(middles.count(middle)) << "seed " << seed;
    EXPECT_TRUE(tails.count(tail)) << "seed " << seed;
    seenMiddles.insert(middle);
    seenTails.insert(tail);
  }
  EXPECT_EQ(seenMiddles, middles);
  EXPECT_EQ(seenTails, tails);
}

// The data flush (no file times) keeps what it flushed as the full flush does: the bytes and the
// size a growth gave the file.
TEST_F(FilePowerLossTest, DataFlushKeepsTheBytesAndTheGrowth) {
  const auto changes = [](ppFileSpec& file) {
    Write(file, 0, 'A', 1024);
    Write(file, 2048, 'C', 952);
    FileFlushData(file);
    Write(file, 512, 'B', 1024);
  };
  for (uint64_t seed = 1; seed <= 100; ++seed) {
    const std::string file = CutAfter(std::string(2048, '0'), changes, seed);
    ASSERT_EQ(file.size(), 3000u) << "seed " << seed;
    EXPECT_EQ(file.substr(0, 512), std::string(512, 'A')) << "seed " << seed;
    EXPECT_EQ(file.substr(2048), std::string(952, 'C')) << "seed " << seed;
  }
}

TEST_F(FilePowerLossTest, ALostShrinkPutsTheCutBytesBack) {
  const auto changes = [](ppFileSpec& file) {
    const uint32_t size = 1000;
    FileSetSize(file, &size);
    Write(file, 1200, 'D', 100);
  };
  const std::string start(2048, 'x');
  const std::string D(100, 'D');
  const std::set<std::string> outcomes = {
      start,                                               // both lost
      start.substr(0, 1000),                               // the shrink kept, the write lost
      start.substr(0, 1200) + D,                           // the shrink lost, the write kept
      start.substr(0, 1000) + std::string(200, '\0') + D,  // both kept
  };
  std::set<std::string> seen;
  for (uint64_t seed = 1; seed <= 200; ++seed) {
    const std::string file = CutAfter(start, changes, seed);
    EXPECT_TRUE(outcomes.count(file)) << "seed " << seed << ", size " << file.size();
    seen.insert(file);
  }
  EXPECT_EQ(seen, outcomes);
}

TEST_F(FilePowerLossTest, TheSameSeedGivesTheSameCut) {
  const auto changes = [](ppFileSpec& file) {
    for (int i = 0; i < 8; ++i) Write(file, 300 * i, char('a' + i), 700);
  };
  for (uint64_t seed = 1; seed <= 20; ++seed)
    EXPECT_EQ(CutAfter("", changes, seed), CutAfter("", changes, seed)) << "seed " << seed;
}

}  // namespace
