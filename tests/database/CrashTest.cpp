// Crash safety: a workload commits numbered transactions and is stopped just before the Nth
// disk-changing call of the file layer, for every N the workload reaches. After each stop a reopen
// must hold exactly the committed transactions (plus, at most, the one whose commit was under way)
// and a consistent store and indexes.
//
// Two kinds of stop: a child process killed at the call (every write before it reaches the file),
// and a power cut in process, where the calls from N on fail and FilePowerLoss then loses a seeded
// random part of what no flush had made durable, tearing a write now and then. The power-loss runs
// cover every call of each commit and of the recovery with several seeds; PLANNER_POWERLOSS_RUNS
// asks for more runs (for example 100000, outside CI) and PLANNER_POWERLOSS_REPLAY=<call>:<seed>
// repeats the one run a failure names.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "database/HandleList.h"
#include "database/dbDatabase.h"
#include "database/dbErrors.h"
#include "database/dbNumIndex.h"
#include "DbTestSupport.h"
#include "StoreConsistency.h"
#include "foundation/FileFaultHook.h"
#include "foundation/FileOperations.h"
#include "foundation/FilePowerLoss.h"

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's own call (sanitizer/allocator_interface.h, which not every compiler ships):
// empties the quarantine of freed blocks and returns free memory to the system.
extern "C" void __sanitizer_purge_allocator();
#endif

using dbtest::ErrorOf;
using dbtest::HandleOf;
using dbtest::TextOf;

