// The whole-file write of documents and the autosave: the target ends with exactly the new bytes, and
// a failure or a power cut at any disk call leaves the previous file whole.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "exchange/WriteHandleToFile.h"
#include "foundation/FileFaultHook.h"
#include "foundation/FileOperations.h"
#include "foundation/FilePowerLoss.h"

namespace {

namespace fs = std::filesystem;

// Fault hooks counting the disk calls. FailOnce throws -50 at call number gFailAt only (0: never), as
// a full disk would. CutFrom throws at that call and every later one, as a power cut would, but lets
// closes through: the power-loss simulation needs the files closed, and a close changes nothing that
// a flush had not made durable.
int gCalls = 0;
int gFailAt = 0;
void FailOnce(Vcon::FileOp, const char*) {
  if (++gCalls == gFailAt) throw kFileErrBadCall;
}
void CutFrom(Vcon::FileOp op, const char*) {
  if (++gCalls >= gFailAt && gFailAt != 0 && op != Vcon::FileOp::Close) throw kFileErrBadCall;
}

class WriteHandleToFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "planner-safewrite-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    gCalls = 0;
    gFailAt = 0;
  }
  void TearDown() override {
    Vcon::SetFileFaultHook(nullptr);
    Vcon::FilePowerLoss::Stop();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  ppFileSpec Target() const { return ppFileSpec(Vcon::WString((folder_ + "/plan.qxf").c_str())); }
  void Put(const std::string& bytes) const {
    std::ofstream(folder_ + "/plan.qxf", std::ios::binary | std::ios::trunc) << bytes;
  }
  std::string Get() const {
    std::ifstream in(folder_ + "/plan.qxf", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  bool LeftoverExists() const { return fs::exists(folder_ + "/plan.qxf.saving"); }
  // Writes `bytes` through WriteHandleToFile; answers the file error thrown, 0 for none.
  static int32_t Write(ppFileSpec& target, const std::string& bytes) {
    Handle h = nullptr;
    if (!bytes.empty()) {
      Vcon_HandleManager::MemNew(&h, static_cast<uint32_t>(bytes.size()));
      std::memcpy(*h, bytes.data(), bytes.size());
    }
    int32_t error = 0;
    try {
      WriteHandleToFile(target, h);
    } catch (int32_t thrown) {
      error = thrown;
    }
    MemDispose(h);
    return error;
  }

  std::string folder_;
};

TEST_F(WriteHandleToFileTest, TheTargetHoldsExactlyTheNewBytesWhetherNewShorterOrEmpty) {
  ppFileSpec target = Target();
  const std::string big(70000, 'x');
  struct Case {
    const char* what;
    std::string bytes;
  } const cases[] = {{"created", big},
                     {"shorter over longer", "abc"},
                     {"binary", std::string("\0\r\n\xff", 4)},
                     {"empty", ""}};
  for (const Case& c : cases) {
    EXPECT_EQ(Write(target, c.bytes), 0) << c.what;
    EXPECT_EQ(Get(), c.bytes) << c.what;
    EXPECT_FALSE(LeftoverExists()) << c.what;
    EXPECT_FALSE(target.IsOpen()) << c.what;
  }
  // A leftover of an earlier cut-off save does not stop the next one.
  std::ofstream(folder_ + "/plan.qxf.saving") << "stale";
  EXPECT_EQ(Write(target, "fresh"), 0);
  EXPECT_EQ(Get(), "fresh");
  EXPECT_FALSE(LeftoverExists());
}

TEST_F(WriteHandleToFileTest, AFailureAtAnyDiskCallKeepsThePreviousFileByteForByte) {
  ppFileSpec target = Target();
  const std::string old = "previous good document";
  Put(old);
  Vcon::SetFileFaultHook(&FailOnce);
  ASSERT_EQ(Write(target, "first run to count the calls"), 0);
  const int calls = gCalls;
  ASSERT_GE(calls, 5);  // create, write, flush, close, rename
  // The first call removes a leftover temporary file, whose failure is no failure of the save.
  for (int failAt = 2; failAt <= calls; ++failAt) {
    Vcon::SetFileFaultHook(nullptr);
    Put(old);
    gCalls = 0;
    gFailAt = failAt;
    Vcon::SetFileFaultHook(&FailOnce);
    EXPECT_EQ(Write(target, "the new document, longer than the old one"), kFileErrBadCall)
        << "call " << failAt;
    Vcon::SetFileFaultHook(nullptr);
    EXPECT_EQ(Get(), old) << "call " << failAt;
    EXPECT_FALSE(LeftoverExists()) << "call " << failAt;
    EXPECT_FALSE(target.IsOpen());
  }
}

TEST_F(WriteHandleToFileTest, APowerCutAtAnyDiskCallLeavesTheOldFileOrTheNewOneNeverAMix) {
  ppFileSpec target = Target();
  const std::string old(3000, 'o');
  const std::string fresh = std::string(1500, 'n') + std::string(2100, 'N');
  Put(old);
  Vcon::SetFileFaultHook(&CutFrom);
  ASSERT_EQ(Write(target, fresh), 0);
  const int calls = gCalls;
  int oldSeen = 0, newSeen = 0;
  for (uint64_t seed = 1; seed <= 200; ++seed) {
    Vcon::SetFileFaultHook(nullptr);
    Put(old);
    std::error_code ignored;
    fs::remove(folder_ + "/plan.qxf.saving", ignored);
    gCalls = 0;
    gFailAt = 1 + static_cast<int>(seed % static_cast<uint64_t>(calls + 1));  // calls + 1: no cut
    Vcon::FilePowerLoss::Start();
    Vcon::SetFileFaultHook(&CutFrom);
    Write(target, fresh);
    Vcon::SetFileFaultHook(nullptr);
    const std::string lost = Vcon::FilePowerLoss::Cut(seed);
    Vcon::FilePowerLoss::Stop();
    const std::string now = Get();
    EXPECT_TRUE(now == old || now == fresh) << "seed " << seed << " size " << now.size() << ": " << lost;
    (now == old ? oldSeen : newSeen) += 1;
  }
  EXPECT_GT(oldSeen, 0);
  EXPECT_GT(newSeen, 0);
}

}  // namespace