namespace {

constexpr int32_t kTransactions = 12;
constexpr int kExitKilled = 3;

std::string Payload(int32_t i) {
  return std::string(size_t(40 + (i * 397) % 2600), char('a' + i % 26)) + std::to_string(i);
}

std::string NameOf(int32_t i) { return "T" + std::to_string(i); }

// Transaction i adds T<i> and indexes it by i, counts itself in "counter" (a record whose length
// changes every time), and every third one deletes T<i-2> again.
std::set<int32_t> LiveAfter(int32_t n) {
  std::set<int32_t> live;
  for (int32_t i = 1; i <= n; ++i) {
    live.insert(i);
    if (i % 3 == 0) live.erase(i - 2);
  }
  return live;
}

int32_t ReadNumber(dbDatabase& db, const char* name) {
  const int32_t n = db.RecordNumberOfName(name);
  std::string text = TextOf(db.ReadRecord(n));
  db.ReleaseRecord(n);
  return std::stoi(text.substr(text.find_first_not_of('#')));
}

void WriteNumber(dbDatabase& db, const char* name, int32_t value) {
  const int32_t n = db.RecordNumberOfName(name);
  const std::string text = std::string(size_t(value % 7 + 1), '#') + std::to_string(value);
  Handle h = db.ReadRecord(n);
  MemSetSize(h, uint32_t(text.size()));
  std::memcpy(*h, text.data(), text.size());
  db.MarkRecordChanged(n);
  db.ReleaseRecord(n);
}

void RunTransaction(dbDatabase& db, dbNumIndex& numbers, int32_t i) {
  db.BeginTransaction();
  const int32_t n = db.AddNamedRecord(NameOf(i).c_str(), HandleOf(Payload(i)));
  db.ReleaseRecord(n);
  numbers.Insert(n, n, &i);
  WriteNumber(db, "counter", i);
  if (i % 3 == 0) {
    const int32_t gone = i - 2;
    const std::string name = NameOf(gone);
    const int32_t g = db.RecordNumberOfName(name.c_str());
    db.Directory().Remove(g, g, name.c_str());
    numbers.Remove(g, g, &gone);
    db.DeleteRecord(g);
  }
  db.EndTransaction();
}

// The child's counter of disk-changing calls.
int64_t gCalls = 0;
int64_t gKillAt = 0;

void KillAtCall(Vcon::FileOp, const char*) {
  if (++gCalls == gKillAt) _exit(kExitKilled);
}

// In process: from call gKillAt on the disk is gone and every change fails. Closing still frees
// the descriptor (it changes nothing on disk), so the file can be reopened after the cut.
void FailFromCall(Vcon::FileOp op, const char*) {
  if (op == Vcon::FileOp::Close) return;
  if (++gCalls >= gKillAt) throw kFileErrBadCall;
}

// Every flush fails; nothing else does.
void FailFlushes(Vcon::FileOp op, const char*) {
  if (op == Vcon::FileOp::Flush) throw kFileErrBadCall;
}

// The workload's first transaction: the index of the transactions and their counter.
void AddIndexAndCounter(dbDatabase& db) {
  db.BeginTransaction();
  int32_t header = 0;
  dbNumIndex numbers(&header, dbIndex::kNumericKeys, db.Store());
  db.ReleaseRecord(db.AddNamedRecord("numbers", HandleOf(std::to_string(header))));
  db.ReleaseRecord(db.AddNamedRecord("counter", HandleOf("#0")));
  db.EndTransaction();
}

// The workload from no file: the database is made, gets its index and counter, then the numbered
// transactions. Returns the transactions committed, -1 while the first transaction has not.
int32_t RunFromNoFileUntilCut(const std::string& path) {
  int32_t committed = -1;
  try {
    ppFileSpec fileSpec = dbtest::SpecFor(path);
    dbDatabase db(fileSpec);
    AddIndexAndCounter(db);
    committed = 0;
    dbNumIndex numbers(ReadNumber(db, "numbers"), db.Store());
    for (int32_t i = 1; i <= kTransactions; ++i) {
      RunTransaction(db, numbers, i);
      committed = i;
    }
  } catch (int32_t) {
    // The power cut.
  }
  return committed;
}

// The transaction count the file holds (the committed ones), read by the caller's workload.
int32_t RunUntilCut(const std::string& path, int32_t committed) {
  try {
    ppFileSpec fileSpec = dbtest::SpecFor(path);
    dbDatabase db(fileSpec);
    dbNumIndex numbers(ReadNumber(db, "numbers"), db.Store());
    for (int32_t i = ReadNumber(db, "counter") + 1; i <= kTransactions; ++i) {
      RunTransaction(db, numbers, i);
      committed = i;
    }
  } catch (int32_t) {
    // The power cut: what the file holds now is judged after FilePowerLoss::Cut.
  }
  return committed;
}

// How many power-loss runs, and from which seed: CI runs a fixed set.
struct PowerLossPlan {
  int64_t runs = 1000;
  uint64_t firstSeed = 1;
  int64_t replayCall = 0;  // set by PLANNER_POWERLOSS_REPLAY
};

PowerLossPlan PlanFromEnvironment() {
  PowerLossPlan plan;
  if (const char* runs = std::getenv("PLANNER_POWERLOSS_RUNS")) {
    plan.runs = std::max(1LL, std::atoll(runs));
    plan.firstSeed = std::random_device()() | 1;
  }
  if (const char* replay = std::getenv("PLANNER_POWERLOSS_REPLAY")) {
    const std::string text(replay);
    plan.replayCall = std::atoll(text.c_str());
    plan.firstSeed = std::strtoull(text.substr(text.find(':') + 1).c_str(), nullptr, 10);
    plan.runs = 1;
  }
  return plan;
}

class CrashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ppFileSpec fileSpec = dbtest::SpecFor(path_);
    dbDatabase db(fileSpec);
    AddIndexAndCounter(db);
  }

  // Runs the workload in a child killed before disk call `killAt`; returns the transactions the
  // child saw committed (0 when none) and sets `calls` when it ran to the end.
  int32_t RunChild(int64_t killAt, int64_t* calls = nullptr) {
    int fds[2];
    if (pipe(fds) != 0) ADD_FAILURE() << "pipe";
    const pid_t pid = fork();
    if (pid == 0) {
      close(fds[0]);
      gCalls = 0;
      gKillAt = killAt;
      Vcon::SetFileFaultHook(&KillAtCall);
      try {
        ppFileSpec fileSpec = dbtest::SpecFor(path_);
        dbDatabase db(fileSpec);
        dbNumIndex numbers(ReadNumber(db, "numbers"), db.Store());
        for (int32_t i = ReadNumber(db, "counter") + 1; i <= kTransactions; ++i) {
          RunTransaction(db, numbers, i);
          if (write(fds[1], &i, sizeof i) != sizeof i) _exit(4);
        }
        const int32_t total = int32_t(-gCalls);
        if (write(fds[1], &total, sizeof total) != sizeof total) _exit(4);
      } catch (...) {
        _exit(2);
      }
      _exit(0);
    }
    close(fds[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == kExitKilled))
        << "child ended with status " << status << " at call " << killAt;
    int32_t committed = 0, word = 0;
    while (read(fds[0], &word, sizeof word) == sizeof word) {
      if (word > 0) committed = word;
      if (word < 0 && calls != nullptr) *calls = -word;
    }
    close(fds[0]);
    return committed;
  }

  // Reopens the file and checks it holds exactly n transactions for one n in [low, high].
  void ExpectCommitted(int32_t low, int32_t high, int64_t killAt) {
    SCOPED_TRACE("killed at call " + std::to_string(killAt));
    ppFileSpec fileSpec = dbtest::SpecFor(path_);
    dbDatabase db(fileSpec);
    const int32_t n = ReadNumber(db, "counter");
    ASSERT_GE(n, low);
    ASSERT_LE(n, high);
    const std::set<int32_t> live = LiveAfter(n);
    dbNumIndex numbers(ReadNumber(db, "numbers"), db.Store());
    EXPECT_EQ(db.FileCount(), int32_t(live.size()) + 2);
    EXPECT_EQ(numbers.Count(), int32_t(live.size()));
    std::vector<int32_t> inKeyOrder;  // record numbers of the live transactions, by i
    for (int32_t i = 1; i <= kTransactions; ++i) {
      const std::string name = NameOf(i);
      int32_t indexed = 0;
      const int32_t found = numbers.Find(&i, &indexed);
      if (!live.count(i)) {
        EXPECT_EQ(ErrorOf([&] { db.RecordNumberOfName(name.c_str()); }), db::kNotFound) << name;
        EXPECT_EQ(found, db::kNotFound) << name;
        continue;
      }
      const int32_t r = db.RecordNumberOfName(name.c_str());
      EXPECT_EQ(TextOf(db.ReadRecord(r)), Payload(i)) << name;
      db.ReleaseRecord(r);
      EXPECT_EQ(indexed, r) << name;
      inKeyOrder.push_back(r);
    }
    Handle all = numbers.AllValues();
    std::vector<int32_t> indexed;
    for (uint32_t k = 0; k < HandleList::Count(all); ++k) indexed.push_back(HandleList::At(all, k));
    HandleList::Dispose(all);
    EXPECT_EQ(indexed, inKeyOrder);
    EXPECT_EQ(dbtest::CheckStoreConsistency(db.Store()), "");
  }

  // Runs the workload from `base` with a power cut at disk call `cutAt`; odd seeds cut the
  // recovery of the reopen too. Returns what the cuts lost, for the failure message.
  // An empty `base` starts from no file (the workload makes it) instead.
  std::string PowerCutRun(const std::vector<unsigned char>& base, int64_t cutAt, uint64_t seed,
                          int32_t& committed) {
    if (base.empty())
      RemoveFiles();
    else
      dbtest::WriteFileBytes(path_, base);
    Vcon::FilePowerLoss::Start();
    Vcon::SetFileFaultHook(&FailFromCall);
    gCalls = 0;
    gKillAt = cutAt;
    committed = base.empty() ? RunFromNoFileUntilCut(path_) : RunUntilCut(path_, 0);
    std::string lost = Vcon::FilePowerLoss::Cut(seed);
    if (seed % 2 == 1) {
      gCalls = 0;
      gKillAt = 1 + int64_t(seed / 2 % 12);
      try {
        ppFileSpec fileSpec = dbtest::SpecFor(path_);
        dbDatabase reopened(fileSpec);
      } catch (int32_t) {
        // The recovery was cut.
      }
      lost += "recovery cut at call " + std::to_string(gKillAt) + ": " + Vcon::FilePowerLoss::Cut(~seed);
    }
    Vcon::SetFileFaultHook(nullptr);
    Vcon::FilePowerLoss::Stop();
    return lost;
  }

  // The power-cut runs of `plan` over the workload's `calls` disk calls, from `base` (empty: from
  // no file); stops at the first failure, naming the run to replay.
  void PowerCutRuns(const std::vector<unsigned char>& base, int64_t calls, const PowerLossPlan& plan) {
    const auto started = std::chrono::steady_clock::now();
    int64_t run = 0;
    for (; run < plan.runs; ++run) {
      const int64_t cutAt = plan.replayCall > 0 ? plan.replayCall : 1 + run % calls;
      const uint64_t seed = plan.firstSeed + uint64_t(run);
      int32_t committed = 0;
      const std::string lost = PowerCutRun(base, cutAt, seed, committed);
      const std::string replay =
          "PLANNER_POWERLOSS_REPLAY=" + std::to_string(cutAt) + ":" + std::to_string(seed);
      const int32_t error = ErrorOf([&] {
        if (committed < 0 && !HoldsCounter())
          ExpectEmpty();
        else
          ExpectCommitted(std::max(committed, 0), committed + 1, cutAt);
      });
      EXPECT_EQ(error, 0) << "reopening failed; " << replay;
      if (HasFailure()) {
        ADD_FAILURE() << "power cut at call " << cutAt << " (" << lost << ") lost a commit or left the "
                      << "store inconsistent; replay with " << replay;
        break;
      }
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%lld power-loss runs over %lld disk calls in %.1f s\n", (long long)run, (long long)calls,
                seconds);
  }

  // Whether the file's first transaction is there (opening makes the file when there is none).
  bool HoldsCounter() {
    ppFileSpec fileSpec = dbtest::SpecFor(path_);
    dbDatabase db(fileSpec);
    return ErrorOf([&] { db.RecordNumberOfName("counter"); }) == 0;
  }

  // A database without any committed transaction: no named record, a consistent store.
  void ExpectEmpty() {
    ppFileSpec fileSpec = dbtest::SpecFor(path_);
    dbDatabase db(fileSpec);
    EXPECT_EQ(db.FileCount(), 0);
    EXPECT_EQ(dbtest::CheckStoreConsistency(db.Store()), "");
  }

  // The database file and whatever an interrupted creation left beside it.
  void RemoveFiles() {
    std::filesystem::remove(path_);
    std::filesystem::remove(path_ + ".new");
  }

  dbtest::TempFolder folder_;
  std::string path_ = folder_.Path("crash.db");
};

TEST_F(CrashTest, EveryKillPointKeepsExactlyTheCommittedTransactions) {
#if defined(__SANITIZE_ADDRESS__)
  // A fork copies the page tables of all the memory the process holds; after the binary's other
  // tests the sanitizer keeps hundreds of megabytes of freed blocks, and each of the few hundred
  // forks below would pay for them.
  __sanitizer_purge_allocator();
#endif
  const auto base = dbtest::FileBytes(path_);
  int64_t calls = 0;
  ASSERT_EQ(RunChild(LLONG_MAX, &calls), kTransactions);
  ExpectCommitted(kTransactions, kTransactions, 0);
  ASSERT_GE(calls, 190);
  for (int64_t killAt = 1; killAt <= calls; ++killAt) {
    dbtest::WriteFileBytes(path_, base);
    int32_t committed = RunChild(killAt);
    // Now and then the repair itself is interrupted before the file is checked.
    if (killAt % 5 == 0) committed = std::max(committed, RunChild(1 + killAt / 5 % 4));
    const int32_t error = ErrorOf([&] { ExpectCommitted(committed, committed + 1, killAt); });
    EXPECT_EQ(error, 0) << "reopening after the kill at call " << killAt << " failed";
    if (HasFailure()) break;
  }
}

TEST_F(CrashTest, EveryPowerCutKeepsExactlyTheCommittedTransactions) {
  const auto base = dbtest::FileBytes(path_);
  const int64_t calls = [&] {
    Vcon::SetFileFaultHook(&FailFromCall);
    gCalls = 0;
    gKillAt = LLONG_MAX;
    EXPECT_EQ(RunUntilCut(path_, 0), kTransactions);
    Vcon::SetFileFaultHook(nullptr);
    return gCalls;
  }();
  ASSERT_GE(calls, 190);
  PowerCutRuns(base, calls, PlanFromEnvironment());
}

// A session whose last flush never came (its process gone before the close; here the close's flush
// fails) leaves its last commit's state 0, and the cut of that commit's journal, to the system
// alone. The next session's commits write over that journal's space: a power cut at any of their
// disk calls must still find the first session's transactions, whole.
TEST_F(CrashTest, APowerCutInTheNextSessionKeepsWhatTheLastOneLeftUnflushed) {
  constexpr int32_t kFirstSession = 4;
  const auto base = dbtest::FileBytes(path_);
  const auto firstSession = [&] {
    ppFileSpec name = dbtest::SpecFor(path_);
    auto db = std::make_unique<dbDatabase>(name);
    {
      dbNumIndex numbers(ReadNumber(*db, "numbers"), db->Store());
      for (int32_t i = 1; i <= kFirstSession; ++i) RunTransaction(*db, numbers, i);
    }
    Vcon::SetFileFaultHook(&FailFlushes);
    db.reset();
  };
  int64_t calls = 0;
  for (int64_t cutAt = 1; calls == 0 || cutAt <= calls; ++cutAt) {
    for (uint64_t seed = 1; seed <= 4; ++seed) {
      dbtest::WriteFileBytes(path_, base);
      Vcon::FilePowerLoss::Start();
      firstSession();
      Vcon::SetFileFaultHook(&FailFromCall);
      gCalls = 0;
      gKillAt = calls == 0 ? LLONG_MAX : cutAt;
      const int32_t committed = RunUntilCut(path_, kFirstSession);
      if (calls == 0) calls = gCalls;
      const std::string lost = Vcon::FilePowerLoss::Cut(seed);
      printf("cut %lld seed %llu committed %d: %s\n", (long long)cutAt, (unsigned long long)seed, committed,
             lost.c_str());
      Vcon::SetFileFaultHook(nullptr);
      Vcon::FilePowerLoss::Stop();
      const int32_t error = ErrorOf([&] { ExpectCommitted(committed, committed + 1, cutAt); });
      ASSERT_EQ(error, 0) << "power cut at call " << cutAt << " (" << lost << ")";
      ASSERT_FALSE(HasFailure()) << "power cut at call " << cutAt << " (" << lost << ")";
    }
  }
  ASSERT_GE(calls, 50);
}

// The same from no file: the cuts fall while the file is made as well, and the file they leave
// opens (no file, or a whole one) with exactly the committed transactions.
TEST_F(CrashTest, EveryPowerCutFromNoFileLeavesAFileThatOpens) {
  RemoveFiles();
  const int64_t calls = [&] {
    Vcon::SetFileFaultHook(&FailFromCall);
    gCalls = 0;
    gKillAt = LLONG_MAX;
    EXPECT_EQ(RunFromNoFileUntilCut(path_), kTransactions);
    Vcon::SetFileFaultHook(nullptr);
    return gCalls;
  }();
  ASSERT_GE(calls, 190);
  PowerLossPlan plan = PlanFromEnvironment();
  // In CI each disk call is cut twice, with two seeds.
  if (std::getenv("PLANNER_POWERLOSS_RUNS") == nullptr && plan.replayCall == 0) plan.runs = 2 * calls;
  PowerCutRuns({}, calls, plan);
}

}  // namespace
